#pragma once

#include <SDL.h>

#include "gfx/FrameWindow.h"

// How the window is shown besides its size and mode: what the setup dialog
// records, and whether it is shown at all.
struct WindowAttributes {
    bool verticalSync = true;
    bool multisampling = false;
    bool alwaysOnTop = false;  // a window (not full screen) kept above the others
    bool hidden = false;       // offline rendering: never shown
};

// What the viewer asked for with the keys released since the last poll.
struct KeyRequests {
    bool quit = false;          // Escape
    bool seekForward = false;   // Right: one second
    bool seekBack = false;      // Left
    bool seekFarForward = false;  // Shift+Right: ten seconds
    bool seekFarBack = false;     // Shift+Left
    bool pause = false;         // Space: pause or resume
    bool loopStart = false;     // [: the loop starts now
    bool loopEnd = false;       // ]: the loop ends now
    bool loopClear = false;     // Backspace: no loop
    bool reload = false;        // F5: the show built again from its files
    bool save = false;          // Ctrl+S: the tracks saved
};

// Sees every event of the window before the demo's keys do, and may take it.
class WindowEventFilter {
public:
    virtual ~WindowEventFilter() = default;

    // True when the event is taken and the demo must not act on it.
    virtual bool TakeEvent(const SDL_Event& event) = 0;
};

// The demo's OpenGL window and keyboard on SDL2. Keys act on release, once
// per release: Escape asks to quit, the Right and Left arrows ask to seek,
// and the rest are those of KeyRequests. The requests hold from one
// SwapAndPoll to the next.
class DemoWindow : public FrameWindow {
public:
    DemoWindow() = default;
    ~DemoWindow() override;

    DemoWindow(const DemoWindow&) = delete;
    DemoWindow& operator=(const DemoWindow&) = delete;

    // Opens a full-screen or a resizable window with a double-buffered RGBA
    // context and a 16-bit depth buffer. With multisampling it asks for as
    // many of 8, 4 or 2 samples as the display offers, without it for none;
    // vertical sync sets the swap interval to 1, else 0. Sets screenWidth and
    // screenHeight, which keep these values when the window is resized.
    // bitsPerPixel is accepted for the caller's settings: SDL2 picks the
    // depth of the desktop. Throws "Error: ...\n" when SDL cannot start.
    void Open(int width, int height, int bitsPerPixel, bool fullscreen, const WindowAttributes& attributes = {});

    // Clears the key flags, shows the frame and takes in every pending event.
    // Throws "You quit?" when the window has been closed, whatever a filter
    // does with the event.
    void SwapAndPoll() override;

    // The filter, or null for none, sees each event from the next poll on.
    void SetEventFilter(WindowEventFilter* filter) { eventFilter = filter; }

    bool QuitRequested() const { return requests.quit; }
    bool SeekForwardRequested() const { return requests.seekForward; }
    bool SeekBackRequested() const { return requests.seekBack; }
    const KeyRequests& Requests() const { return requests; }

    // Samples per pixel of the context that was opened, 0 without multisampling.
    int Multisamples() const { return multisamples; }

    SDL_Window* Window() const { return window; }
    SDL_GLContext Context() const { return context; }

    void Close();

private:
    bool TryCreate(int width, int height, Uint32 flags, int samples);
    void SetSwapInterval(int interval);

    SDL_Window* window = nullptr;
    SDL_GLContext context = nullptr;
    WindowEventFilter* eventFilter = nullptr;
    int multisamples = 0;
    KeyRequests requests;
};
