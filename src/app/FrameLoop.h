#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "app/DemoWindow.h"
#include "app/TweakPanel.h"
#include "music/MusicStream.h"
#include "script/EffectList.h"

// One pass per frame, as fast as buffer swaps return: the music position is
// the clock, its spectrum gives the beat level, and every effect whose window
// holds the time draws, in script order, then the tweak panel when there is
// one. Nothing is allocated per frame while the panel is hidden.
class FrameLoop {
public:
    FrameLoop(const EffectList& effects, DemoWindow& window, MusicStream& music, TweakPanel* panel = nullptr);

    // Runs until Escape is released; a thrown message leaves it too.
    void Run();

    // Clears the frame, applies the seek keys of the last poll, reads the
    // clock and the beat and draws the active effects and the panel; the
    // frame is not shown yet. Returns the frame's time in milliseconds.
    std::uint32_t DrawFrame();

    // The beat level used instead of the spectrum's (offline rendering).
    void ForceBeat(float beat) { forcedBeat = beat; }

    float LastBeat() const { return beat; }

private:
    const EffectList& effects;
    DemoWindow& window;
    MusicStream& music;
    TweakPanel* panel;
    std::array<float, spectrumBins> spectrum{};
    std::optional<float> forcedBeat;
    float beat = 0.0f;
};

// The clock's reading in whole milliseconds: truncated toward zero, the low
// 32 bits kept.
std::uint32_t MillisecondsOf(double seconds);
