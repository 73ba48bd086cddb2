#pragma once

#include <filesystem>

#include "music/StereoBuffer.h"

// Encodes stereo 44.1 kHz audio as Ogg Vorbis. The stream's serial number
// is fixed, so the same audio always gives the same bytes. Throws
// std::runtime_error when the encoder or the file fails.
void SaveOggVorbis(const StereoBuffer& audio, const std::filesystem::path& path);
