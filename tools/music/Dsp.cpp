#include "music/Dsp.h"

#include <algorithm>

namespace Dsp {

namespace {

// The polynomial that rounds off a step one sample either side of it.
double BlepCorrection(double phase, double increment)
{
    if (phase < increment) {
        const double t = phase / increment;
        return t + t - t * t - 1.0;
    }
    if (phase > 1.0 - increment) {
        const double t = (phase - 1.0) / increment;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

}  // namespace

float Saw::Next()
{
    const double value = 2.0 * phase - 1.0 - BlepCorrection(phase, increment);
    phase += increment;
    phase -= std::floor(phase);
    return static_cast<float>(value);
}

float Sine::Next(double frequency, double phaseOffset)
{
    const double value = std::sin(2.0 * pi * phase + phaseOffset);
    phase += frequency / Tempo::sampleRate;
    phase -= std::floor(phase);
    return static_cast<float>(value);
}

void Filter::Tune(double cutoffHz, double resonance)
{
    const double g = std::tan(pi * std::min(cutoffHz, 0.45 * Tempo::sampleRate) / Tempo::sampleRate);
    damping = 1.0 / resonance;
    a1 = 1.0 / (1.0 + g * (g + damping));
    a2 = g * a1;
    a3 = g * a2;
}

Filter::Outputs Filter::Process(float input)
{
    const double v3 = input - state2;
    const double v1 = a1 * state1 + a2 * v3;
    const double v2 = state2 + a2 * state1 + a3 * v3;
    state1 = 2.0 * v1 - state1;
    state2 = 2.0 * v2 - state2;
    return {static_cast<float>(v2), static_cast<float>(v1), static_cast<float>(input - damping * v1 - v2)};
}

float FadeOut(double seconds, double start, double end)
{
    if (seconds <= start) {
        return 1.0f;
    }
    if (seconds >= end) {
        return 0.0f;
    }
    return static_cast<float>(0.5 + 0.5 * std::cos(pi * (seconds - start) / (end - start)));
}

}  // namespace Dsp
