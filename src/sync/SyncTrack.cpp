#include "sync/SyncTrack.h"

#include <algorithm>
#include <cmath>

namespace {

bool RowBefore(const TrackKey& key, int row)
{
    return key.row < row;
}

// The fraction of the way from key to next at the row, shaped by the key's
// interpolation; in double precision, as Rocket evaluates it.
double Shaped(const TrackKey& key, const TrackKey& next, double row)
{
    double t = (row - key.row) / (next.row - key.row);
    switch (key.interpolation) {
    case KeyInterpolation::Step:
        return 0.0;
    case KeyInterpolation::Linear:
        break;
    case KeyInterpolation::Smooth:
        t = t * t * (3.0 - 2.0 * t);
        break;
    case KeyInterpolation::Ramp:
        t = t * t;
        break;
    }
    return t;
}

}  // namespace

SyncTrack::SyncTrack(std::string name) : name(std::move(name)) {}

long SyncTrack::FloorIndex(int row) const
{
    const auto after = std::upper_bound(keys.begin(), keys.end(), row,
                                        [](int wanted, const TrackKey& key) { return wanted < key.row; });
    return static_cast<long>(after - keys.begin()) - 1;
}

double SyncTrack::ValueAt(double row) const
{
    if (keys.empty()) {
        return 0.0;
    }
    const long index = FloorIndex(static_cast<int>(std::floor(row)));
    if (index < 0) {
        return keys.front().value;
    }
    if (index + 1 >= static_cast<long>(keys.size())) {
        return keys.back().value;
    }
    const TrackKey& key = keys[static_cast<std::size_t>(index)];
    const TrackKey& next = keys[static_cast<std::size_t>(index) + 1];
    // The difference in single precision, as Rocket takes it.
    const float change = next.value - key.value;
    return key.value + change * Shaped(key, next, row);
}

double SyncTrack::HeldValueAt(double row) const
{
    if (keys.empty()) {
        return 0.0;
    }
    const long index = FloorIndex(static_cast<int>(std::floor(row)));
    return keys[static_cast<std::size_t>(std::max(index, 0L))].value;
}

void SyncTrack::SetKey(const TrackKey& key)
{
    const auto place = std::lower_bound(keys.begin(), keys.end(), key.row, RowBefore);
    if (place != keys.end() && place->row == key.row) {
        *place = key;
    } else {
        keys.insert(place, key);
    }
}

bool SyncTrack::DeleteKey(int row)
{
    const auto place = std::lower_bound(keys.begin(), keys.end(), row, RowBefore);
    if (place == keys.end() || place->row != row) {
        return false;
    }
    keys.erase(place);
    return true;
}

const TrackKey* SyncTrack::KeyAt(int row) const
{
    const auto place = std::lower_bound(keys.begin(), keys.end(), row, RowBefore);
    return place != keys.end() && place->row == row ? &*place : nullptr;
}

const TrackKey* SyncTrack::SegmentKeyAt(int row) const
{
    const long index = FloorIndex(row);
    return index < 0 ? nullptr : &keys[static_cast<std::size_t>(index)];
}

std::optional<int> SyncTrack::PreviousKeyRow(int row) const
{
    const auto place = std::lower_bound(keys.begin(), keys.end(), row, RowBefore);
    if (place == keys.begin()) {
        return std::nullopt;
    }
    return std::prev(place)->row;
}

std::optional<int> SyncTrack::NextKeyRow(int row) const
{
    const long index = FloorIndex(row);
    const std::size_t next = static_cast<std::size_t>(index + 1);
    if (next >= keys.size()) {
        return std::nullopt;
    }
    return keys[next].row;
}
