#pragma once

#include <fftw3.h>

#include <array>
#include <cstdint>
#include <memory>
#include <span>

#include "music/MusicStream.h"

class DecodedMusic;

// Magnitude spectrum of the music just heard: a Hann-windowed FFT over the
// last 2048 mono frames. The FFT plan and its buffers are made once, so an
// analysis allocates nothing.
class SpectrumAnalyzer {
public:
    static constexpr int windowFrames = 2 * spectrumBins;

    SpectrumAnalyzer();
    ~SpectrumAnalyzer();

    SpectrumAnalyzer(const SpectrumAnalyzer&) = delete;
    SpectrumAnalyzer& operator=(const SpectrumAnalyzer&) = delete;

    // Analyses the windowFrames frames before endFrame, channels averaged to
    // mono. The music loops, so a window reaching before frame 0 continues
    // from the end of the track, as it sounds when the loop comes round.
    // Magnitudes are scaled so that a full-scale sine centred on a bin reads
    // 1.0 there; a constant offset, having no negative frequency to share
    // with, reads twice its value in bin 0.
    void Analyze(const DecodedMusic& music, std::int64_t endFrame, std::span<float, spectrumBins> bins);

private:
    struct FftwFree {
        void operator()(void* memory) const { fftwf_free(memory); }
    };

    std::array<float, windowFrames> window;
    std::unique_ptr<float[], FftwFree> input;
    std::unique_ptr<fftwf_complex[], FftwFree> output;
    fftwf_plan plan = nullptr;
};
