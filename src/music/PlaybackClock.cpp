#include "music/PlaybackClock.h"

#include <algorithm>

PlaybackClock::PlaybackClock(double sampleRate, std::uint64_t ticksPerSecond)
    : sampleRate(sampleRate), ticksPerSecond(static_cast<double>(ticksPerSecond))
{
}

void PlaybackClock::Restart(std::int64_t frame)
{
    nextFrame = frame;
    takenFrom = frame;
    takenCount = 0;
    lastEstimate = static_cast<double>(frame);
}

std::int64_t PlaybackClock::Take(std::int64_t frameCount, std::uint64_t now)
{
    takenFrom = nextFrame;
    takenCount = frameCount;
    takenAt = now;
    nextFrame += frameCount;
    return takenFrom;
}

double PlaybackClock::FrameAt(std::uint64_t now)
{
    // A timer read just before the callback stamped its tick looks like the
    // past: count it as no time elapsed.
    const double ticks = now > takenAt ? static_cast<double>(now - takenAt) : 0.0;
    const double elapsed = std::min(ticks / ticksPerSecond * sampleRate, static_cast<double>(takenCount));
    lastEstimate = std::max(lastEstimate, static_cast<double>(takenFrom) + elapsed);
    return lastEstimate;
}
