#include <algorithm>
#include <cstdio>
#include <exception>
#include <memory>
#include <string_view>

#include "core/DemoMessage.h"
#include "music/BeatMeasure.h"
#include "music/DecodedMusic.h"
#include "music/Tempo.h"

namespace {

// The level the show must cross on a kick, and the sum of bins that gives it.
constexpr float kickThreshold = 0.25f;

void PrintBeats(const std::vector<BeatStats>& beats)
{
    std::printf("bar.beat kick   peak (sum)      min   between (sum)\n");
    for (const BeatStats& stats : beats) {
        std::printf("%3d.%d    %-4s  %5.3f (%5.3f)  %5.3f  %5.3f (%5.3f)%s\n", stats.beat / Tempo::beatsPerBar + 1, stats.beat % Tempo::beatsPerBar + 1,
                    stats.kick ? "yes" : "-", stats.peak, stats.peakSum, stats.minimum, stats.betweenKicks, stats.betweenKicksSum,
                    (stats.kick && stats.peak <= kickThreshold) || stats.betweenKicks >= kickThreshold ? "  <--" : "");
    }
}

// True when every kick crosses the threshold and nothing else does.
bool PrintSummary(const std::vector<BeatStats>& beats)
{
    const BeatStats* weakestKick = nullptr;
    const BeatStats* loudestCalm = nullptr;
    for (const BeatStats& stats : beats) {
        // Sums tell kicks apart where the level itself is capped at 1.
        if (stats.kick && (!weakestKick || stats.peakSum < weakestKick->peakSum)) {
            weakestKick = &stats;
        }
        if (!loudestCalm || stats.betweenKicksSum > loudestCalm->betweenKicksSum) {
            loudestCalm = &stats;
        }
    }
    if (weakestKick) {
        std::printf("lowest peak on a kick beat:  %.3f (sum %.3f) at bar %d beat %d\n", weakestKick->peak, weakestKick->peakSum,
                    weakestKick->beat / Tempo::beatsPerBar + 1, weakestKick->beat % Tempo::beatsPerBar + 1);
    }
    if (loudestCalm) {
        std::printf("highest level between kicks: %.3f (sum %.3f) at bar %d beat %d\n", loudestCalm->betweenKicks, loudestCalm->betweenKicksSum,
                    loudestCalm->beat / Tempo::beatsPerBar + 1, loudestCalm->beat % Tempo::beatsPerBar + 1);
    }
    const bool kicksClear = weakestKick && weakestKick->peak > kickThreshold;
    const bool calmClear = loudestCalm && loudestCalm->betweenKicks < kickThreshold;
    std::printf("%s\n", kicksClear && calmClear ? "every kick reads as a beat, nothing else does" : "the beat level does not follow the kicks");
    return kicksClear && calmClear;
}

}  // namespace

// Reads an audio file and reports, beat by beat, the beat level the show
// will see: its peak, its minimum and its highest value between kicks.
int main(int argc, char** argv)
{
    constexpr const char* usage = "Usage: kestrova-beat-check FILE\n";
    if (argc == 2 && (std::string_view(argv[1]) == "--help" || std::string_view(argv[1]) == "-h")) {
        std::printf("%s\n"
                    "Reads a 44.1 kHz music file and reports, beat by beat, the beat level the show\n"
                    "will see: its peak on the beat, its minimum and its highest value between kicks.\n\n"
                    "Exit status: 0 when every kick reads as a beat and nothing else does; 1 when\n"
                    "the level does not follow the kicks or the file cannot be read; 2 for a\n"
                    "mistake on the command line.\n",
                    usage);
        return 0;
    }
    if (argc != 2 || argv[1][0] == '-') {
        std::fprintf(stderr, "kestrova-beat-check: expected one music file\n%s", usage);
        return 2;
    }
    try {
        auto music = std::make_shared<const DecodedMusic>(DecodedMusic::Load(argv[1]));
        if (music->SampleRate() != Tempo::sampleRate) {
            std::fprintf(stderr, "kestrova-beat-check: %s is not at %d Hz\n", argv[1], Tempo::sampleRate);
            return 1;
        }
        const std::vector<BeatStats> beats = MeasureBeats(std::move(music));
        PrintBeats(beats);
        return PrintSummary(beats) ? 0 : 1;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "kestrova-beat-check: %s\n", error.what());
        return 1;
    }
}
