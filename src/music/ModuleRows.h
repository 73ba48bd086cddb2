#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// One row of a module as it was played: where its sound starts, and where
// it stands in the song.
struct PlayedRow {
    std::int64_t frame = 0;  // the row's first frame, up to ModuleRows::precision early
    int order = 0;
    int pattern = 0;
    int row = 0;
};

// The rows a module plays, in the order it plays them, across patterns and
// through every change of tempo and speed: the grid a demo maker keys
// tracks on when the music is a module, where row n is the n-th row played.
class ModuleRows {
public:
    // Rows are found between reads of this many frames (a third of a
    // millisecond at 48 kHz).
    static constexpr int precision = 16;

    ModuleRows() = default;
    // The rows in the order played, the first at frame 0, and the length of
    // the music they are the rows of.
    ModuleRows(std::vector<PlayedRow> played, int sampleRate, std::int64_t frames);

    bool Empty() const { return played.empty(); }
    std::size_t Count() const { return played.size(); }
    const PlayedRow& At(std::size_t n) const { return played[n]; }

    // The row played at a music time (ms), with the part of it gone by: 2.5
    // is half way through the third row played. At and after the music's
    // end, Count(). 0 without rows.
    double RowAt(double milliseconds) const;
    // The music time (ms) of a row: its start, and as far into it as the
    // fraction says. Past the last row, the music's end.
    double MillisecondsAt(double row) const;

private:
    double FrameMilliseconds(double frame) const { return frame * 1000.0 / sampleRate; }
    std::int64_t EndOf(std::size_t n) const { return n + 1 < played.size() ? played[n + 1].frame : frames; }

    std::vector<PlayedRow> played;
    int sampleRate = 48000;
    std::int64_t frames = 0;
};
