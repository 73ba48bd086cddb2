#pragma once

#include "music/DecodedMusicStream.h"

// Music whose time passes only when told to, for rendering frames offline at
// a fixed rate: the same steps always give the same positions and spectra.
class SteppedMusicStream final : public DecodedMusicStream {
public:
    explicit SteppedMusicStream(std::shared_ptr<const DecodedMusic> music);

    void Play() override;
    double Position() override { return position; }
    void SetPosition(double seconds) override;
    // Time passes here only when told, paused or not.
    void SetPaused(bool) override {}

    // Moves the clock on by seconds, round the loop; nothing happens before
    // Play. A negative step goes back round the loop.
    void Advance(double seconds);

private:
    bool playing = false;
    double position = 0.0;
};
