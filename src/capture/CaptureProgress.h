#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

#include "capture/RecentRate.h"

// What a capture tells whoever waits for it, on standard error: on a
// terminal a progress bar redrawn at most ten times a second, with the frame
// rate of the last few seconds and the time left at that rate; elsewhere a
// line at every tenth of the way; at the end one summary line.
class CaptureProgress {
public:
    CaptureProgress(std::string file, long totalFrames, int framesPerSecond, bool terminal);

    // After each frame; allocates nothing.
    void FramesDone(long frames);
    // The last word on a complete file.
    void Finished(long frames, std::uintmax_t bytes);
    // The last word when the viewer stopped the capture early.
    void Stopped(long frames, std::uint32_t musicTime, std::uintmax_t bytes);

private:
    double SecondsSinceStart() const;
    void EndBar();

    std::string file;
    long totalFrames;
    int framesPerSecond;
    bool terminal;
    bool barDrawn = false;
    int tenthsReported = 0;
    std::chrono::steady_clock::time_point start;
    std::chrono::steady_clock::time_point lastDrawn;
    RecentRate recent;  // the frame rate and the time left the bar shows
};
