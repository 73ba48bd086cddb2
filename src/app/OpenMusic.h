#pragma once

#include <memory>
#include <string>

#include "music/MusicStream.h"

// Decodes the music file and plays it through the sound device, or, when
// there is none, on a silent clock so that the show still runs; the fallback
// is reported on the debug output. Throws "Unable to load music: <path>"
// when the file cannot be decoded.
std::unique_ptr<MusicStream> OpenMusicStream(const std::string& path);
