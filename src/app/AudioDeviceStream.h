#pragma once

#include <SDL.h>

#include <memory>

#include "music/DecodedMusicStream.h"
#include "music/PlaybackClock.h"

// Decoded music played in a loop through the default SDL audio device, at
// the track's own sample rate and channel count. The position follows the
// frames the device has taken, smoothed between its callbacks by the
// high-resolution timer.
class AudioDeviceStream final : public DecodedMusicStream {
public:
    // Starts SDL's audio and opens the device, paused. Throws
    // "No audio device (<SDL's reason>)" when either fails.
    explicit AudioDeviceStream(std::shared_ptr<const DecodedMusic> music);
    ~AudioDeviceStream() override;

    AudioDeviceStream(const AudioDeviceStream&) = delete;
    AudioDeviceStream& operator=(const AudioDeviceStream&) = delete;

    void Play() override;
    double Position() override;  // stands at 0 until Play
    void SetPosition(double seconds) override;
    // The device stops taking samples; the clock waits where it was.
    void SetPaused(bool paused) override;

private:
    static void SDLCALL FeedDevice(void* self, Uint8* stream, int bytes);

    // Shared with the device's callback thread: only touched while the
    // device is locked, which SDL also holds around every callback.
    PlaybackClock clock;
    SDL_AudioDeviceID device = 0;
};
