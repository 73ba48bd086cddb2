#include "music/StereoBuffer.h"

#include <stdexcept>

void StereoBuffer::Mix(const StereoBuffer& other, float gain)
{
    if (other.Frames() != Frames()) {
        throw std::invalid_argument("Buffers of different lengths cannot be mixed");
    }
    for (std::size_t i = 0; i < left.size(); ++i) {
        left[i] += other.left[i] * gain;
        right[i] += other.right[i] * gain;
    }
}

std::vector<float> Mono(const StereoBuffer& buffer)
{
    std::vector<float> mono(buffer.Frames());
    for (std::size_t i = 0; i < mono.size(); ++i) {
        mono[i] = 0.5f * (buffer.left[i] + buffer.right[i]);
    }
    return mono;
}
