#pragma once

#include <cstdint>
#include <vector>

#include "music/StereoBuffer.h"

// Bus processing between the instruments and the master.
namespace Effects {

// Two-pole high-pass: keeps pads and leads out of the low bins the show
// reads its beat from.
void HighPass(StereoBuffer& bus, double cutoffHz);

// Echoes bouncing between the channels, each darker than the last.
StereoBuffer PingPongDelay(const StereoBuffer& send, std::int64_t delayFrames, float feedback);

// A small hall: parallel damped combs into allpasses, per channel.
StereoBuffer Reverb(const StereoBuffer& send, float roomSize);

// Pulls a bus down on each kick and lets it swell back between them.
void Duck(StereoBuffer& bus, const std::vector<std::int64_t>& kickFrames, float depth, double recoverySeconds);

// Keeps the master below the ceiling with a soft knee instead of clipping;
// a ceiling under full scale leaves room for the encoder's overshoot.
void Limit(StereoBuffer& bus, float ceiling);

}  // namespace Effects
