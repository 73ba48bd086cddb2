#pragma once

#include <chrono>

#include "music/DecodedMusicStream.h"

// Music that is not heard: its clock is wall time since Play, so the show
// keeps its pace on a machine without a sound device.
class SilentMusicStream final : public DecodedMusicStream {
public:
    explicit SilentMusicStream(std::shared_ptr<const DecodedMusic> music);

    void Play() override;
    double Position() override;  // stands still until Play
    void SetPosition(double seconds) override;
    void SetPaused(bool paused) override;

private:
    using Clock = std::chrono::steady_clock;

    bool playing = false;
    bool paused = false;
    double origin = 0.0;  // the position at originTime
    Clock::time_point originTime;
};
