#include "music/BeatLevel.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>

#include "music/Arrangement.h"
#include "music/Tempo.h"

struct BeatLevel::Fftw {
    struct Deleter {
        void operator()(void* memory) const { fftwf_free(memory); }
    };
    struct PlanDeleter {
        void operator()(fftwf_plan_s* plan) const { fftwf_destroy_plan(plan); }
    };

    Fftw()
        : input(static_cast<float*>(fftwf_malloc(sizeof(float) * windowSize))),
          output(static_cast<fftwf_complex*>(fftwf_malloc(sizeof(fftwf_complex) * (windowSize / 2 + 1))))
    {
        if (!input || !output) {
            throw std::runtime_error("Unable to allocate FFT buffers");
        }
        // An estimated plan: measuring would time the machine and could
        // pick a different algorithm from run to run.
        plan.reset(fftwf_plan_dft_r2c_1d(windowSize, input.get(), output.get(), FFTW_ESTIMATE));
        if (!plan) {
            throw std::runtime_error("Unable to plan the FFT");
        }
    }

    std::unique_ptr<float, Deleter> input;
    std::unique_ptr<fftwf_complex, Deleter> output;
    std::unique_ptr<fftwf_plan_s, PlanDeleter> plan;
};

BeatLevel::BeatLevel() : fftw(std::make_unique<Fftw>()), window(windowSize)
{
    for (int n = 0; n < windowSize; ++n) {
        window[static_cast<std::size_t>(n)] = static_cast<float>(0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * n / (windowSize - 1)));
    }
}

BeatLevel::~BeatLevel() = default;

std::vector<float> BeatLevel::Magnitudes(const std::vector<float>& mono, std::int64_t position)
{
    float* input = fftw->input.get();
    const std::int64_t first = position - windowSize;
    for (int n = 0; n < windowSize; ++n) {
        const std::int64_t frame = first + n;
        const bool inside = frame >= 0 && frame < static_cast<std::int64_t>(mono.size());
        input[n] = inside ? mono[static_cast<std::size_t>(frame)] * window[static_cast<std::size_t>(n)] : 0.0f;
    }
    fftwf_execute(fftw->plan.get());

    std::vector<float> magnitudes(windowSize / 2);
    const fftwf_complex* output = fftw->output.get();
    for (std::size_t k = 0; k < magnitudes.size(); ++k) {
        magnitudes[k] = std::hypot(output[k][0], output[k][1]) * 4.0f / windowSize;
    }
    return magnitudes;
}

float BeatLevel::LowBandSum(const std::vector<float>& mono, std::int64_t position)
{
    const std::vector<float> magnitudes = Magnitudes(mono, position);
    float sum = 0.0f;
    for (int k = 0; k < lowBins; ++k) {
        sum += magnitudes[static_cast<std::size_t>(k)];
    }
    return sum;
}

float BeatLevel::LevelOfSum(float sum)
{
    return std::min(1.0f, std::pow(sum, 6.0f));
}

std::vector<BeatStats> MeasureBeats(const std::vector<float>& mono)
{
    BeatLevel level;
    std::vector<BeatStats> beats;
    const auto frames = static_cast<std::int64_t>(mono.size());
    const std::int64_t step = Tempo::sampleRate / measurementsPerSecond;
    for (int beat = 0; Tempo::BeatFrame(beat) < frames; ++beat) {
        const std::int64_t start = Tempo::BeatFrame(beat);
        const std::int64_t end = std::min(Tempo::BeatFrame(beat + 1), frames);
        const bool kick = Arrangement::KickOnBeat(beat);
        const std::int64_t calmFrom = kick ? Tempo::BeatFrame(beat + 0.5) : start;
        BeatStats stats{beat, kick, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f};
        // The measurements the show makes during this beat: whole steps of
        // 1/60 s from the start of the track.
        for (std::int64_t position = (start + step - 1) / step * step; position < end; position += step) {
            const float sum = level.LowBandSum(mono, position);
            const float value = BeatLevel::LevelOfSum(sum);
            stats.peak = std::max(stats.peak, value);
            stats.peakSum = std::max(stats.peakSum, sum);
            stats.minimum = std::min(stats.minimum, value);
            if (position >= calmFrom) {
                stats.betweenKicks = std::max(stats.betweenKicks, value);
                stats.betweenKicksSum = std::max(stats.betweenKicksSum, sum);
            }
        }
        beats.push_back(stats);
    }
    return beats;
}
