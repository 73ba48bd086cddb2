#pragma once

#include <span>

// The frame's beat level from the music's spectrum: the sum of the 16
// lowest bins, to the sixth power, at most 1. Small sums vanish and kicks
// stand out.
float BeatLevel(std::span<const float, 1024> spectrum);
