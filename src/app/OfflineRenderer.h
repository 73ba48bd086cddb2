#pragma once

#include <memory>
#include <string>

#include "app/CommandLine.h"
#include "app/FrameLoop.h"
#include "music/DecodedMusic.h"
#include "script/EffectList.h"
#include "ui/DemoWindow.h"

// Before the show loads, so that a batch run fails at once: makes the folder
// for the rendered frames, or checks that the capture's file can be written.
void PrepareOfflineOutput(const RunOptions& options);

// Plays the show without sound and without real time, from the chosen start
// at a fixed frame rate, and writes the frames at the requested music times
// as PNG files named after those times. The effects see the same unbroken
// sequence of frames as in a live run, so the same command gives the same
// pixels. When the show ends before the last requested time, the frames
// before the end are written and the message names the times that were not.
void RenderOffline(const RunOptions& options, const EffectList& effects, DemoWindow& window,
                   std::shared_ptr<const DecodedMusic> music, const FrameSources& sources);

// The frame (counted from the start of rendering) that shows the music time.
long FrameIndexOf(std::uint32_t time, std::uint32_t from, int framesPerSecond);

// The file name of a rendered time: zero-padded milliseconds, so that names
// sort in time order.
std::string FrameFileName(std::uint32_t time);
