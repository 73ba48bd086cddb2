#pragma once

#include <cstdint>
#include <span>

// Bins of the magnitude spectrum a stream hands out each frame; bin 0 is DC.
inline constexpr int spectrumBins = 1024;

// The music the demo plays in a loop. Its position is the demo's clock: the
// main loop reads it every frame, seeks on request and derives the beat level
// from the spectrum at the current position.
class MusicStream {
public:
    virtual ~MusicStream() = default;
    virtual void Play() = 0;                       // starts looped playback from the beginning
    virtual double Position() = 0;                 // playback position in seconds
    virtual void SetPosition(double seconds) = 0;  // below 0 lands on 0; past the end wraps around (the stream loops)
    virtual void SetPaused(bool paused) = 0;       // paused, the position stands still (seeks still move it)
    virtual void FillSpectrum(std::span<float, spectrumBins> bins) = 0;  // allocates nothing
};

// The clock's reading in whole milliseconds: truncated toward zero, the low
// 32 bits kept.
inline std::uint32_t MillisecondsOf(double seconds)
{
    return static_cast<std::uint32_t>(static_cast<std::int64_t>(seconds * 1000.0));
}
