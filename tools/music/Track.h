#pragma once

#include "music/StereoBuffer.h"

// The show's track. Synthesises its first `seconds` (exactly that many
// frames, rounded), so a short excerpt is as quick to make as it is long;
// asking for more than the track's length gives silence after it.
StereoBuffer SynthesiseTrack(double seconds);

// The whole track, tail included.
StereoBuffer SynthesiseWholeTrack();
