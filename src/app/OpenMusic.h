#pragma once

#include <memory>

#include "music/DecodedMusic.h"
#include "music/MusicStream.h"

// Plays the decoded music through the sound device, or, when there is none,
// on a silent clock so that the show still runs; the fallback is reported on
// the debug output.
std::unique_ptr<MusicStream> OpenMusicStream(std::shared_ptr<const DecodedMusic> music);
