#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "music/ModuleRows.h"

// A music file decoded whole into memory as interleaved float samples in
// [-1, 1], so that playback, seeking and analysis never touch the disk.
class DecodedMusic {
public:
    // Reads anything the system's libsndfile decodes (WAV, FLAC, Ogg
    // Vorbis, MP3 and more) and any tracker module libopenmpt reads (see
    // ModuleRendering). Throws "Unable to load music: <path>" when the file
    // is missing, is neither, fails to decode or holds no frames.
    static DecodedMusic Load(const std::string& path);

    // Music already decoded: interleaved samples, a whole number of frames,
    // and for a module the rows it played.
    static DecodedMusic FromSamples(int sampleRate, int channels, std::vector<float> samples,
                                    std::vector<PlayedRow> rows = {});

    int SampleRate() const { return sampleRate; }
    int Channels() const { return channels; }
    std::int64_t Frames() const { return frames; }
    double Seconds() const { return static_cast<double>(frames) / sampleRate; }
    std::span<const float> Samples() const { return samples; }
    // A module's rows, where each starts; none for other music.
    const ModuleRows& Rows() const { return rows; }

    // The music loops, so every frame index, negative ones included, names a
    // frame of the track: the result lies in [0, Frames()).
    std::int64_t LoopedFrame(std::int64_t frame) const;

    // Fills interleaved with the frames from firstFrame on, going round the
    // loop as often as needed. Its size must be a multiple of Channels().
    void CopyLooped(std::int64_t firstFrame, std::span<float> interleaved) const;

private:
    DecodedMusic(int sampleRate, int channels, std::vector<float> samples, std::vector<PlayedRow> rows = {});

    int sampleRate;
    int channels;
    std::int64_t frames;
    std::vector<float> samples;
    ModuleRows rows;
};
