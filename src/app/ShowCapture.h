#pragma once

#include <memory>
#include <string>

#include "app/CommandLine.h"
#include "app/FrameLoop.h"
#include "music/DecodedMusic.h"
#include "script/EffectList.h"
#include "ui/DemoWindow.h"

// The exit status of a capture the viewer stopped (Ctrl+C, SIGTERM), as a
// shell gives a program that SIGINT ended.
inline constexpr int captureStoppedStatus = 130;

// Refuses, before anything is loaded, a capture whose file has no known
// kind or cannot be written; the message gives the reason.
void CheckCaptureFile(const std::string& path);

// Plays the show offline, as rendering does, from --from to --to (default:
// where the show ends, else the end of the music) and writes it with its
// music as the video file the options name. Returns 0 when complete, or
// captureStoppedStatus when stopped early, the file then holding the frames
// so far. Failures throw the reason.
int CaptureShow(const RunOptions& options, const EffectList& effects, DemoWindow& window,
                const std::shared_ptr<const DecodedMusic>& music, const FrameSources& sources);
