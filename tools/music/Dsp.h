#pragma once

#include <cmath>

#include "music/Tempo.h"

// Small signal-processing parts the instruments are built from.
namespace Dsp {

constexpr double pi = 3.14159265358979323846;

inline double NoteFrequency(double midiNote) { return 440.0 * std::pow(2.0, (midiNote - 69.0) / 12.0); }
inline double CentsRatio(double cents) { return std::pow(2.0, cents / 1200.0); }

// Equal-power position: -1 left, 0 centre, 1 right.
struct Pan {
    explicit Pan(float position)
        : left(static_cast<float>(std::cos((position + 1.0) * pi / 4.0))), right(static_cast<float>(std::sin((position + 1.0) * pi / 4.0)))
    {
    }
    float left;
    float right;
};

// A sawtooth from -1 to 1 whose jump is smoothed by a polynomial step, so
// high notes do not alias into a hiss.
class Saw {
public:
    Saw(double frequency, double startPhase) : phase(startPhase) { SetFrequency(frequency); }

    void SetFrequency(double frequency) { increment = frequency / Tempo::sampleRate; }
    float Next();

private:
    double phase;
    double increment = 0.0;
};

// A sine with a running phase, so its pitch may glide; an offset in radians
// on top of it modulates the phase.
class Sine {
public:
    explicit Sine(double startPhase = 0.0) : phase(startPhase) {}

    float Next(double frequency, double phaseOffset = 0.0);

private:
    double phase;
};

// Two-pole state-variable filter (trapezoidal, stable under fast cutoff
// changes): low, band and high outputs of one input.
class Filter {
public:
    struct Outputs {
        float low;
        float band;
        float high;
    };

    void Tune(double cutoffHz, double resonance);
    Outputs Process(float input);

private:
    double a1 = 0.0;
    double a2 = 0.0;
    double a3 = 0.0;
    double damping = 1.0;
    double state1 = 0.0;
    double state2 = 0.0;
};

// A soft knee for levels, smooth through zero and bounded by +-1.
inline float Saturate(float value, float drive) { return static_cast<float>(std::tanh(drive * value) / std::tanh(drive)); }

// Exponential decay with the given time constant in seconds.
inline float Decay(double seconds, double timeConstant) { return static_cast<float>(std::exp(-seconds / timeConstant)); }

// 1 until `start`, a half-cosine down to 0 at `end`.
float FadeOut(double seconds, double start, double end);

}  // namespace Dsp
