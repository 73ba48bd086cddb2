#pragma once

#include <cstdint>

#include "music/StereoBuffer.h"

// The drum kit, synthesised per hit. Each hit is added to a bus from its
// first frame on; its noise is seeded by that frame, so a hit sounds the same
// however much of the track is made.
namespace Drums {

// A short sine thump falling from about 190 Hz to 50 Hz, gone within 0.28 s
// so the beat level drops clearly between kicks.
void Kick(StereoBuffer& bus, std::int64_t start, float velocity);

// Filtered noise: a tight tick, or an open hiss on the off-beats.
void Hat(StereoBuffer& bus, std::int64_t start, float velocity, bool open, float pan);

// Three quick noise bursts and a short tail, band-passed around 1.3 kHz.
void Clap(StereoBuffer& bus, std::int64_t start, float velocity);

// A long, bright wash for phrase starts.
void Crash(StereoBuffer& bus, std::int64_t start, float velocity);

// Noise swept up through a band-pass and swelling, leading into a drop.
void Riser(StereoBuffer& bus, std::int64_t start, std::int64_t length, float velocity);

}  // namespace Drums
