#pragma once

#include "ui/SetupForm.h"

// The form's controls in tab order.
enum class SetupControl { Run, Cancel, Resolution, Fullscreen, AlwaysOnTop, VerticalSync, Multisampling };

enum class DialogKey { Tab, BackTab, Enter, Escape, Space, Up, Down };

// The keyboard on the setup form, as in a desktop dialog. Tab and Shift+Tab
// move the focus through the enabled controls in tab order, starting at
// Run. Space presses the focused button or toggles the focused check box.
// Up and Down step through the resolutions while the list has the focus.
// Enter presses the focused button, elsewhere Run, the default button.
// Escape cancels. While the drop-down list is open, Enter and Escape only
// close it.
class SetupKeyboard {
public:
    explicit SetupKeyboard(SetupForm& form);

    SetupControl Focus() const { return focus; }
    // Where a click lands; a disabled control takes no focus.
    void FocusOn(SetupControl control);

    void Press(DialogKey key);

    // The drop-down list is opened with the mouse; keys can close it.
    bool ListOpen() const { return listOpen; }
    void SetListOpen(bool open);

private:
    bool Enabled(SetupControl control) const;
    void MoveFocus(int step);
    void Activate(SetupControl control);
    void StepSelection(int step);

    SetupForm& form;
    SetupControl focus = SetupControl::Run;
    bool listOpen = false;
};
