#include "music/SilentMusicStream.h"

SilentMusicStream::SilentMusicStream(std::shared_ptr<const DecodedMusic> music)
    : DecodedMusicStream(std::move(music))
{
}

void SilentMusicStream::Play()
{
    playing = true;
    origin = 0.0;
    originTime = Clock::now();
}

double SilentMusicStream::Position()
{
    if (!playing) {
        return origin;
    }
    const std::chrono::duration<double> elapsed = Clock::now() - originTime;
    return Looped(origin + elapsed.count());
}

void SilentMusicStream::SetPosition(double seconds)
{
    origin = SeekTarget(seconds);
    originTime = Clock::now();
}
