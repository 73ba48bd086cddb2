#include "core/DemoRandom.h"

namespace {
std::uint32_t state = 1;
}

namespace DemoRandom {

void Seed(std::uint32_t seed)
{
    state = seed;
}

int Next()
{
    state = state * 214013u + 2531011u;
    return static_cast<int>((state >> 16) & 0x7FFFu);
}

}  // namespace DemoRandom

float RandomUnit()
{
    return static_cast<float>(DemoRandom::Next()) / 32767.0f;
}
