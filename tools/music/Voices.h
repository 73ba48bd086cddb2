#pragma once

#include <cstdint>

#include "music/StereoBuffer.h"

// The pitched instruments. A note is added to a bus from its first frame for
// its length plus its release.
namespace Voices {

struct NoteSpan {
    std::int64_t start;   // first frame
    std::int64_t length;  // frames until the key is let go
};

// Two detuned saws through a closing low-pass: a round, plucky bass.
void Bass(StereoBuffer& bus, NoteSpan span, double midiNote, float velocity);

// Six detuned saws spread across the channels, slow to swell and fade.
void Pad(StereoBuffer& bus, NoteSpan span, double midiNote, float velocity);

// A short saw pluck with a snapping filter, for the arpeggio.
void Pluck(StereoBuffer& bus, std::int64_t start, double midiNote, float velocity, float pan);

// A two-operator FM bell, for the melody.
void Bell(StereoBuffer& bus, NoteSpan span, double midiNote, float velocity);

}  // namespace Voices
