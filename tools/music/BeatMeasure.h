#pragma once

#include <memory>
#include <vector>

class DecodedMusic;

// How often the show reads the level: once a frame at 60 frames a second.
constexpr int measurementsPerSecond = 60;

// Per beat of the track, what the level did: its peak over the beat, its
// lowest value, and its highest value away from the kick (the second half
// of a kick's beat, or the whole of a beat without one).
struct BeatStats {
    int beat;
    bool kick;
    float peak;
    float minimum;
    float betweenKicks;
    float peakSum;
    float betweenKicksSum;
};

// Plays the track as offline rendering does, with the demo's own clock,
// spectrum and beat formula, reading the level 60 times a second, and
// groups the readings by beat of the arrangement.
std::vector<BeatStats> MeasureBeats(std::shared_ptr<const DecodedMusic> music);
