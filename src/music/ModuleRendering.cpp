#include "music/ModuleRendering.h"

#include <libopenmpt/libopenmpt.hpp>

#include <algorithm>
#include <cmath>
#include <sstream>
#include <vector>

namespace ModuleRendering {

std::size_t ProbeSize()
{
    return openmpt::probe_file_header_get_recommended_size();
}

bool LooksLikeModule(std::span<const std::byte> start, std::uint64_t fileSize)
{
    return openmpt::probe_file_header(openmpt::probe_file_header_flags_default2, start.data(), start.size(), fileSize) ==
           openmpt::probe_file_header_result_success;
}

std::optional<DecodedMusic> Render(std::span<const std::byte> bytes, double limit)
{
    // The library's warnings about a module's oddities are no concern of
    // the show's.
    std::ostringstream ignored;
    try {
        openmpt::module module(bytes.data(), bytes.size(), ignored);
        module.set_repeat_count(0);  // the first pass only
        const double seconds = module.get_duration_seconds();
        if (!(seconds > 0.0) || seconds > std::min(limit, longestSeconds)) {
            return std::nullopt;
        }
        // The library would ring on for a moment after the last row; the
        // music ends with the song, so that its loop keeps the song's rhythm.
        const auto frames = static_cast<std::size_t>(std::llround(seconds * sampleRate));
        std::vector<float> samples(frames * 2);
        std::vector<PlayedRow> rows;
        std::size_t done = 0;
        // Read in short steps, each followed by a look at the row being
        // played: a row that changed began in the step just read.
        const auto step = static_cast<std::size_t>(ModuleRows::precision);
        while (done < frames) {
            const std::size_t read =
                module.read_interleaved_stereo(sampleRate, std::min(step, frames - done), samples.data() + done * 2);
            if (read == 0) {
                break;
            }
            const int order = module.get_current_order();
            const int row = module.get_current_row();
            if (rows.empty() || rows.back().order != order || rows.back().row != row) {
                rows.push_back({static_cast<std::int64_t>(done), order, module.get_current_pattern(), row});
            }
            done += read;
        }
        samples.resize(done * 2);
        if (samples.empty()) {
            return std::nullopt;
        }
        return DecodedMusic::FromSamples(sampleRate, 2, std::move(samples), std::move(rows));
    } catch (const openmpt::exception&) {
        return std::nullopt;
    }
}

}  // namespace ModuleRendering
