#pragma once

#include <cstdint>
#include <optional>

#include "music/MusicStream.h"
#include "ui/DemoWindow.h"

// The viewer's hold on music time: seeks of one and of ten seconds, pause,
// and a loop that sends the music back to its start whenever it reaches its
// end. Applied once a frame, before the clock is read; with no key and no
// loop it leaves the music alone.
class TimeControls {
public:
    // A loop over [from, to) ms, as --loop gives it.
    void SetLoop(std::uint32_t from, std::uint32_t to);

    void Apply(const KeyRequests& keys, MusicStream& music);

    // A seek the timeline or an editor asks for, made at the next Apply.
    void RequestSeek(double seconds) { requestedSeek = seconds; }
    // Pauses or resumes as an editor asks, whatever the state was.
    void SetPaused(bool pause, MusicStream& music);

    bool Paused() const { return paused; }
    std::optional<std::uint32_t> LoopStart() const { return loopStart; }
    std::optional<std::uint32_t> LoopEnd() const { return loopEnd; }
    // Both ends set, the start before the end.
    bool Looping() const { return loopStart && loopEnd && *loopStart < *loopEnd; }

private:
    bool paused = false;
    std::optional<std::uint32_t> loopStart;
    std::optional<std::uint32_t> loopEnd;
    std::optional<double> requestedSeek;
};
