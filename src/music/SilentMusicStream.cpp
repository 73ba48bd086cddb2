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
    if (!playing || paused) {
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

void SilentMusicStream::SetPaused(bool pause)
{
    if (pause == paused) {
        return;
    }
    origin = Position();
    originTime = Clock::now();
    paused = pause;
}
