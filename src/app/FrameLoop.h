#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include "gfx/ShaderInputs.h"
#include "music/MusicStream.h"
#include "script/EffectList.h"
#include "script/TweakTracks.h"
#include "sync/ShowSync.h"
#include "ui/DemoWindow.h"
#include "ui/TimeControls.h"
#include "ui/TweakPanel.h"
#include "watch/LiveShow.h"

// What frames read besides the music and the effects: the tracks and the
// inputs of the authors' shaders; null for none. They must outlive the loop.
struct FrameSources {
    ShowSync* sync = nullptr;
    ShaderInputs* shaderInputs = nullptr;
};

// One pass per frame, as fast as buffer swaps return: the music position is
// the clock (moved by the viewer's keys: seeks, pause, a loop), its spectrum
// gives the beat level, and every effect whose window holds the time draws,
// in script order, then the tweak panel when there is one. With tracks,
// every keyed value takes its track's value at the frame's row before the
// effects draw, and a connected editor is heard and told the row. Nothing
// is allocated per frame while the panel is hidden, no file changes and
// nothing arrives from an editor.
class FrameLoop {
public:
    FrameLoop(const EffectList& effects, DemoWindow& window, MusicStream& music, TweakPanel* panel = nullptr);

    // Runs until Escape is released; a thrown message leaves it too.
    void Run();

    // Clears the frame, rebuilds what changed, applies the time keys of the
    // last poll, reads the clock and the beat and draws the active effects and the panel; the
    // frame is not shown yet. Returns the frame's time in milliseconds.
    std::uint32_t DrawFrame();

    // The beat level used instead of the spectrum's (offline rendering).
    void ForceBeat(float beat) { forcedBeat = beat; }

    // Rebuilds the show from its files when asked (F5) or, watching, when
    // they change; null for none.
    void SetLiveShow(LiveShow* live) { liveShow = live; }

    // The tracks that drive the effects' values, and Ctrl+S saves; null for
    // none. The tracks must outlive the loop.
    void SetSync(ShowSync* sync);
    // Told of every frame, for the authors' shaders that read it; null for
    // none. They must outlive the loop.
    void SetShaderInputs(ShaderInputs* inputs) { shaderInputs = inputs; }
    void Use(const FrameSources& sources)
    {
        SetSync(sources.sync);
        SetShaderInputs(sources.shaderInputs);
    }
    // Offline, each frame follows the one before by this much; playing, the
    // time between frames is measured.
    void SetFrameStep(double seconds) { frameStep = seconds; }
    // Around a change to the effect list: the effects' values let go of
    // their tracks before, and are bound again after.
    void ReleaseTracks() { tweakTracks.reset(); }
    void BindTracks();
    // The values bound to tracks, while there are tracks.
    const std::optional<TweakTracks>& Tweaks() const { return tweakTracks; }

    // Editing (--watch), reaching an EndDemo window holds the show paused at
    // its start, with a note, instead of ending the run.
    void HoldAtTheEnd() { holdAtTheEnd = true; }
    // The note while the show is held there, else empty.
    const std::string& EndNote() const { return endNote; }

    TimeControls& Time() { return timeControls; }

    float LastBeat() const { return beat; }

private:
    // Ctrl+S saves the tracks; an editor's seeks and pauses go to the time
    // controls.
    void TakeTrackRequests();
    // Seconds since the frame before.
    double FrameSeconds();
    // The frame's time, or the start of the EndDemo window it lies in, where
    // the show is then held.
    std::uint32_t HeldBeforeTheEnd(std::uint32_t time);

    const EffectList& effects;
    DemoWindow& window;
    MusicStream& music;
    TweakPanel* panel;
    LiveShow* liveShow = nullptr;
    ShowSync* sync = nullptr;
    std::optional<TweakTracks> tweakTracks;
    ShaderInputs* shaderInputs = nullptr;
    std::optional<double> frameStep;
    std::optional<std::chrono::steady_clock::time_point> lastFrame;
    long framesDrawn = 0;
    bool holdAtTheEnd = false;
    std::string endNote;
    std::uint32_t heldAt = 0;
    TimeControls timeControls;
    std::array<float, spectrumBins> spectrum{};
    std::optional<float> forcedBeat;
    float beat = 0.0f;
};
