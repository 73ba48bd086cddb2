#include "ui/SetupKeyboard.h"

namespace {

constexpr int controlCount = static_cast<int>(SetupControl::Multisampling) + 1;

}  // namespace

SetupKeyboard::SetupKeyboard(SetupForm& form) : form(form) {}

void SetupKeyboard::FocusOn(SetupControl control)
{
    if (Enabled(control)) {
        focus = control;
    }
}

void SetupKeyboard::SetListOpen(bool open)
{
    listOpen = open;
    if (open) {
        focus = SetupControl::Resolution;
    }
}

void SetupKeyboard::Press(DialogKey key)
{
    if (listOpen && (key == DialogKey::Enter || key == DialogKey::Escape)) {
        listOpen = false;
        return;
    }
    switch (key) {
    case DialogKey::Tab:
        listOpen = false;
        MoveFocus(1);
        break;
    case DialogKey::BackTab:
        listOpen = false;
        MoveFocus(-1);
        break;
    case DialogKey::Enter:
        if (focus == SetupControl::Cancel) {
            form.PressCancel();
        } else {
            form.PressRun();
        }
        break;
    case DialogKey::Escape: form.PressCancel(); break;
    case DialogKey::Space: Activate(focus); break;
    case DialogKey::Up: StepSelection(-1); break;
    case DialogKey::Down: StepSelection(1); break;
    }
}

bool SetupKeyboard::Enabled(SetupControl control) const
{
    return control != SetupControl::AlwaysOnTop || form.AlwaysOnTopEnabled();
}

void SetupKeyboard::MoveFocus(int step)
{
    int index = static_cast<int>(focus);
    do {
        index = (index + step + controlCount) % controlCount;
    } while (!Enabled(static_cast<SetupControl>(index)));
    focus = static_cast<SetupControl>(index);
}

void SetupKeyboard::Activate(SetupControl control)
{
    switch (control) {
    case SetupControl::Run: form.PressRun(); break;
    case SetupControl::Cancel: form.PressCancel(); break;
    case SetupControl::Resolution: break;
    case SetupControl::Fullscreen: form.SetFullscreen(!form.Fullscreen()); break;
    case SetupControl::AlwaysOnTop: form.SetAlwaysOnTop(!form.AlwaysOnTop()); break;
    case SetupControl::VerticalSync: form.SetVerticalSync(!form.VerticalSync()); break;
    case SetupControl::Multisampling: form.SetMultisampling(!form.Multisampling()); break;
    }
}

void SetupKeyboard::StepSelection(int step)
{
    if (focus != SetupControl::Resolution || form.Resolutions().Size() == 0) {
        return;
    }
    const std::optional<std::size_t> selection = form.Selection();
    if (!selection) {
        form.Select(0);
    } else if (step < 0 && *selection > 0) {
        form.Select(*selection - 1);
    } else if (step > 0) {
        form.Select(*selection + 1);  // past the last item: no change
    }
}
