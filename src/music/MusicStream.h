#pragma once

#include <span>

inline constexpr int spectrumBins = 1024;

// The music, played in a loop: the show's only clock and the source of its
// spectrum.
class MusicStream {
public:
    virtual ~MusicStream() = default;
    virtual void Play() = 0;                       // starts looped playback from the beginning
    virtual double Position() = 0;                 // playback position in seconds
    virtual void SetPosition(double seconds) = 0;  // below 0 lands on 0; past the end wraps around (the stream loops)
    virtual void FillSpectrum(std::span<float, spectrumBins> bins) = 0;  // allocates nothing
};
