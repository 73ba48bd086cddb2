#pragma once

#include <memory>

#include "music/DecodedMusic.h"
#include "music/MusicStream.h"
#include "music/SpectrumAnalyzer.h"

// What every stream over decoded music shares: the looped timeline and the
// spectrum of the samples at the current position. Subclasses supply the
// clock.
class DecodedMusicStream : public MusicStream {
public:
    void FillSpectrum(std::span<float, spectrumBins> bins) final;

protected:
    // music must not be null. It is shared so that a caller can fall back
    // to another stream over the same samples without decoding twice.
    explicit DecodedMusicStream(std::shared_ptr<const DecodedMusic> music);

    const DecodedMusic& Music() const { return *music; }

    // Any time, negative included, mapped onto the loop: [0, track length).
    double Looped(double seconds) const;

    // Where a seek to seconds lands: before the start is the start, past
    // the end goes round the loop.
    double SeekTarget(double seconds) const;

private:
    std::shared_ptr<const DecodedMusic> music;
    SpectrumAnalyzer analyzer;
};
