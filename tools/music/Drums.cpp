#include "music/Drums.h"

#include <cmath>

#include "common/SeededRandom.h"
#include "music/Dsp.h"

namespace Drums {

namespace {

// Independent noise for each channel and each hit.
class StereoNoise {
public:
    explicit StereoNoise(std::int64_t start) : leftSource(static_cast<std::uint64_t>(start) * 2 + 1), rightSource(static_cast<std::uint64_t>(start) * 2 + 2) {}

    float Left() { return leftSource.Between(-1.0f, 1.0f); }
    float Right() { return rightSource.Between(-1.0f, 1.0f); }

private:
    SeededRandom leftSource;
    SeededRandom rightSource;
};

double Seconds(std::int64_t frames)
{
    return static_cast<double>(frames) / Tempo::sampleRate;
}

}  // namespace

void Kick(StereoBuffer& bus, std::int64_t start, float velocity)
{
    constexpr double length = 0.28;
    Dsp::Sine body;
    SeededRandom clickNoise(static_cast<std::uint64_t>(start));
    Dsp::Filter clickFilter;
    clickFilter.Tune(2500.0, 0.7);
    const std::int64_t frames = Tempo::SecondsToFrames(length);
    for (std::int64_t i = 0; i < frames; ++i) {
        const double t = Seconds(i);
        const double frequency = 50.0 + 140.0 * std::exp(-t / 0.030);
        const float envelope = (1.0f - Dsp::Decay(t, 0.0007)) * Dsp::Decay(t, 0.095) * Dsp::FadeOut(t, 0.18, length);
        const float thump = Dsp::Saturate(body.Next(frequency) * envelope, 1.6f);
        const float click = clickFilter.Process(clickNoise.Between(-1.0f, 1.0f)).high * Dsp::Decay(t, 0.003) * 0.3f;
        const float sample = velocity * (thump + click);
        bus.Add(start + i, sample, sample);
    }
}

void Hat(StereoBuffer& bus, std::int64_t start, float velocity, bool open, float pan)
{
    const double timeConstant = open ? 0.11 : 0.022;
    const Dsp::Pan position(pan);
    StereoNoise noise(start);
    Dsp::Filter filter;
    filter.Tune(8000.0, 0.9);
    const std::int64_t frames = Tempo::SecondsToFrames(timeConstant * 6.0);
    for (std::int64_t i = 0; i < frames; ++i) {
        const double t = Seconds(i);
        const float envelope = (1.0f - Dsp::Decay(t, 0.0005)) * Dsp::Decay(t, timeConstant);
        // Both channels share the hiss; the pan places it.
        const float sample = velocity * envelope * filter.Process(0.5f * (noise.Left() + noise.Right())).high;
        bus.Add(start + i, sample * position.left, sample * position.right);
    }
}

void Clap(StereoBuffer& bus, std::int64_t start, float velocity)
{
    constexpr double burstSpacing = 0.010;
    constexpr double tailStart = 0.025;
    StereoNoise noise(start);
    Dsp::Filter leftFilter;
    Dsp::Filter rightFilter;
    leftFilter.Tune(1300.0, 1.4);
    rightFilter.Tune(1250.0, 1.4);
    const std::int64_t frames = Tempo::SecondsToFrames(0.6);
    for (std::int64_t i = 0; i < frames; ++i) {
        const double t = Seconds(i);
        float envelope = 0.0f;
        for (int burst = 0; burst < 3; ++burst) {
            const double since = t - burst * burstSpacing;
            if (since >= 0.0 && since < tailStart) {
                envelope += Dsp::Decay(since, 0.0035);
            }
        }
        if (t >= tailStart) {
            envelope += 0.8f * Dsp::Decay(t - tailStart, 0.085);
        }
        const float gain = 2.2f * velocity * envelope;
        bus.Add(start + i, gain * leftFilter.Process(noise.Left()).band, gain * rightFilter.Process(noise.Right()).band);
    }
}

void Crash(StereoBuffer& bus, std::int64_t start, float velocity)
{
    StereoNoise noise(start);
    Dsp::Filter leftFilter;
    Dsp::Filter rightFilter;
    leftFilter.Tune(5000.0, 0.6);
    rightFilter.Tune(5200.0, 0.6);
    const std::int64_t frames = Tempo::SecondsToFrames(3.5);
    for (std::int64_t i = 0; i < frames; ++i) {
        const double t = Seconds(i);
        const float envelope = velocity * (1.0f - Dsp::Decay(t, 0.002)) * Dsp::Decay(t, 0.8) * Dsp::FadeOut(t, 2.8, 3.5);
        bus.Add(start + i, envelope * leftFilter.Process(noise.Left()).high, envelope * rightFilter.Process(noise.Right()).high);
    }
}

void Riser(StereoBuffer& bus, std::int64_t start, std::int64_t length, float velocity)
{
    StereoNoise noise(start);
    Dsp::Filter leftFilter;
    Dsp::Filter rightFilter;
    for (std::int64_t i = 0; i < length; ++i) {
        const double progress = static_cast<double>(i) / static_cast<double>(length);
        const double cutoff = 250.0 * std::pow(9000.0 / 250.0, progress);
        leftFilter.Tune(cutoff, 2.0);
        rightFilter.Tune(cutoff * 1.03, 2.0);
        const float envelope = velocity * static_cast<float>(progress * progress);
        bus.Add(start + i, envelope * leftFilter.Process(noise.Left()).band, envelope * rightFilter.Process(noise.Right()).band);
    }
}

}  // namespace Drums
