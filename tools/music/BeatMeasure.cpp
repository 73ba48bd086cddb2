#include "music/BeatMeasure.h"

#include <algorithm>
#include <array>

#include "core/BeatLevel.h"
#include "music/Arrangement.h"
#include "music/SteppedMusicStream.h"
#include "music/Tempo.h"

std::vector<BeatStats> MeasureBeats(std::shared_ptr<const DecodedMusic> music)
{
    const std::int64_t frames = music->Frames();
    SteppedMusicStream stream(std::move(music));
    stream.Play();
    std::array<float, spectrumBins> spectrum{};

    std::vector<BeatStats> beats;
    const std::int64_t step = Tempo::sampleRate / measurementsPerSecond;
    for (int beat = 0; Tempo::BeatFrame(beat) < frames; ++beat) {
        const std::int64_t start = Tempo::BeatFrame(beat);
        const std::int64_t end = std::min(Tempo::BeatFrame(beat + 1), frames);
        const bool kick = Arrangement::KickOnBeat(beat);
        const std::int64_t calmFrom = kick ? Tempo::BeatFrame(beat + 0.5) : start;
        BeatStats stats{beat, kick, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f};
        // The frames the show draws during this beat: whole steps of 1/60 s
        // from the start of the track.
        for (std::int64_t position = (start + step - 1) / step * step; position < end; position += step) {
            stream.SetPosition(static_cast<double>(position / step) / measurementsPerSecond);
            stream.FillSpectrum(spectrum);
            const float sum = LowBandSum(spectrum);
            const float value = BeatLevelOfSum(sum);
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
