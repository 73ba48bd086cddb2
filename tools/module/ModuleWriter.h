#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Small tracker modules written byte for byte as ProTracker (MOD) and
// FastTracker 2 (XM) save them: enough of each format for the tests and the
// benchmark to make songs whose rows, tempo and length they know.

// One channel of one row.
struct ModuleCell {
    int note = 0;        // 1 (C-0) to 96, as XM numbers them; 0: none
    int instrument = 0;  // 1: the song's one sample; 0: none
    int effect = 0;      // the effect's number, as both formats share them:
    int parameter = 0;   // 0x0F speed (below 0x20) or tempo, 0x0B jump, 0x0D break
};

struct ModulePattern {
    std::vector<std::vector<ModuleCell>> rows;  // each row one cell per channel
};

struct ModuleSong {
    std::string title;
    int channels = 4;
    int speed = 6;    // ticks a row
    int tempo = 125;  // a tick lasts 2.5 / tempo seconds
    // The one sample every note plays: signed 8-bit, looped whole.
    std::vector<std::int8_t> sample;
    std::vector<ModulePattern> patterns;
    std::vector<int> order;  // the patterns in the order they play
};

// A pattern of the given rows and channels, every cell empty.
ModulePattern EmptyPattern(int rows, int channels);

// A cycle of a square wave, which played looped sounds at the note's pitch.
std::vector<std::int8_t> SquareWaveSample(int length);

// ProTracker's "M.K." format: four channels, 64 rows a pattern, 31 samples.
// The song's speed and tempo, which MOD has no header field for, are set by
// an Fxx on the first row's first free channel when they are not 6 and 125.
std::vector<std::uint8_t> WriteMod(const ModuleSong& song);

// FastTracker 2's XM format 1.04, with linear frequencies, one instrument
// and any number of rows a pattern.
std::vector<std::uint8_t> WriteXm(const ModuleSong& song);
