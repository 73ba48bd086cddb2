#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "script/EffectList.h"
#include "script/TweakTracks.h"
#include "sync/ShowSync.h"
#include "ui/DemoWindow.h"
#include "ui/ImGuiSession.h"
#include "ui/TimeControls.h"

// The live tweak panel over the running show, drawn with Dear ImGui in the
// demo's window. Releasing F1 shows or hides it. It lists the effects active
// at the frame's time with the variables in their tweak sections, which can
// be edited there (an edit acts from the next frame), and shows the music
// time, the beat level as a bar, the frame time and, when given, a timeline
// of the script's entries on which a click seeks. With tracks, each value
// shows whether its tracks have keys, and a selected value can be keyed at
// the current row, its keys deleted, their interpolation chosen and the time
// moved from key to key; its keys and the row grid show on the timeline.
// While a text field is edited, keys go to the panel rather than to the
// show. Notices, when given and not empty, are shown in boxes over the show
// whether the panel is shown or not.
class TweakPanel : public WindowEventFilter {
public:
    // Takes the window's events from then on. The effects and the window
    // must outlive the panel; the effects' sections come from elsewhere.
    TweakPanel(DemoWindow& window, const EffectList& effects);
    ~TweakPanel() override;

    TweakPanel(const TweakPanel&) = delete;
    TweakPanel& operator=(const TweakPanel&) = delete;

    bool TakeEvent(const SDL_Event& event) override;

    // Drawn after all effects of the frame, with the GL state saved and
    // restored around it; while hidden it does nothing at all.
    void Draw(std::uint32_t time, float beat);

    bool Visible() const { return visible; }

    // The timeline spans the music's length; seeks go to controls.
    void ShowTimeline(TimeControls& controls, double musicSeconds);
    // The text to show over the show while it is not empty: why the show
    // was not rebuilt.
    void ShowNotice(const std::string& text) { notice = &text; }
    // The text to show while it is not empty: where the show holds at its end.
    void ShowEndNote(const std::string& text) { endNote = &text; }

    // The run's tracks, and the bindings of the effects' values to them,
    // which are made afresh around changes to the effect list. Both must
    // outlive the panel.
    void EditTracks(ShowSync& sync, const std::optional<TweakTracks>& tweaks);

    // Ends the panel for good: the window's events are left alone and ImGui
    // shuts down. Later calls do nothing.
    void Terminate();

private:
    void DrawSection(const Effekt& effect, double row);
    void DrawKeyButton(const TweakVariable& variable, std::span<SyncTrack* const> tracks, int row);
    void DrawKeyControls(const TweakVariable& variable, std::span<SyncTrack* const> tracks, int row);
    void DrawTracksLine(double row);
    void DrawTempo(int keyRow);
    void DrawTimeline(std::uint32_t time);
    void DrawTimelineTracks(float left, float top, float bottom);
    void DrawPatternStarts(const ModuleRows& rows, const std::function<float(double)>& xOf, float top, float bottom) const;
    void DrawNotices();
    void SeekToRow(int row);

    DemoWindow& window;
    const EffectList& effects;
    TimeControls* timeControls = nullptr;
    double musicSeconds = 0.0;
    const std::string* notice = nullptr;
    const std::string* endNote = nullptr;
    ShowSync* sync = nullptr;
    const std::optional<TweakTracks>* tweaks = nullptr;
    // The value whose keys are edited: its track name, and its tracks,
    // which stay while the run does.
    std::string selectedName;
    std::vector<SyncTrack*> selectedTracks;
    bool showGrid = true;
    std::optional<ImGuiSession> session;
    bool visible = false;
};
