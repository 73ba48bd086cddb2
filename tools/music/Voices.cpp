#include "music/Voices.h"

#include <array>
#include <cmath>

#include "music/Dsp.h"

namespace Voices {

namespace {

double Seconds(std::int64_t frames)
{
    return static_cast<double>(frames) / Tempo::sampleRate;
}

// Rises over `attack` seconds, holds, and after the key is let go falls
// with a half-cosine over `release` seconds.
float Envelope(double t, double attack, double held, double release)
{
    const float rise = attack > 0.0 && t < attack ? static_cast<float>(0.5 - 0.5 * std::cos(Dsp::pi * t / attack)) : 1.0f;
    return rise * Dsp::FadeOut(t, held, held + release);
}

}  // namespace

void Bass(StereoBuffer& bus, NoteSpan span, double midiNote, float velocity)
{
    constexpr double release = 0.025;
    const double frequency = Dsp::NoteFrequency(midiNote);
    Dsp::Saw low(frequency * Dsp::CentsRatio(-7.0), 0.0);
    Dsp::Saw high(frequency * Dsp::CentsRatio(7.0), 0.5);
    Dsp::Filter filter;
    const double held = Seconds(span.length);
    const std::int64_t frames = span.length + Tempo::SecondsToFrames(release);
    for (std::int64_t i = 0; i < frames; ++i) {
        const double t = Seconds(i);
        filter.Tune(180.0 + 2200.0 * std::exp(-t / 0.07), 0.9);
        const float envelope = Envelope(t, 0.004, held, release) * (0.75f + 0.25f * Dsp::Decay(t, 0.15));
        const float sample = velocity * envelope * filter.Process(0.5f * (low.Next() + high.Next())).low;
        bus.Add(span.start + i, sample, sample);
    }
}

void Pad(StereoBuffer& bus, NoteSpan span, double midiNote, float velocity)
{
    constexpr double attack = 0.35;
    constexpr double release = 0.6;
    constexpr std::array<double, 3> leftCents{-11.0, 0.0, 9.0};
    constexpr std::array<double, 3> rightCents{-8.0, 3.0, 12.0};
    const double frequency = Dsp::NoteFrequency(midiNote);
    std::array<Dsp::Saw, 3> left{Dsp::Saw(frequency * Dsp::CentsRatio(leftCents[0]), 0.1), Dsp::Saw(frequency * Dsp::CentsRatio(leftCents[1]), 0.7),
                                 Dsp::Saw(frequency * Dsp::CentsRatio(leftCents[2]), 0.4)};
    std::array<Dsp::Saw, 3> right{Dsp::Saw(frequency * Dsp::CentsRatio(rightCents[0]), 0.3), Dsp::Saw(frequency * Dsp::CentsRatio(rightCents[1]), 0.9),
                                  Dsp::Saw(frequency * Dsp::CentsRatio(rightCents[2]), 0.6)};
    Dsp::Filter leftFilter;
    Dsp::Filter rightFilter;
    leftFilter.Tune(1600.0, 0.8);
    rightFilter.Tune(1600.0, 0.8);
    const double held = Seconds(span.length);
    const std::int64_t frames = span.length + Tempo::SecondsToFrames(release);
    for (std::int64_t i = 0; i < frames; ++i) {
        const float envelope = velocity * Envelope(Seconds(i), attack, held, release) / 3.0f;
        const float leftSum = left[0].Next() + left[1].Next() + left[2].Next();
        const float rightSum = right[0].Next() + right[1].Next() + right[2].Next();
        bus.Add(span.start + i, envelope * leftFilter.Process(leftSum).low, envelope * rightFilter.Process(rightSum).low);
    }
}

void Pluck(StereoBuffer& bus, std::int64_t start, double midiNote, float velocity, float pan)
{
    constexpr double length = 0.45;
    const Dsp::Pan position(pan);
    const double frequency = Dsp::NoteFrequency(midiNote);
    Dsp::Saw first(frequency, 0.0);
    Dsp::Saw second(frequency * Dsp::CentsRatio(5.0), 0.25);
    Dsp::Filter filter;
    const std::int64_t frames = Tempo::SecondsToFrames(length);
    for (std::int64_t i = 0; i < frames; ++i) {
        const double t = Seconds(i);
        filter.Tune(500.0 + 4500.0 * std::exp(-t / 0.045), 1.2);
        const float envelope = velocity * Envelope(t, 0.002, length - 0.05, 0.05) * Dsp::Decay(t, 0.16);
        const float sample = envelope * filter.Process(0.5f * (first.Next() + second.Next())).low;
        bus.Add(start + i, sample * position.left, sample * position.right);
    }
}

void Bell(StereoBuffer& bus, NoteSpan span, double midiNote, float velocity)
{
    constexpr double release = 0.3;
    const double frequency = Dsp::NoteFrequency(midiNote);
    Dsp::Sine modulator;
    Dsp::Sine leftCarrier;
    Dsp::Sine rightCarrier(0.25);
    const double held = Seconds(span.length);
    const std::int64_t frames = span.length + Tempo::SecondsToFrames(release);
    for (std::int64_t i = 0; i < frames; ++i) {
        const double t = Seconds(i);
        const double index = 0.4 + 2.2 * std::exp(-t / 0.25);
        const double modulation = index * modulator.Next(2.0 * frequency);
        const float envelope = velocity * Envelope(t, 0.005, held, release) * Dsp::Decay(t, 0.9);
        bus.Add(span.start + i, envelope * leftCarrier.Next(frequency, modulation), envelope * rightCarrier.Next(frequency * 1.003, modulation));
    }
}

}  // namespace Voices
