#include "module/ModuleWriter.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace {

class Bytes {
public:
    void U8(int value) { bytes.push_back(static_cast<std::uint8_t>(value)); }
    void U16Le(int value)
    {
        U8(value & 0xFF);
        U8((value >> 8) & 0xFF);
    }
    void U16Be(int value)
    {
        U8((value >> 8) & 0xFF);
        U8(value & 0xFF);
    }
    void U32Le(std::uint32_t value)
    {
        for (int shift = 0; shift < 32; shift += 8) {
            U8(static_cast<int>((value >> shift) & 0xFF));
        }
    }
    void Text(const std::string& text, std::size_t size)
    {
        for (std::size_t i = 0; i < size; ++i) {
            U8(i < text.size() ? static_cast<unsigned char>(text[i]) : 0);
        }
    }
    void Zeros(std::size_t count) { bytes.insert(bytes.end(), count, 0); }

    std::vector<std::uint8_t> bytes;
};

int PatternCount(const ModuleSong& song)
{
    return static_cast<int>(song.patterns.size());
}

// The Amiga period of a note: 428 is XM's C-4, ProTracker's C-2.
int AmigaPeriod(int note)
{
    return static_cast<int>(std::lround(428.0 * std::pow(2.0, -(note - 49) / 12.0)));
}

// MOD keeps speed and tempo in the patterns: an Fxx on row 0 of the first
// pattern played, in a channel with no effect there.
ModuleSong WithSpeedAndTempoInThePattern(ModuleSong song)
{
    if (song.order.empty()) {
        return song;
    }
    std::vector<ModuleCell>& first = song.patterns.at(song.order.front()).rows.at(0);
    for (const int value : {song.speed == 6 ? -1 : song.speed, song.tempo == 125 ? -1 : song.tempo}) {
        if (value < 0) {
            continue;
        }
        const auto free = std::find_if(first.begin(), first.end(), [](const ModuleCell& cell) { return cell.effect == 0; });
        if (free == first.end()) {
            throw std::invalid_argument("no free channel on the first row for the speed or tempo");
        }
        free->effect = 0x0F;
        free->parameter = value;
    }
    return song;
}

}  // namespace

ModulePattern EmptyPattern(int rows, int channels)
{
    return {std::vector<std::vector<ModuleCell>>(static_cast<std::size_t>(rows), std::vector<ModuleCell>(static_cast<std::size_t>(channels)))};
}

std::vector<std::int8_t> SquareWaveSample(int length)
{
    std::vector<std::int8_t> sample(static_cast<std::size_t>(length));
    for (int i = 0; i < length; ++i) {
        sample[static_cast<std::size_t>(i)] = i < length / 2 ? 64 : -64;
    }
    return sample;
}

std::vector<std::uint8_t> WriteMod(const ModuleSong& given)
{
    const ModuleSong song = WithSpeedAndTempoInThePattern(given);
    if (song.channels != 4 || song.sample.size() % 2 != 0 || song.sample.size() > 0x1FFFE || song.order.size() > 128) {
        throw std::invalid_argument("a MOD has four channels, a sample of an even length below 128 KB, 128 orders at most");
    }
    Bytes out;
    out.Text(song.title, 20);
    const int sampleWords = static_cast<int>(song.sample.size() / 2);
    for (int sample = 1; sample <= 31; ++sample) {
        out.Text(sample == 1 ? "square" : "", 22);
        out.U16Be(sample == 1 ? sampleWords : 0);
        out.U8(0);                        // finetune
        out.U8(sample == 1 ? 64 : 0);     // volume
        out.U16Be(0);                     // loop start
        out.U16Be(sample == 1 ? sampleWords : 1);  // loop length: 1 word is no loop
    }
    out.U8(static_cast<int>(song.order.size()));
    out.U8(127);
    for (std::size_t position = 0; position < 128; ++position) {
        out.U8(position < song.order.size() ? song.order[position] : 0);
    }
    out.Text("M.K.", 4);
    for (const ModulePattern& pattern : song.patterns) {
        if (pattern.rows.size() != 64) {
            throw std::invalid_argument("a MOD pattern has 64 rows");
        }
        for (const std::vector<ModuleCell>& row : pattern.rows) {
            for (const ModuleCell& cell : row) {
                const int period = cell.note == 0 ? 0 : AmigaPeriod(cell.note);
                out.U8((cell.instrument & 0xF0) | ((period >> 8) & 0x0F));
                out.U8(period & 0xFF);
                out.U8(((cell.instrument & 0x0F) << 4) | (cell.effect & 0x0F));
                out.U8(cell.parameter);
            }
        }
    }
    for (const std::int8_t value : song.sample) {
        out.U8(static_cast<std::uint8_t>(value));
    }
    return out.bytes;
}

std::vector<std::uint8_t> WriteXm(const ModuleSong& song)
{
    Bytes out;
    out.Text("Extended Module: ", 17);
    out.Text(song.title, 20);
    out.U8(0x1A);
    out.Text("Kestrova tests", 20);
    out.U16Le(0x0104);
    out.U32Le(276);  // the header from here on, the order table included
    out.U16Le(static_cast<int>(song.order.size()));
    out.U16Le(0);  // restart position
    out.U16Le(song.channels);
    out.U16Le(PatternCount(song));
    out.U16Le(1);  // instruments
    out.U16Le(1);  // linear frequencies
    out.U16Le(song.speed);
    out.U16Le(song.tempo);
    for (std::size_t position = 0; position < 256; ++position) {
        out.U8(position < song.order.size() ? song.order[position] : 0);
    }
    for (const ModulePattern& pattern : song.patterns) {
        out.U32Le(9);  // the pattern header's length
        out.U8(0);     // packing
        out.U16Le(static_cast<int>(pattern.rows.size()));
        out.U16Le(static_cast<int>(pattern.rows.size()) * song.channels * 5);
        for (const std::vector<ModuleCell>& row : pattern.rows) {
            for (const ModuleCell& cell : row) {
                out.U8(cell.note);
                out.U8(cell.instrument);
                out.U8(0);  // volume column
                out.U8(cell.effect);
                out.U8(cell.parameter);
            }
        }
    }
    // The instrument: 263 bytes of header, then one sample's 40.
    out.U32Le(263);
    out.Text("square", 22);
    out.U8(0);
    out.U16Le(1);
    out.U32Le(40);
    out.Zeros(96 + 48 + 48);  // key map, volume and panning envelopes
    out.Zeros(2 + 3 + 3 + 2 + 4);  // envelope points, sustain and loops, types, vibrato
    out.U16Le(0);               // fadeout
    out.Zeros(22);
    const auto length = static_cast<std::uint32_t>(song.sample.size());
    out.U32Le(length);
    out.U32Le(0);       // loop start
    out.U32Le(length);  // loop length
    out.U8(64);         // volume
    out.U8(0);          // finetune
    out.U8(1);          // forward loop, 8-bit
    out.U8(128);        // panning
    out.U8(0);          // relative note
    out.U8(0);
    out.Text("square", 22);
    // 8-bit samples are stored as the difference from the previous one.
    int previous = 0;
    for (const std::int8_t value : song.sample) {
        out.U8((value - previous) & 0xFF);
        previous = value;
    }
    return out.bytes;
}
