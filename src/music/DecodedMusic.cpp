#include "music/DecodedMusic.h"

#include <sndfile.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <optional>

#include "core/DemoMessage.h"
#include "core/RegularFile.h"
#include "music/ModuleRendering.h"

namespace {

struct SoundFileCloser {
    void operator()(SNDFILE* file) const { sf_close(file); }
};

// A tracker module's sound, or nothing when the file is no module. Only
// the first bytes are read to tell.
std::optional<DecodedMusic> LoadModule(const std::string& path)
{
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    const std::streamoff size = file ? static_cast<std::streamoff>(file.tellg()) : -1;
    if (size <= 0) {
        return std::nullopt;
    }
    file.seekg(0);
    std::vector<std::byte> bytes(static_cast<std::size_t>(std::min<std::streamoff>(size, ModuleRendering::ProbeSize())));
    if (!file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size())) ||
        !ModuleRendering::LooksLikeModule(bytes, static_cast<std::uint64_t>(size))) {
        return std::nullopt;
    }
    const std::size_t probed = bytes.size();
    bytes.resize(static_cast<std::size_t>(size));
    if (!file.read(reinterpret_cast<char*>(bytes.data() + probed), static_cast<std::streamsize>(bytes.size() - probed))) {
        return std::nullopt;
    }
    return ModuleRendering::Render(bytes);
}

}  // namespace

DecodedMusic DecodedMusic::FromSamples(int sampleRate, int channels, std::vector<float> samples, std::vector<PlayedRow> rows)
{
    return DecodedMusic(sampleRate, channels, std::move(samples), std::move(rows));
}

DecodedMusic DecodedMusic::Load(const std::string& path)
{
    const auto fail = [&path] { return DemoMessage(FormatText("Unable to load music: %s", path.c_str())); };
    if (IsSpecialFile(path)) {
        throw DemoMessage(FormatText("Unable to load music: %s (not a regular file)", path.c_str()));
    }

    SF_INFO info{};
    const std::unique_ptr<SNDFILE, SoundFileCloser> file(sf_open(path.c_str(), SFM_READ, &info));
    if (!file || info.channels <= 0 || info.samplerate <= 0) {
        std::optional<DecodedMusic> module = LoadModule(path);
        if (!module) {
            throw fail();
        }
        return std::move(*module);
    }

    // The frame count in the header is only an estimate for compressed
    // formats such as MP3, so read until the decoder runs dry.
    constexpr sf_count_t chunkFrames = 16384;
    const std::size_t chunkSamples = static_cast<std::size_t>(chunkFrames * info.channels);
    std::vector<float> samples;
    // Room for the whole track and one chunk more, so that reading the last
    // chunk does not move everything read before it.
    samples.reserve(static_cast<std::size_t>(std::max<sf_count_t>(info.frames, 0) * info.channels) + chunkSamples);
    for (;;) {
        const std::size_t filled = samples.size();
        samples.resize(filled + chunkSamples);
        const sf_count_t read = sf_readf_float(file.get(), samples.data() + filled, chunkFrames);
        samples.resize(filled + static_cast<std::size_t>(std::max<sf_count_t>(read, 0) * info.channels));
        if (read <= 0) {
            break;
        }
    }
    if (sf_error(file.get()) != SF_ERR_NO_ERROR || samples.empty()) {
        throw fail();
    }
    // Only a header that underestimated leaves more than a chunk spare.
    if (samples.capacity() - samples.size() > chunkSamples) {
        samples.shrink_to_fit();
    }
    return DecodedMusic(info.samplerate, info.channels, std::move(samples));
}

DecodedMusic::DecodedMusic(int sampleRate, int channels, std::vector<float> samples, std::vector<PlayedRow> rows)
    : sampleRate(sampleRate),
      channels(channels),
      frames(static_cast<std::int64_t>(samples.size()) / channels),
      samples(std::move(samples)),
      rows(std::move(rows), sampleRate, frames)
{
}

std::int64_t DecodedMusic::LoopedFrame(std::int64_t frame) const
{
    const std::int64_t looped = frame % frames;
    return looped < 0 ? looped + frames : looped;
}

void DecodedMusic::CopyLooped(std::int64_t firstFrame, std::span<float> interleaved) const
{
    std::int64_t frame = LoopedFrame(firstFrame);
    std::size_t written = 0;
    while (written < interleaved.size()) {
        const std::size_t start = static_cast<std::size_t>(frame * channels);
        const std::size_t count = std::min(interleaved.size() - written, samples.size() - start);
        std::copy_n(samples.begin() + static_cast<std::ptrdiff_t>(start), count,
                    interleaved.begin() + static_cast<std::ptrdiff_t>(written));
        written += count;
        frame = 0;
    }
}
