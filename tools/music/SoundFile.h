#pragma once

#include <filesystem>

#include "music/StereoBuffer.h"

// What libsndfile reports about an audio file and its samples, for checking
// the encoded track as any player would read it.
struct DecodedSound {
    int format = 0;  // libsndfile's SF_FORMAT_* bits
    int channels = 0;
    int sampleRate = 0;
    StereoBuffer audio{0};  // a mono file is given on both channels
};

// Throws std::runtime_error when the file cannot be read or has more than
// two channels.
DecodedSound ReadSound(const std::filesystem::path& path);
