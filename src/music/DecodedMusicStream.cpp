#include "music/DecodedMusicStream.h"

#include <algorithm>
#include <cmath>

DecodedMusicStream::DecodedMusicStream(std::shared_ptr<const DecodedMusic> music) : music(std::move(music)) {}

void DecodedMusicStream::FillSpectrum(std::span<float, spectrumBins> bins)
{
    const auto endFrame = static_cast<std::int64_t>(std::floor(Position() * music->SampleRate()));
    analyzer.Analyze(*music, endFrame, bins);
}

double DecodedMusicStream::Looped(double seconds) const
{
    const double length = music->Seconds();
    double looped = std::fmod(seconds, length);
    if (looped < 0.0) {
        looped += length;
    }
    // Adding the length to a tiny negative remainder can round up to it.
    return looped < length ? looped : 0.0;
}

double DecodedMusicStream::SeekTarget(double seconds) const
{
    return Looped(std::max(seconds, 0.0));
}
