#include "capture/EncoderThread.h"

EncoderThread::EncoderThread(VideoEncoder& encoder, std::size_t pixelBytes, std::size_t soundValues, int buffers)
    : encoder(encoder), frames(buffers)
{
    for (Frame& frame : frames) {
        frame.pixels.resize(pixelBytes);
        frame.sound.resize(soundValues);
    }
    worker = std::thread([this] { Work(); });
}

EncoderThread::~EncoderThread()
{
    {
        const std::lock_guard lock(mutex);
        stopNow = true;
    }
    changed.notify_all();
    worker.join();
}

void EncoderThread::ThrowIfFailed()
{
    if (failure) {
        std::rethrow_exception(failure);
    }
}

EncoderThread::Frame& EncoderThread::NextFree()
{
    std::unique_lock lock(mutex);
    changed.wait(lock, [this] { return queued < frames.size() || failure; });
    ThrowIfFailed();
    return frames[(oldest + queued) % frames.size()];
}

void EncoderThread::Submit()
{
    {
        const std::lock_guard lock(mutex);
        ++queued;
    }
    changed.notify_all();
}

void EncoderThread::Finish()
{
    {
        std::unique_lock lock(mutex);
        noMoreFrames = true;
        changed.notify_all();
        changed.wait(lock, [this] { return queued == 0 || failure; });
        ThrowIfFailed();
    }
    encoder.Finish();
}

void EncoderThread::Work()
{
    std::unique_lock lock(mutex);
    for (;;) {
        changed.wait(lock, [this] { return queued > 0 || noMoreFrames || stopNow; });
        if (stopNow || queued == 0) {
            return;
        }
        Frame& frame = frames[oldest];
        lock.unlock();
        try {
            encoder.AddVideoFrame(frame.pixels.data());
            encoder.AddAudio({frame.sound.data(), frame.soundValues});
        } catch (...) {
            lock.lock();
            failure = std::current_exception();
            changed.notify_all();
            return;
        }
        lock.lock();
        oldest = (oldest + 1) % frames.size();
        --queued;
        changed.notify_all();
    }
}
