#include "music/SteppedMusicStream.h"

SteppedMusicStream::SteppedMusicStream(std::shared_ptr<const DecodedMusic> music)
    : DecodedMusicStream(std::move(music))
{
}

void SteppedMusicStream::Play()
{
    playing = true;
    position = 0.0;
}

void SteppedMusicStream::SetPosition(double seconds)
{
    position = SeekTarget(seconds);
}

void SteppedMusicStream::Advance(double seconds)
{
    if (playing) {
        position = Looped(position + seconds);
    }
}
