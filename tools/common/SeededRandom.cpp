#include "common/SeededRandom.h"

std::uint64_t SeededRandom::NextBits()
{
    state += 0x9E3779B97F4A7C15ull;
    std::uint64_t mixed = state;
    mixed = (mixed ^ (mixed >> 30)) * 0xBF58476D1CE4E5B9ull;
    mixed = (mixed ^ (mixed >> 27)) * 0x94D049BB133111EBull;
    return mixed ^ (mixed >> 31);
}

float SeededRandom::Unit()
{
    // The top 24 bits fill a float's mantissa exactly, so 1.0 is never reached.
    return static_cast<float>(NextBits() >> 40) * (1.0f / 16777216.0f);
}

float SeededRandom::Between(float low, float high)
{
    return low + (high - low) * Unit();
}
