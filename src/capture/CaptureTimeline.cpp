#include "capture/CaptureTimeline.h"

#include <algorithm>
#include <cmath>

namespace {
std::int64_t SampleAt(std::uint32_t milliseconds, int sampleRate)
{
    return std::llround(static_cast<double>(milliseconds) * sampleRate / 1000.0);
}
}  // namespace

CaptureTimeline::CaptureTimeline(std::uint32_t from, std::uint32_t to, int framesPerSecond, int sampleRate)
    : from(from), framesPerSecond(framesPerSecond), sampleRate(sampleRate)
{
    const std::int64_t span = to > from ? to - from : 0;
    // Whole frames before `to`: ceil(span * fps / 1000) in integers.
    frames = static_cast<long>((span * framesPerSecond + 999) / 1000);
    firstSample = SampleAt(from, sampleRate);
    samples = SampleAt(to, sampleRate) - firstSample;
    if (samples < 0) {
        samples = 0;
    }
}

std::int64_t CaptureTimeline::SoundBefore(long frame) const
{
    if (frame >= frames) {
        return samples;  // the rounding of `to` may add a sample to the last frame
    }
    return std::min(samples, static_cast<std::int64_t>(frame) * sampleRate / framesPerSecond);
}

int CaptureTimeline::MostSoundPerFrame() const
{
    return (sampleRate + framesPerSecond - 1) / framesPerSecond + 1;
}

std::uint32_t CaptureTimeline::TimeOf(long frame) const
{
    return from + static_cast<std::uint32_t>(static_cast<std::int64_t>(frame) * 1000 / framesPerSecond);
}
