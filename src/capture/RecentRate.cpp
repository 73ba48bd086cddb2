#include "capture/RecentRate.h"

#include <cmath>

void RecentRate::Add(double seconds, long frames)
{
    newest = count == 0 ? 0 : (newest + 1) % capacity;
    samples[newest] = {seconds, frames};
    if (count < capacity) {
        ++count;
    }
}

double RecentRate::FramesPerSecond() const
{
    if (count < 2) {
        return 0.0;
    }
    const Sample& last = samples[newest];
    // The oldest sample still within the span, or the oldest kept.
    std::size_t back = count - 1;
    while (back > 1 && last.seconds - samples[(newest + capacity - back) % capacity].seconds > span) {
        --back;
    }
    const Sample& first = samples[(newest + capacity - back) % capacity];
    const double seconds = last.seconds - first.seconds;
    return seconds > 0.0 ? static_cast<double>(last.frames - first.frames) / seconds : 0.0;
}

long RecentRate::SecondsLeft(long framesLeft) const
{
    const double rate = FramesPerSecond();
    return rate > 0.0 ? std::lround(static_cast<double>(framesLeft) / rate) : 0;
}
