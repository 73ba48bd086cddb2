#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "gfx/Gl.h"

// Reads finished frames back from the back buffer as RGBA, bottom row
// first. With pixel buffer objects a read only starts when it is asked for
// and its pixels are taken a few frames later, so the pipeline never waits
// for it; without them each frame is read at once.
class FrameReader {
public:
    static constexpr int framesInFlight = 3;

    FrameReader(int width, int height);
    ~FrameReader();
    FrameReader(const FrameReader&) = delete;
    FrameReader& operator=(const FrameReader&) = delete;

    // Starts reading the frame drawn so far, before the swap; at most
    // Capacity() reads may wait to be taken.
    void Start();
    int Waiting() const { return waiting; }
    // How many reads may wait: once that many do, take the oldest.
    int Capacity() const { return buffered ? framesInFlight : 1; }
    // Copies the oldest waiting frame's pixels (width * height * 4 bytes).
    void TakeOldest(std::uint8_t* destination);

    std::size_t FrameBytes() const { return static_cast<std::size_t>(width) * height * 4; }

private:
    int width;
    int height;
    bool buffered;                                 // pixel buffer objects at hand
    std::array<GLuint, framesInFlight> buffers{};  // with them
    std::vector<std::uint8_t> oneFrame;            // without them
    int oldest = 0;
    int waiting = 0;
};
