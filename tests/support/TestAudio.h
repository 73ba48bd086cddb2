#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "support/TemporaryFolder.h"

// A fresh temporary folder for sound files written by one test; removed,
// with everything in it, afterwards.
class TestAudioFolder {
public:
    // Writes interleaved samples with libsndfile in the given SF_FORMAT_*
    // combination and returns the file's path.
    std::string Write(const std::string& name, int format, int sampleRate, int channels,
                      const std::vector<float>& interleaved) const;

    // Writes arbitrary bytes, for files that are not audio.
    std::string WriteBytes(const std::string& name, const std::string& bytes) const;

    const std::filesystem::path& Root() const { return folder.Path(); }

private:
    TemporaryFolder folder;
};

// A full-scale sine that completes exactly `bin` periods in every 2048
// frames, so it sits in the centre of spectrum bin `bin`, whatever the
// sample rate.
std::vector<float> BinSine(int bin, std::int64_t frames, float amplitude = 1.0f);

// Interleaves equally long channels into frames.
std::vector<float> Interleave(const std::vector<std::vector<float>>& channels);

// Joins signals end to end.
std::vector<float> Concatenate(const std::vector<std::vector<float>>& parts);
