#pragma once

#include <cstddef>
#include <optional>

#include "ui/DisplaySettings.h"
#include "ui/ResolutionList.h"

// The state of the "Video setup" form and its rules, apart from any
// drawing: the resolution choice, the four check boxes, and how Run and
// Cancel end it.
class SetupForm {
public:
    enum class Result { Open, Run, Cancel };

    // Selects the last entry equal to the settings' size, if any. Fullscreen
    // is checked for a full-screen setting, and then Always on top is
    // disabled; Always on top starts unchecked whatever the settings hold.
    SetupForm(const DisplaySettings& settings, ResolutionList resolutions);

    const ResolutionList& Resolutions() const { return resolutions; }
    std::optional<std::size_t> Selection() const { return selection; }
    // An item outside the list changes nothing.
    void Select(std::size_t item);

    bool Fullscreen() const { return fullscreen; }
    // Checking Fullscreen unchecks and disables Always on top; unchecking
    // enables it again, leaving it unchecked.
    void SetFullscreen(bool checked);

    bool AlwaysOnTop() const { return alwaysOnTop; }
    bool AlwaysOnTopEnabled() const { return !fullscreen; }
    // Ignored while the box is disabled.
    void SetAlwaysOnTop(bool checked);

    bool VerticalSync() const { return verticalSync; }
    void SetVerticalSync(bool checked) { verticalSync = checked; }

    bool Multisampling() const { return multisampling; }
    void SetMultisampling(bool checked) { multisampling = checked; }

    void PressRun() { result = Result::Run; }
    void PressCancel() { result = Result::Cancel; }
    Result GetResult() const { return result; }

    // What Run writes: the selected size (the settings' own while nothing is
    // selected), windowed for an unchecked Fullscreen, and the three options.
    void ApplyTo(DisplaySettings& settings) const;

private:
    ResolutionList resolutions;
    std::optional<std::size_t> selection;
    bool fullscreen;
    bool alwaysOnTop = false;
    bool verticalSync;
    bool multisampling;
    Result result = Result::Open;
};
