#pragma once

#include <condition_variable>
#include <cstdint>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

#include "capture/VideoEncoder.h"

// Encodes frames on a thread of its own, so that drawing the next frame
// overlaps encoding this one. The frames travel through a small ring of
// buffers made once: the drawing thread fills a free one and hands it over,
// and waits only when every buffer is still queued.
class EncoderThread {
public:
    // A frame's picture (as VideoEncoder::AddVideoFrame takes it) and the
    // sound that plays while it is shown.
    struct Frame {
        std::vector<std::uint8_t> pixels;
        std::vector<float> sound;  // room for the most samples a frame has
        std::size_t soundValues = 0;
    };

    EncoderThread(VideoEncoder& encoder, std::size_t pixelBytes, std::size_t soundValues, int buffers = 3);
    // Stops at once, encoding nothing more; the file stays unfinished.
    ~EncoderThread();
    EncoderThread(const EncoderThread&) = delete;
    EncoderThread& operator=(const EncoderThread&) = delete;

    // A free buffer to fill, waiting for one when all are queued. Throws the
    // encoder's failure once it has failed.
    Frame& NextFree();
    // Queues the buffer NextFree gave.
    void Submit();
    // Waits until every queued frame is encoded, then finishes the file on
    // the calling thread. Throws the encoder's failure.
    void Finish();

private:
    void Work();
    void ThrowIfFailed();

    VideoEncoder& encoder;
    std::vector<Frame> frames;
    std::mutex mutex;
    std::condition_variable changed;
    std::size_t oldest = 0;  // the next frame to encode
    std::size_t queued = 0;  // handed over and not yet encoded
    bool noMoreFrames = false;
    bool stopNow = false;
    std::exception_ptr failure;
    std::thread worker;
};
