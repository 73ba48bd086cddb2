#include "music/SoundFile.h"

#include <sndfile.h>

#include <memory>
#include <stdexcept>
#include <vector>

namespace {

struct SoundFileCloser {
    void operator()(SNDFILE* file) const { sf_close(file); }
};

}  // namespace

DecodedSound ReadSound(const std::filesystem::path& path)
{
    SF_INFO info{};
    const std::unique_ptr<SNDFILE, SoundFileCloser> file(sf_open(path.c_str(), SFM_READ, &info));
    if (!file) {
        throw std::runtime_error("Unable to read " + path.string() + ": " + sf_strerror(nullptr));
    }
    if (info.channels < 1 || info.channels > 2) {
        throw std::runtime_error(path.string() + " has neither one nor two channels");
    }
    std::vector<float> interleaved(static_cast<std::size_t>(info.frames) * static_cast<std::size_t>(info.channels));
    const sf_count_t frames = sf_readf_float(file.get(), interleaved.data(), info.frames);

    DecodedSound sound{info.format, info.channels, info.samplerate, StereoBuffer(static_cast<std::size_t>(frames))};
    for (std::size_t i = 0; i < sound.audio.Frames(); ++i) {
        const std::size_t at = i * static_cast<std::size_t>(info.channels);
        sound.audio.left[i] = interleaved[at];
        sound.audio.right[i] = interleaved[at + static_cast<std::size_t>(info.channels) - 1];
    }
    return sound;
}
