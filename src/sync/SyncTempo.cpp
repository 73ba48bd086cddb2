#include "sync/SyncTempo.h"

#include <cmath>
#include <limits>

std::uint32_t SyncTempo::StartOfRow(int row) const
{
    if (row <= 0) {
        return 0;
    }
    constexpr double latest = std::numeric_limits<std::uint32_t>::max();
    const double estimate = OnModuleRows() ? std::ceil(moduleRows->MillisecondsAt(row))
                                           : std::ceil(row * 60000.0 / (beatsPerMinute * rowsPerBeat));
    std::uint32_t milliseconds = static_cast<std::uint32_t>(std::fmin(estimate, latest));
    // The estimate may miss by one either way through rounding.
    while (milliseconds < latest && RowAt(milliseconds) < row) {
        ++milliseconds;
    }
    while (milliseconds > 0 && RowAt(milliseconds - 1) >= row) {
        --milliseconds;
    }
    return milliseconds;
}

bool SyncTempo::Valid() const
{
    return std::isfinite(beatsPerMinute) && beatsPerMinute > 0.0 && rowsPerBeat > 0;
}
