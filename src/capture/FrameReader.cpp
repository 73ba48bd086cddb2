#include "capture/FrameReader.h"

#include <cstring>

#include "core/DemoMessage.h"

FrameReader::FrameReader(int width, int height)
    : width(width), height(height), buffered(GLEW_VERSION_2_1 || GLEW_ARB_pixel_buffer_object)
{
    if (!buffered) {
        oneFrame.resize(FrameBytes());
        return;
    }
    glGenBuffers(framesInFlight, buffers.data());
    for (const GLuint buffer : buffers) {
        glBindBuffer(GL_PIXEL_PACK_BUFFER, buffer);
        glBufferData(GL_PIXEL_PACK_BUFFER, static_cast<GLsizeiptr>(FrameBytes()), nullptr, GL_STREAM_READ);
    }
    glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
}

FrameReader::~FrameReader()
{
    if (buffered) {
        glDeleteBuffers(framesInFlight, buffers.data());
    }
}

void FrameReader::Start()
{
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    if (!buffered) {
        glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, oneFrame.data());
        waiting = 1;
        return;
    }
    glBindBuffer(GL_PIXEL_PACK_BUFFER, buffers[(oldest + waiting) % framesInFlight]);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
    ++waiting;
}

void FrameReader::TakeOldest(std::uint8_t* destination)
{
    if (!buffered) {
        std::memcpy(destination, oneFrame.data(), FrameBytes());
        waiting = 0;
        return;
    }
    glBindBuffer(GL_PIXEL_PACK_BUFFER, buffers[oldest]);
    const void* pixels = glMapBuffer(GL_PIXEL_PACK_BUFFER, GL_READ_ONLY);
    if (pixels == nullptr) {
        glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
        throw DemoMessage("a frame could not be read back");
    }
    std::memcpy(destination, pixels, FrameBytes());
    glUnmapBuffer(GL_PIXEL_PACK_BUFFER);
    glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
    oldest = (oldest + 1) % framesInFlight;
    --waiting;
}
