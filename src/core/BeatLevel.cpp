#include "core/BeatLevel.h"

float BeatLevel(std::span<const float, 1024> spectrum)
{
    return BeatLevelOfSum(LowBandSum(spectrum));
}

float LowBandSum(std::span<const float, 1024> spectrum)
{
    float sum = 0.0f;
    for (int bin = 0; bin < 16; ++bin) {
        sum += spectrum[static_cast<std::size_t>(bin)];
    }
    return sum;
}

float BeatLevelOfSum(float sum)
{
    const double power = static_cast<double>(sum);
    const float level = static_cast<float>(power * power * power * power * power * power);
    return level > 1.0f ? 1.0f : level;
}
