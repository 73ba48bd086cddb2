#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "capture/CaptureTimeline.h"
#include "capture/EncoderThread.h"
#include "capture/FrameReader.h"
#include "capture/VideoEncoder.h"
#include "music/DecodedMusic.h"

// A capture under way: each frame drawn is read back and encoded, with the
// music's samples that play while it is shown, into FILE.part, which takes
// the name FILE only once the video is complete. Ended any other way, it
// removes what it wrote.
class VideoCapture {
public:
    struct Settings {
        std::string path;
        int width;
        int height;
        int framesPerSecond;
        int quality;
    };

    VideoCapture(const Settings& settings, std::shared_ptr<const DecodedMusic> music, const CaptureTimeline& timeline);
    ~VideoCapture();
    VideoCapture(const VideoCapture&) = delete;
    VideoCapture& operator=(const VideoCapture&) = delete;

    // Takes the frame drawn so far, before the swap. Allocates nothing.
    void AddFrame();
    // Encodes every frame taken, completes the file and gives it its name.
    // Returns its size in bytes.
    std::uintmax_t Finish();

    long FramesAdded() const { return added; }

    // Throws the reason when FILE.part cannot be made; makes nothing.
    static void CheckWritable(const std::string& path);

private:
    void EncodeOldestRead();

    std::string path;
    std::string partPath;
    std::shared_ptr<const DecodedMusic> music;
    CaptureTimeline timeline;
    FrameReader reader;
    std::unique_ptr<VideoEncoder> encoder;
    std::unique_ptr<EncoderThread> thread;
    long added = 0;
    long encoded = 0;  // handed to the encoder
    bool finished = false;
};
