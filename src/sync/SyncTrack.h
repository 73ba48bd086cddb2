#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// How the segment that starts at a key moves to the next key, numbered as
// Rocket numbers them in its files and on the wire.
enum class KeyInterpolation : std::uint8_t { Step = 0, Linear = 1, Smooth = 2, Ramp = 3 };
constexpr int keyInterpolationCount = 4;

struct TrackKey {
    int row = 0;
    float value = 0.0f;
    KeyInterpolation interpolation = KeyInterpolation::Step;

    bool operator==(const TrackKey&) const = default;
};

// Attributes an editor keeps in the tracks file beside the keys (a track's
// colour, whether it is folded), kept as read so that a file saved here
// opens there as it was.
using XmlAttributes = std::vector<std::pair<std::string, std::string>>;

// A named value keyed at rows of the beat grid, at most one key a row, and
// interpolated between keys as Rocket does: t is the fraction of the way
// from a key to the next, and the segment moves by the first key's
// interpolation (step holds its value, linear t, smooth t²(3 - 2t), ramp t²).
class SyncTrack {
public:
    explicit SyncTrack(std::string name);

    const std::string& Name() const { return name; }
    const std::vector<TrackKey>& Keys() const { return keys; }
    bool HasKeys() const { return !keys.empty(); }

    // The value at a row, fractional between rows. Before the first key the
    // first key's value, after the last key the last key's; a track without
    // keys gives 0, as Rocket's own client does.
    double ValueAt(double row) const;
    // The value of the last key at or before the row (the first key's
    // before it): a value held from key to key whatever the interpolation,
    // as choices are.
    double HeldValueAt(double row) const;

    // Sets the key at its row, replacing one already there.
    void SetKey(const TrackKey& key);
    // Returns false when the row holds no key.
    bool DeleteKey(int row);
    void ClearKeys() { keys.clear(); }

    // The key at exactly this row, or null.
    const TrackKey* KeyAt(int row) const;
    // The key whose segment holds the row: the last key at or before it;
    // null before the first key.
    const TrackKey* SegmentKeyAt(int row) const;
    // The nearest key rows strictly before and after the row.
    std::optional<int> PreviousKeyRow(int row) const;
    std::optional<int> NextKeyRow(int row) const;

    // Saved with the tracks file even without keys: the track was in the
    // file it came from.
    bool keptInFile = false;
    XmlAttributes editorAttributes;

private:
    // The index of the last key at or before the row; -1 before the first.
    long FloorIndex(int row) const;

    std::string name;
    std::vector<TrackKey> keys;  // sorted by row
};
