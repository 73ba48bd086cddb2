#pragma once

#include <array>
#include <cstddef>

// The rate at which frames are done over the last few seconds, from
// samples of (seconds since the start, frames done). A rate over the whole
// run would lag behind a show whose later scenes draw slower or faster, and
// the time left would stand still. Keeps a fixed number of samples and
// allocates nothing.
class RecentRate {
public:
    // Samples must come in time order.
    void Add(double seconds, long frames);
    // Frames a second over the span the samples cover, at most the last
    // `span` seconds; 0 before two samples apart in time.
    double FramesPerSecond() const;
    // Whole seconds until `framesLeft` more are done at that rate; 0 when
    // no rate is known yet.
    long SecondsLeft(long framesLeft) const;

    static constexpr double span = 5.0;

private:
    struct Sample {
        double seconds = 0.0;
        long frames = 0;
    };
    // Ten a second at the progress bar's redraw rate, for the whole span.
    static constexpr std::size_t capacity = 64;
    std::array<Sample, capacity> samples{};
    std::size_t newest = 0;
    std::size_t count = 0;
};
