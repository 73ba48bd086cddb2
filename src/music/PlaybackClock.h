#pragma once

#include <cstdint>

// Where an audio device is in the music, in frames counted along the loop
// without wrapping. The device's callback reports each buffer it takes; in
// between, a timer moves the estimate on at the sample rate, but never past
// the end of the buffer taken last, so the next callback can only confirm
// or overtake it. Apart from a restart the estimate never runs backwards.
//
// Not synchronised: the owner serialises the callback and its readers.
class PlaybackClock {
public:
    // sampleRate in frames per second, ticksPerSecond of the timer whose
    // readings are passed in as "now".
    PlaybackClock(double sampleRate, std::uint64_t ticksPerSecond);

    // Playback is to go on from frame; the clock stands there until the
    // device takes the next buffer.
    void Restart(std::int64_t frame);

    // The device takes the next frameCount frames at tick now. Returns the
    // first of them, for the callback to copy from.
    std::int64_t Take(std::int64_t frameCount, std::uint64_t now);

    // The frame being heard at tick now, with a fractional part.
    double FrameAt(std::uint64_t now);

private:
    double sampleRate;
    double ticksPerSecond;
    std::int64_t nextFrame = 0;    // first frame of the next buffer
    std::int64_t takenFrom = 0;    // first frame of the buffer taken last
    std::int64_t takenCount = 0;   // its length: how far the timer may move the estimate
    std::uint64_t takenAt = 0;     // tick at which it was taken
    double lastEstimate = 0.0;     // keeps reads from running backwards
};
