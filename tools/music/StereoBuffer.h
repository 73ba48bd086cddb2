#pragma once

#include <cstdint>
#include <vector>

// Two channels of float samples, the unit every instrument, bus and effect
// works on.
struct StereoBuffer {
    explicit StereoBuffer(std::size_t frames) : left(frames, 0.0f), right(frames, 0.0f) {}

    std::size_t Frames() const { return left.size(); }

    // Adds a frame; frames outside the buffer are dropped, so notes may run
    // past the end or start before it.
    void Add(std::int64_t frame, float leftSample, float rightSample)
    {
        if (frame >= 0 && static_cast<std::size_t>(frame) < left.size()) {
            left[static_cast<std::size_t>(frame)] += leftSample;
            right[static_cast<std::size_t>(frame)] += rightSample;
        }
    }

    // Adds another buffer of the same length, scaled.
    void Mix(const StereoBuffer& other, float gain);

    std::vector<float> left;
    std::vector<float> right;
};

// The channels averaged, as the show listens to the music.
std::vector<float> Mono(const StereoBuffer& buffer);
