#include "music/SpectrumAnalyzer.h"

#include <cmath>
#include <numbers>

#include "core/DemoMessage.h"
#include "music/DecodedMusic.h"

namespace {

// The periodic Hann window sums to exactly half the window length, so a sine
// centred on a bin comes out at amplitude * windowFrames / 4 there.
constexpr float magnitudeScale = 4.0f / SpectrumAnalyzer::windowFrames;

}  // namespace

SpectrumAnalyzer::SpectrumAnalyzer()
    : input(static_cast<float*>(fftwf_malloc(sizeof(float) * windowFrames))),
      output(static_cast<fftwf_complex*>(fftwf_malloc(sizeof(fftwf_complex) * (windowFrames / 2 + 1))))
{
    if (!input || !output) {
        throw DemoMessage("Out of memory for the spectrum analyser");
    }
    for (int n = 0; n < windowFrames; ++n) {
        window[n] = static_cast<float>(0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * n / windowFrames));
    }
    // Estimating rather than measuring keeps start-up quick and leaves the
    // buffers alone; a 2048-point transform is cheap either way.
    plan = fftwf_plan_dft_r2c_1d(windowFrames, input.get(), output.get(), FFTW_ESTIMATE);
    if (plan == nullptr) {
        throw DemoMessage("Unable to plan the spectrum transform");
    }
}

SpectrumAnalyzer::~SpectrumAnalyzer()
{
    fftwf_destroy_plan(plan);
}

void SpectrumAnalyzer::Analyze(const DecodedMusic& music, std::int64_t endFrame, std::span<float, spectrumBins> bins)
{
    const std::span<const float> samples = music.Samples();
    const int channels = music.Channels();
    const float channelWeight = 1.0f / static_cast<float>(channels);
    std::int64_t frame = music.LoopedFrame(endFrame - windowFrames);
    for (int n = 0; n < windowFrames; ++n) {
        const std::size_t first = static_cast<std::size_t>(frame * channels);
        float sum = 0.0f;
        for (int channel = 0; channel < channels; ++channel) {
            sum += samples[first + static_cast<std::size_t>(channel)];
        }
        input[n] = sum * channelWeight * window[n];
        if (++frame == music.Frames()) {
            frame = 0;
        }
    }

    fftwf_execute(plan);

    for (int k = 0; k < spectrumBins; ++k) {
        bins[k] = std::hypot(output[k][0], output[k][1]) * magnitudeScale;
    }
}
