#include "app/AudioDeviceStream.h"

#include <cmath>
#include <span>

#include "core/DemoMessage.h"

namespace {

constexpr Uint16 bufferFrames = 1024;

class DeviceLock {
public:
    explicit DeviceLock(SDL_AudioDeviceID device) : device(device) { SDL_LockAudioDevice(device); }
    ~DeviceLock() { SDL_UnlockAudioDevice(device); }

    DeviceLock(const DeviceLock&) = delete;
    DeviceLock& operator=(const DeviceLock&) = delete;

private:
    SDL_AudioDeviceID device;
};

[[noreturn]] void ThrowNoDevice(const char* reason)
{
    throw DemoMessage(FormatText("No audio device (%s)", reason));
}

}  // namespace

AudioDeviceStream::AudioDeviceStream(std::shared_ptr<const DecodedMusic> music)
    : DecodedMusicStream(std::move(music)),
      clock(Music().SampleRate(), SDL_GetPerformanceFrequency())
{
    if (Music().Channels() > 255) {
        ThrowNoDevice(FormatText("%d channels", Music().Channels()).c_str());
    }
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        ThrowNoDevice(SDL_GetError());
    }

    SDL_AudioSpec wanted{};
    wanted.freq = Music().SampleRate();
    wanted.format = AUDIO_F32SYS;
    wanted.channels = static_cast<Uint8>(Music().Channels());
    wanted.samples = bufferFrames;
    wanted.callback = &AudioDeviceStream::FeedDevice;
    wanted.userdata = this;
    // No changes allowed: SDL converts to whatever the hardware wants, so the
    // callback always deals in the track's own frames.
    device = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
    if (device == 0) {
        const std::string reason = SDL_GetError();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        ThrowNoDevice(reason.c_str());
    }
}

AudioDeviceStream::~AudioDeviceStream()
{
    SDL_CloseAudioDevice(device);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void AudioDeviceStream::Play()
{
    {
        const DeviceLock lock(device);
        clock.Restart(0);
    }
    SDL_PauseAudioDevice(device, 0);
}

double AudioDeviceStream::Position()
{
    double frame;
    {
        const DeviceLock lock(device);
        frame = clock.FrameAt(SDL_GetPerformanceCounter());
    }
    return std::fmod(frame, static_cast<double>(Music().Frames())) / Music().SampleRate();
}

void AudioDeviceStream::SetPosition(double seconds)
{
    const auto frame = static_cast<std::int64_t>(std::floor(SeekTarget(seconds) * Music().SampleRate()));
    const DeviceLock lock(device);
    clock.Restart(frame);
}

void AudioDeviceStream::SetPaused(bool paused)
{
    if (paused) {
        SDL_PauseAudioDevice(device, 1);
        const DeviceLock lock(device);
        clock.Restart(static_cast<std::int64_t>(std::floor(clock.FrameAt(SDL_GetPerformanceCounter()))));
    } else {
        SDL_PauseAudioDevice(device, 0);
    }
}

void SDLCALL AudioDeviceStream::FeedDevice(void* self, Uint8* stream, int bytes)
{
    auto& music = *static_cast<AudioDeviceStream*>(self);
    const std::span<float> samples(reinterpret_cast<float*>(stream), static_cast<std::size_t>(bytes) / sizeof(float));
    const auto frames = static_cast<std::int64_t>(samples.size()) / music.Music().Channels();
    const std::int64_t first = music.clock.Take(frames, SDL_GetPerformanceCounter());
    music.Music().CopyLooped(first, samples);
}
