#pragma once

#include <algorithm>
#include <array>
#include <vector>

#include "music/MusicStream.h"

// A music clock the test sets by hand, remembering every seek and pause,
// with a spectrum the test fills.
class HandClock : public MusicStream {
public:
    void Play() override { position = 0.0; }
    double Position() override { return position; }
    void SetPosition(double seconds) override
    {
        seeks.push_back(seconds);
        position = seconds;
    }
    void SetPaused(bool paused) override { pauses.push_back(paused); }
    void FillSpectrum(std::span<float, spectrumBins> bins) override { std::copy(spectrum.begin(), spectrum.end(), bins.begin()); }

    double position = 0.0;
    std::vector<double> seeks;
    std::vector<bool> pauses;
    std::array<float, spectrumBins> spectrum{};
};
