#include "app/FrameLoop.h"

#include "app/MemoryReuse.h"
#include "core/BeatLevel.h"
#include "core/DemoMessage.h"
#include "gfx/Gl.h"
#include "script/EndDemo.h"

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
    if (liveShow != nullptr && liveShow->Update(window.Requests().reload)) {
        ReturnFreedMemory();
    }
    if (sync != nullptr) {
        TakeTrackRequests();
    }
    timeControls.Apply(window.Requests(), music);
    std::uint32_t time = MillisecondsOf(music.Position());
    if (holdAtTheEnd) {
        time = HeldBeforeTheEnd(time);
    }

    music.FillSpectrum(spectrum);
    beat = forcedBeat ? *forcedBeat : BeatLevel(spectrum);

    if (sync != nullptr) {
        const double row = sync->Tracks().RowAt(time);
        sync->TellRow(row);
        if (tweakTracks) {
            tweakTracks->Apply(row);
        }
    }

    if (shaderInputs != nullptr) {
        shaderInputs->BeginFrame({.time = time, .frameSeconds = FrameSeconds(), .frame = framesDrawn});
    }
    for (const auto& effect : effects) {
        if (effect->IsActiveAt(time)) {
            effect->Draw(time, beat);
        }
    }
    if (shaderInputs != nullptr) {
        shaderInputs->EndFrame();
    }
    ++framesDrawn;
    if (panel != nullptr) {
        panel->Draw(time, beat);
    }
    return time;
}

void FrameLoop::SetSync(ShowSync* showSync)
{
    sync = showSync;
    tweakTracks.reset();
    BindTracks();
}

void FrameLoop::BindTracks()
{
    if (sync != nullptr) {
        tweakTracks.emplace(effects, sync->Tracks());
    }
}

void FrameLoop::TakeTrackRequests()
{
    if (window.Requests().save) {
        sync->Save();
    }
    const EditorRequests requests = sync->Poll(std::chrono::steady_clock::now());
    if (requests.row) {
        timeControls.RequestSeek(sync->SeekSeconds(*requests.row));
    }
    if (requests.pause) {
        timeControls.SetPaused(*requests.pause, music);
    }
}

std::uint32_t FrameLoop::HeldBeforeTheEnd(std::uint32_t time)
{
    for (const auto& effect : effects) {
        if (effect->IsActiveAt(time) && dynamic_cast<const Effekter::EndDemo*>(effect.get()) != nullptr) {
            const std::uint32_t start = effect->startTime;
            // Half a millisecond in, so that the clock read back gives the start.
            music.SetPosition((start + 0.5) / 1000.0);
            timeControls.SetPaused(true, music);
            endNote = FormatText("The show ends here, at %u ms (EndDemo): it holds while you edit. Space, the arrows, "
                                 "the timeline or a loop go on; Escape ends.",
                                 static_cast<unsigned>(start));
            heldAt = start;
            return start;
        }
    }
    if (!endNote.empty() && time != heldAt) {
        endNote.clear();  // moved away from the end
    }
    return time;
}

double FrameLoop::FrameSeconds()
{
    if (frameStep) {
        return *frameStep;
    }
    const auto now = std::chrono::steady_clock::now();
    const double seconds = lastFrame ? std::chrono::duration<double>(now - *lastFrame).count() : 0.0;
    lastFrame = now;
    return seconds;
}
