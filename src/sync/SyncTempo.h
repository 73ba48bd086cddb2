#pragma once

#include <cstdint>

#include "music/ModuleRows.h"

// The grid the tracks' rows lie on: a row is a fraction of a beat of the
// music's tempo, or, when the tracks file asks for it and the music is a
// module, the module's own row, the n-th row it plays. Music time maps to
// fractional rows, so that values move smoothly between rows.
struct SyncTempo {
    static constexpr double defaultBeatsPerMinute = 120.0;
    static constexpr int defaultRowsPerBeat = 8;

    double beatsPerMinute = defaultBeatsPerMinute;
    int rowsPerBeat = defaultRowsPerBeat;
    // The tracks file's choice: the module's rows rather than the tempo's.
    bool moduleGrid = false;
    // The music's rows, which the run gives when the music is a module.
    const ModuleRows* moduleRows = nullptr;

    // Whether rows are the module's: asked for, and a module to give them.
    bool OnModuleRows() const { return moduleGrid && moduleRows != nullptr && !moduleRows->Empty(); }

    // The module's row, or ms × beatsPerMinute / 60000 × rowsPerBeat.
    double RowAt(std::uint32_t milliseconds) const
    {
        if (OnModuleRows()) {
            return moduleRows->RowAt(milliseconds);
        }
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
