#pragma once

#include <array>
#include <cstdint>
#include <vector>

// What plays when: three acts in phrases of 8 bars in A minor, then a
// closing bar. The first act:
//   bars  1- 4 intro: kick, hats, pad
//   bars  5- 8 the bass joins
//   bars  9-16 groove: claps, open hats, the arpeggio
//   bars 17-20 breakdown: no kick, no bass; the melody is first heard; a
//              clap roll and a riser lead back
//   bars 21-24 the groove returns
//   bars 25-32 everything, with the full melody
// The second (bars 33-56), third (bars 57-80) and fourth (bars 81-104) acts
// play bars 9 to 32 again: groove, breakdown, return and peak.
//   bar 105    a last kick and crash, the chord rings out
// Bars are counted from 0 here.
namespace Arrangement {

constexpr int firstActBars = 32;
constexpr int laterActBars = 24;
constexpr int laterActs = 3;
constexpr int barCount = firstActBars + laterActs * laterActBars + 1;
constexpr double tailSeconds = 3.0;

double LengthSeconds();

// Which instruments a bar holds.
struct Parts {
    bool kick = false;
    bool bass = false;
    bool closedHats = false;   // on the off-beat eighths
    bool sixteenths = false;   // closed hats on every sixteenth instead
    bool openHats = false;
    bool claps = false;
    bool pad = false;
    bool arpeggio = false;
    bool melody = false;
    bool riser = false;  // a noise riser starts here and runs two bars
    bool roll = false;   // claps in eighths, then sixteenths, building up
};
Parts PartsOfBar(int bar);

// Beats counted from the start of the track: true where a kick starts.
bool KickOnBeat(int beat);

// The first frames of every kick that starts before the given frame.
std::vector<std::int64_t> KickFrames(std::int64_t before);

// The bar's harmony: a bass root and a three-note pad voicing, as MIDI notes.
struct Chord {
    int bassRoot;
    std::array<int, 3> voicing;
};
Chord ChordOfBar(int bar);

struct MelodyNote {
    double beat;   // within the bar
    double beats;  // length
    int note;
};
std::vector<MelodyNote> MelodyOfBar(int bar);

// Bars that open with a crash cymbal.
bool CrashOnBar(int bar);

}  // namespace Arrangement
