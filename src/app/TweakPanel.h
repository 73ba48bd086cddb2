#pragma once

#include <cstdint>
#include <optional>

#include "app/DemoWindow.h"
#include "app/ImGuiSession.h"
#include "app/TimeControls.h"
#include "script/EffectList.h"
#include "script/TweakSections.h"

// The live tweak panel over the running show, drawn with Dear ImGui in the
// demo's window. Releasing F1 shows or hides it. It lists the effects active
// at the frame's time with the variables their RegisterTweaks bound, which
// can be edited there (an edit acts from the next frame), and shows the music
// time, the beat level as a bar, the frame time and, when given, a timeline
// of the script's entries on which a click seeks. While a text field is
// edited, keys go to the panel rather than to the show. A notice, when given
// and not empty, is shown in a box over the show whether the panel is shown
// or not.
class TweakPanel : public WindowEventFilter {
public:
    // Gives every effect its section and calls its RegisterTweaks, and takes
    // the window's events from then on. The effects and the window must
    // outlive the panel.
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
    // The text to show over the show while it is not empty.
    void ShowNotice(const std::string& text) { notice = &text; }

    // Around a change to the effect list: the effects lose their sections
    // before, and get new ones after.
    void LetGoOfEffects();
    void TakeUpEffects();

    // Ends the panel for good: the effects lose their sections, the window's
    // events are left alone and ImGui shuts down. Later calls do nothing.
    void Terminate();

private:
    void DrawSection(const Effekt& effect);
    void DrawTimeline(std::uint32_t time);
    void DrawNotice();

    DemoWindow& window;
    const EffectList& effects;
    std::optional<TweakSections> sections;
    TimeControls* timeControls = nullptr;
    double musicSeconds = 0.0;
    const std::string* notice = nullptr;
    std::optional<ImGuiSession> session;
    bool visible = false;
};
