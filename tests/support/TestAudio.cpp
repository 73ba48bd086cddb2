#include "support/TestAudio.h"

#include <sndfile.h>

#include <cmath>
#include <fstream>
#include <numbers>
#include <stdexcept>

std::string TestAudioFolder::Write(const std::string& name, int format, int sampleRate, int channels,
                                   const std::vector<float>& interleaved) const
{
    const std::string path = (Root() / name).string();
    SF_INFO info{};
    info.samplerate = sampleRate;
    info.channels = channels;
    info.format = format;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (file == nullptr) {
        throw std::runtime_error("cannot write " + path + ": " + sf_strerror(nullptr));
    }
    const sf_count_t frames = static_cast<sf_count_t>(interleaved.size()) / channels;
    const sf_count_t written = sf_writef_float(file, interleaved.data(), frames);
    sf_close(file);
    if (written != frames) {
        throw std::runtime_error("short write to " + path);
    }
    return path;
}

std::string TestAudioFolder::WriteBytes(const std::string& name, const std::string& bytes) const
{
    const std::string path = (Root() / name).string();
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

std::vector<float> BinSine(int bin, std::int64_t frames, float amplitude)
{
    std::vector<float> samples(static_cast<std::size_t>(frames));
    for (std::int64_t n = 0; n < frames; ++n) {
        // The phase is reduced in integers so that long signals stay exact.
        const double phase = 2.0 * std::numbers::pi * static_cast<double>((n * bin) % 2048) / 2048.0;
        samples[static_cast<std::size_t>(n)] = amplitude * static_cast<float>(std::sin(phase));
    }
    return samples;
}

std::vector<float> Interleave(const std::vector<std::vector<float>>& channels)
{
    const std::size_t frames = channels.front().size();
    std::vector<float> interleaved;
    interleaved.reserve(frames * channels.size());
    for (std::size_t frame = 0; frame < frames; ++frame) {
        for (const auto& channel : channels) {
            interleaved.push_back(channel.at(frame));
        }
    }
    return interleaved;
}

std::vector<float> Concatenate(const std::vector<std::vector<float>>& parts)
{
    std::vector<float> joined;
    for (const auto& part : parts) {
        joined.insert(joined.end(), part.begin(), part.end());
    }
    return joined;
}
