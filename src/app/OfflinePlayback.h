#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "app/FrameLoop.h"
#include "music/DecodedMusic.h"
#include "music/SteppedMusicStream.h"
#include "script/EffectList.h"
#include "ui/DemoWindow.h"

// The show played without sound and without real time: frame n shows music
// time from + n / fps, its clock and spectrum fed from the decoded music,
// and the effects see one unbroken sequence of frames, so the same frames
// come out however long each takes to draw.
class OfflinePlayback {
public:
    // Tracks and shader inputs, when given, follow each frame's exact time.
    OfflinePlayback(const EffectList& effects, DemoWindow& window, std::shared_ptr<const DecodedMusic> music,
                    std::uint32_t from, int framesPerSecond, std::optional<float> forcedBeat,
                    const FrameSources& sources = {});

    // Draws frame n, not shown yet.
    void Draw(long frame);
    // Shows the frame drawn and takes in the window's events.
    void Show() { window.SwapAndPoll(); }
    // The music time of the last frame drawn, in ms.
    std::uint32_t Time() { return MillisecondsOf(music.Position()); }

private:
    DemoWindow& window;
    SteppedMusicStream music;
    FrameLoop loop;
    double start;
    int framesPerSecond;
};
