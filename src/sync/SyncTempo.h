#pragma once

#include <cstdint>

// The beat grid the tracks' rows lie on: a row is a fraction of a beat of
// the music's tempo, and music time maps to fractional rows, so that values
// move smoothly between rows.
struct SyncTempo {
    static constexpr double defaultBeatsPerMinute = 120.0;
    static constexpr int defaultRowsPerBeat = 8;

    double beatsPerMinute = defaultBeatsPerMinute;
    int rowsPerBeat = defaultRowsPerBeat;

    // row = ms × beatsPerMinute / 60000 × rowsPerBeat
    double RowAt(std::uint32_t milliseconds) const
    {
        return static_cast<double>(milliseconds) * beatsPerMinute / 60000.0 * rowsPerBeat;
    }

    // The first whole millisecond that lies in the row: where a seek to the
    // row lands, so that the clock read back gives that row again.
    std::uint32_t StartOfRow(int row) const;

    // A tempo with a positive, finite number of beats a minute and rows a
    // beat.
    bool Valid() const;

    bool operator==(const SyncTempo&) const = default;
};
