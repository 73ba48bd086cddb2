#pragma once

#include <cstdint>

// The generator's own random source: SplitMix64 from a fixed seed, so every
// run draws the same numbers and the assets come out byte for byte the same.
class SeededRandom {
public:
    explicit SeededRandom(std::uint64_t seed) : state(seed) {}

    std::uint64_t NextBits();

    // Uniform in [0, 1).
    float Unit();

    // Uniform in [low, high).
    float Between(float low, float high);

private:
    std::uint64_t state;
};
