#include "music/ModuleRows.h"

#include <algorithm>
#include <cmath>

ModuleRows::ModuleRows(std::vector<PlayedRow> played, int sampleRate, std::int64_t frames)
    : played(std::move(played)), sampleRate(sampleRate), frames(frames)
{
}

double ModuleRows::RowAt(double milliseconds) const
{
    if (played.empty()) {
        return 0.0;
    }
    const double frame = milliseconds * sampleRate / 1000.0;
    if (frame >= static_cast<double>(frames)) {
        return static_cast<double>(played.size());
    }
    const auto after = std::upper_bound(played.begin(), played.end(), frame,
                                        [](double at, const PlayedRow& row) { return at < static_cast<double>(row.frame); });
    if (after == played.begin()) {
        return 0.0;
    }
    const auto n = static_cast<std::size_t>(after - played.begin() - 1);
    const double start = static_cast<double>(played[n].frame);
    const double length = static_cast<double>(EndOf(n)) - start;
    return static_cast<double>(n) + (length > 0.0 ? (frame - start) / length : 0.0);
}

double ModuleRows::MillisecondsAt(double row) const
{
    if (played.empty() || row <= 0.0) {
        return 0.0;
    }
    const double whole = std::floor(row);
    if (whole >= static_cast<double>(played.size())) {
        return FrameMilliseconds(static_cast<double>(frames));
    }
    const auto n = static_cast<std::size_t>(whole);
    const double start = static_cast<double>(played[n].frame);
    return FrameMilliseconds(start + (row - whole) * (static_cast<double>(EndOf(n)) - start));
}
