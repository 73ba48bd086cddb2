#pragma once

#include <cstdint>

// Where each video frame and each sound sample of a capture falls in music
// time. Frame n shows from + n * 1000 / fps ms; the sound runs sample by
// sample from the music's sample at `from` to the one at `to`, and the
// samples played while frame n is shown are counted from the frame's start
// in whole samples of the whole span, so nothing drifts however long it runs.
class CaptureTimeline {
public:
    CaptureTimeline(std::uint32_t from, std::uint32_t to, int framesPerSecond, int sampleRate);

    // The frames whose times lie in [from, to).
    long Frames() const { return frames; }
    // The music's sample (frame of samples) that is the sound's first.
    std::int64_t FirstSample() const { return firstSample; }
    // Samples of the sound before frame n starts, for n in [0, Frames()];
    // SoundBefore(Frames()) is the whole sound.
    std::int64_t SoundBefore(long frame) const;
    // The most samples any one frame has.
    int MostSoundPerFrame() const;
    // The music time (ms) frame n shows, rounded down.
    std::uint32_t TimeOf(long frame) const;

private:
    std::uint32_t from;
    int framesPerSecond;
    int sampleRate;
    long frames;
    std::int64_t firstSample;
    std::int64_t samples;
};
