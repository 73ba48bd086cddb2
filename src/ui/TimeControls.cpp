#include "ui/TimeControls.h"

void TimeControls::SetLoop(std::uint32_t from, std::uint32_t to)
{
    loopStart = from;
    loopEnd = to;
}

void TimeControls::SetPaused(bool pause, MusicStream& music)
{
    paused = pause;
    music.SetPaused(paused);
}

void TimeControls::Apply(const KeyRequests& keys, MusicStream& music)
{
    if (keys.pause) {
        paused = !paused;
        music.SetPaused(paused);
    }
    // Each seek from where the one before left the music.
    if (keys.seekForward) {
        music.SetPosition(music.Position() + 1.0);
    }
    if (keys.seekBack) {
        music.SetPosition(music.Position() - 1.0);
    }
    if (keys.seekFarForward) {
        music.SetPosition(music.Position() + 10.0);
    }
    if (keys.seekFarBack) {
        music.SetPosition(music.Position() - 10.0);
    }
    if (requestedSeek) {
        music.SetPosition(*requestedSeek);
        requestedSeek.reset();
    }
    if (keys.loopStart) {
        loopStart = MillisecondsOf(music.Position());
    }
    if (keys.loopEnd) {
        loopEnd = MillisecondsOf(music.Position());
    }
    if (keys.loopClear) {
        loopStart.reset();
        loopEnd.reset();
    }
    if (Looping() && MillisecondsOf(music.Position()) >= *loopEnd) {
        music.SetPosition(*loopStart / 1000.0);
    }
}
