#pragma once

#include <cstdint>
#include <memory>
#include <vector>

// The show's beat level, measured the way the demo measures it: the 2048
// mono samples ending at the playback position, a Hann window, an FFT,
// magnitudes |X_k| * 4 / 2048 (a full-scale sine centred on a bin reads 1),
// the sum of bins 0 to 15 (up to 323 Hz), raised to the sixth power and
// capped at 1.
class BeatLevel {
public:
    static constexpr int windowSize = 2048;
    static constexpr int lowBins = 16;

    BeatLevel();
    ~BeatLevel();

    BeatLevel(const BeatLevel&) = delete;
    BeatLevel& operator=(const BeatLevel&) = delete;

    // Magnitudes of bins 0 to 1023 for the window ending just before
    // `position`; samples before the start of the track count as silence.
    std::vector<float> Magnitudes(const std::vector<float>& mono, std::int64_t position);

    float LowBandSum(const std::vector<float>& mono, std::int64_t position);

    static float LevelOfSum(float sum);

private:
    struct Fftw;
    std::unique_ptr<Fftw> fftw;
    std::vector<float> window;
};

// How often the show reads the level: once a frame at 60 frames a second.
constexpr int measurementsPerSecond = 60;

// Per beat of the track, what the level did: its peak over the beat, its
// lowest value, and its highest value away from the kick (the second half
// of a kick's beat, or the whole of a beat without one).
struct BeatStats {
    int beat;
    bool kick;
    float peak;
    float minimum;
    float betweenKicks;
    float peakSum;
    float betweenKicksSum;
};

// Measures the level 60 times a second, as the show draws frames, and
// groups the readings by beat.
std::vector<BeatStats> MeasureBeats(const std::vector<float>& mono);
