#include "app/FrameLoop.h"

#include "core/BeatLevel.h"
#include "gfx/Gl.h"

FrameLoop::FrameLoop(const EffectList& effects, DemoWindow& window, MusicStream& music, TweakPanel* panel)
    : effects(effects), window(window), music(music), panel(panel)
{
}

void FrameLoop::Run()
{
    while (!window.QuitRequested()) {
        DrawFrame();
        window.SwapAndPoll();
    }
}

std::uint32_t FrameLoop::DrawFrame()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (liveShow != nullptr) {
        liveShow->Update(window.Requests().reload);
    }
    timeControls.Apply(window.Requests(), music);
    const std::uint32_t time = MillisecondsOf(music.Position());

    music.FillSpectrum(spectrum);
    beat = forcedBeat ? *forcedBeat : BeatLevel(spectrum);

    for (const auto& effect : effects) {
        if (effect->IsActiveAt(time)) {
            effect->Draw(time, beat);
        }
    }
    if (panel != nullptr) {
        panel->Draw(time, beat);
    }
    return time;
}

std::uint32_t MillisecondsOf(double seconds)
{
    return static_cast<std::uint32_t>(static_cast<std::int64_t>(seconds * 1000.0));
}
