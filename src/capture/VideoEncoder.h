#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "capture/VideoFormat.h"

struct AVFormatContext;
struct AVCodecContext;
struct AVStream;
struct AVFrame;
struct AVPacket;
struct SwsContext;
struct SwrContext;
struct AVAudioFifo;

// Frees what FFmpeg's libraries allocated, each with its own function.
struct LibavDeleter {
    void operator()(AVFormatContext* output) const;
    void operator()(AVCodecContext* codec) const;
    void operator()(AVFrame* frame) const;
    void operator()(AVPacket* packet) const;
    void operator()(SwsContext* scaler) const;
    void operator()(SwrContext* resampler) const;
    void operator()(AVAudioFifo* fifo) const;
};
template <typename T>
using LibavPointer = std::unique_ptr<T, LibavDeleter>;

// Encodes RGBA frames as H.264 (yuv420p, BT.709, constant quality) and
// interleaved float sound with the format's audio encoder into one file,
// through FFmpeg's libraries. Every failure throws a DemoMessage giving the
// cause; the file is then left as it is, for the caller to remove.
class VideoEncoder {
public:
    struct Settings {
        std::string path;
        VideoFormat format;
        int width;
        int height;
        int framesPerSecond;
        int quality;  // x264's constant rate factor: 0 lossless, 51 worst
        int sampleRate;
        int channels;
    };

    explicit VideoEncoder(const Settings& settings);
    ~VideoEncoder();
    VideoEncoder(const VideoEncoder&) = delete;
    VideoEncoder& operator=(const VideoEncoder&) = delete;

    // One frame as OpenGL reads it: rows of width * 4 bytes, bottom row first.
    void AddVideoFrame(const std::uint8_t* rgba);

    // The next samples of the sound track, interleaved.
    void AddAudio(std::span<const float> interleaved);

    // Encodes what is buffered and closes the file properly; nothing may
    // be added afterwards.
    void Finish();

private:
    struct Stream {
        LibavPointer<AVCodecContext> codec;
        AVStream* stream = nullptr;  // owned by the output
        std::int64_t nextPts = 0;
    };
    void OpenVideo(const Settings& settings);
    void OpenAudio(const Settings& settings);
    // Encodes whole encoder frames of the buffered sound; at the end, the
    // rest as a shorter last frame.
    void EncodeBufferedAudio(bool atTheEnd);
    // Sends a frame (null: the end) and writes every packet that comes out.
    void Encode(Stream& stream, AVFrame* frame);

    int width;
    int height;
    int channels;
    int audioFrameSize = 0;
    LibavPointer<AVFormatContext> output;
    Stream video;
    Stream audio;
    LibavPointer<AVFrame> videoFrame;
    LibavPointer<AVFrame> audioFrame;
    LibavPointer<AVPacket> packet;
    LibavPointer<SwsContext> scaler;
    LibavPointer<SwrContext> resampler;
    LibavPointer<AVAudioFifo> soundQueue;  // interleaved float, not yet encoded
    std::vector<float> soundChunk;         // one encoder frame taken from the queue
};
