#pragma once

#include <SDL.h>

#include <memory>
#include <optional>

#include "ui/DisplaySettings.h"
#include "ui/ImGuiSession.h"
#include "ui/SetupForm.h"
#include "ui/SetupKeyboard.h"

// Keeps SDL's video subsystem started for as long as it lives.
class SdlVideo {
public:
    SdlVideo();  // throws "Error: ...\n" when SDL cannot start
    ~SdlVideo();

    SdlVideo(const SdlVideo&) = delete;
    SdlVideo& operator=(const SdlVideo&) = delete;
};

// The "Video setup" dialog on the screen: a small window of its own, centred
// and not resizable, showing the form with the resolutions of the primary
// display. It opens on construction; each RunFrame takes in the input and
// draws, until the form has a result. Enter, Escape and the close box act
// as the form's keyboard says; the mouse works the controls.
class SetupDialog {
public:
    // Throws "Error: ...\n" when no window can be opened.
    explicit SetupDialog(const DisplaySettings& settings);
    ~SetupDialog();

    SetupDialog(const SetupDialog&) = delete;
    SetupDialog& operator=(const SetupDialog&) = delete;

    // Takes in every pending event, then draws a frame while the form is open.
    void RunFrame();

    // Returns when input arrives, or after a short while, so that an idle
    // dialog does not keep a core busy.
    void WaitForInput() const;

    const SetupForm& Form() const { return form; }
    const SetupKeyboard& Keyboard() const { return keyboard; }
    SDL_Window* Window() const { return window.get(); }

private:
    struct WindowCloser {
        void operator()(SDL_Window* window) const { SDL_DestroyWindow(window); }
    };
    struct ContextDeleter {
        void operator()(void* context) const { SDL_GL_DeleteContext(context); }
    };

    void HandleEvent(const SDL_Event& event);
    void HandleKey(const SDL_KeyboardEvent& key);
    void Draw();
    void DrawResolutionList();

    SdlVideo video;
    SetupForm form;
    SetupKeyboard keyboard{form};
    std::unique_ptr<SDL_Window, WindowCloser> window;
    std::unique_ptr<void, ContextDeleter> glContext;
    std::optional<ImGuiSession> session;
    float unitX = 1.0f;  // pixels per dialog unit, from the font as on the desktop
    float unitY = 1.0f;
    bool listWasOpen = false;
    std::optional<std::size_t> shownSelection;
};

// Shows the dialog until Run or Cancel. Returns 1 after Run, with the
// settings filled in; 0 after Cancel, Escape or the close box, with the
// settings unchanged; -1, with the settings unchanged, when the dialog
// cannot be shown (the reason goes to the debug output).
int RunSetupDialog(DisplaySettings& settings);
