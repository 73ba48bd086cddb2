#include "music/Arrangement.h"

#include "music/Tempo.h"

namespace Arrangement {

namespace {

constexpr int breakdownStart = 16;
constexpr int returnStart = 20;
constexpr int peakStart = 24;
constexpr int closingBar = barCount - 1;
constexpr int grooveStart = 8;

// The bar of the first act that a bar of any act plays.
int PatternBar(int bar)
{
    return bar < firstActBars ? bar : grooveStart + (bar - firstActBars) % laterActBars;
}

// A minor: i VI III VII, i VI iv V, one chord a bar; the voicings move by
// small steps around middle C.
constexpr std::array<Chord, 8> progression{{
    {45, {60, 64, 69}},  // Am
    {41, {60, 65, 69}},  // F
    {48, {60, 64, 67}},  // C
    {43, {62, 67, 71}},  // G
    {45, {60, 64, 69}},  // Am
    {41, {60, 65, 69}},  // F
    {50, {62, 65, 69}},  // Dm
    {40, {64, 68, 71}},  // E
}};

// One phrase of melody; the second half answers the first and ends on the
// leading tone so the phrase turns back to A.
const std::array<std::vector<MelodyNote>, 8> melody{{
    {{0.0, 2.0, 81}, {2.0, 1.0, 79}, {3.0, 1.0, 76}},
    {{0.0, 3.0, 77}, {3.0, 1.0, 72}},
    {{0.0, 2.0, 76}, {2.0, 1.0, 74}, {3.0, 1.0, 72}},
    {{0.0, 1.5, 74}, {1.5, 0.5, 71}, {2.0, 2.0, 74}},
    {{0.0, 2.0, 81}, {2.0, 1.0, 83}, {3.0, 1.0, 84}},
    {{0.0, 3.0, 81}, {3.0, 1.0, 77}},
    {{0.0, 1.0, 77}, {1.0, 1.0, 76}, {2.0, 1.0, 74}, {3.0, 1.0, 77}},
    {{0.0, 2.0, 76}, {2.0, 2.0, 80}},
}};

}  // namespace

double LengthSeconds()
{
    return barCount * Tempo::SecondsPerBar() + tailSeconds;
}

Parts PartsOfBar(int bar)
{
    Parts parts;
    if (bar < 0 || bar > closingBar) {
        return parts;
    }
    if (bar == closingBar) {
        parts.pad = true;
        parts.melody = true;
        return parts;
    }
    bar = PatternBar(bar);
    const bool breakdown = bar >= breakdownStart && bar < returnStart;
    const bool groove = bar >= grooveStart && !breakdown;
    parts.kick = !breakdown;
    parts.bass = bar >= 4 && !breakdown;
    parts.closedHats = bar < 8 || bar >= breakdownStart + 2;
    parts.sixteenths = groove;
    parts.openHats = groove;
    parts.claps = groove;
    parts.pad = true;
    parts.arpeggio = bar >= grooveStart;
    parts.melody = breakdown || bar >= peakStart;
    parts.riser = bar == returnStart - 2;
    parts.roll = bar == returnStart - 1;
    return parts;
}

bool KickOnBeat(int beat)
{
    if (beat < 0) {
        return false;
    }
    const int bar = beat / Tempo::beatsPerBar;
    if (bar == closingBar) {
        return beat % Tempo::beatsPerBar == 0;
    }
    return PartsOfBar(bar).kick;
}

std::vector<std::int64_t> KickFrames(std::int64_t before)
{
    std::vector<std::int64_t> frames;
    for (int beat = 0; Tempo::BeatFrame(beat) < before; ++beat) {
        if (KickOnBeat(beat)) {
            frames.push_back(Tempo::BeatFrame(beat));
        }
    }
    return frames;
}

Chord ChordOfBar(int bar)
{
    return progression[static_cast<std::size_t>(bar % static_cast<int>(progression.size()))];
}

std::vector<MelodyNote> MelodyOfBar(int bar)
{
    if (bar == closingBar) {
        return {{0.0, 4.0, 81}};
    }
    return melody[static_cast<std::size_t>(bar % static_cast<int>(melody.size()))];
}

bool CrashOnBar(int bar)
{
    if (bar == closingBar) {
        return true;
    }
    bar = PatternBar(bar);
    return bar == grooveStart || bar == returnStart || bar == peakStart;
}

}  // namespace Arrangement
