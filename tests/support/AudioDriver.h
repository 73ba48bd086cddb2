#pragma once

#include <optional>
#include <string>

// Chooses SDL's audio driver through SDL_AUDIODRIVER for the lifetime of the
// object and restores the previous setting afterwards. SDL reads the
// variable whenever its audio starts.
class AudioDriver {
public:
    explicit AudioDriver(const std::string& name);
    ~AudioDriver();

    AudioDriver(const AudioDriver&) = delete;
    AudioDriver& operator=(const AudioDriver&) = delete;

private:
    std::optional<std::string> previous;
};

// SDL's dummy driver takes samples in real time and plays nothing, so tests
// never sound through real speakers whatever the environment says.
class DummyAudioDriver : public AudioDriver {
public:
    DummyAudioDriver() : AudioDriver("dummy") {}
};
