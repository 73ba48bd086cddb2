#pragma once

#include <cmath>
#include <cstdint>

// The track's clock: 124 beats a minute, four to the bar, at 44.1 kHz.
namespace Tempo {

constexpr int sampleRate = 44100;
constexpr double beatsPerMinute = 124.0;
constexpr int beatsPerBar = 4;

constexpr double FramesPerBeat() { return sampleRate * 60.0 / beatsPerMinute; }
constexpr double SecondsPerBar() { return beatsPerBar * 60.0 / beatsPerMinute; }

// The first frame of a beat counted from the start of the track; fractions
// of a beat place sixteenths and swing.
inline std::int64_t BeatFrame(double beat) { return std::llround(beat * FramesPerBeat()); }
inline std::int64_t BarFrame(double bar) { return BeatFrame(bar * beatsPerBar); }

inline std::int64_t SecondsToFrames(double seconds) { return std::llround(seconds * sampleRate); }

}  // namespace Tempo
