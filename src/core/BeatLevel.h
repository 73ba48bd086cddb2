#pragma once

#include <span>

// The frame's beat level from the music's spectrum: the sum of the 16
// lowest bins, to the sixth power, at most 1. Small sums vanish and kicks
// stand out.
float BeatLevel(std::span<const float, 1024> spectrum);

// The two steps on their own: the sum of bins 0 to 15, rounded to single
// precision after each addition, and the level it gives.
float LowBandSum(std::span<const float, 1024> spectrum);
float BeatLevelOfSum(float sum);
