#pragma once

#include <SDL.h>

#include "gfx/FrameWindow.h"

// The demo's OpenGL window and keyboard on SDL2. Keys act on release, once
// per release: Escape asks to quit, the Right and Left arrows ask to seek.
// The flags hold from one SwapAndPoll to the next.
class DemoWindow : public FrameWindow {
public:
    DemoWindow() = default;
    ~DemoWindow() override;

    DemoWindow(const DemoWindow&) = delete;
    DemoWindow& operator=(const DemoWindow&) = delete;

    // Opens a full-screen or a resizable window with a double-buffered RGBA
    // context, a 16-bit depth buffer and vertical sync, multisampled with as
    // many of 8, 4 or 2 samples as the display offers. Sets screenWidth and
    // screenHeight, which keep these values when the window is resized.
    // bitsPerPixel is accepted for the caller's settings: SDL2 picks the
    // depth of the desktop. A hidden window (offline rendering) is never
    // shown. Throws "Error: ...\n" when SDL cannot start.
    void Open(int width, int height, int bitsPerPixel, bool fullscreen, bool hidden = false);

    // Clears the key flags, shows the frame and takes in every pending event.
    // Throws "You quit?" when the window has been closed.
    void SwapAndPoll() override;

    bool QuitRequested() const { return quitRequested; }
    bool SeekForwardRequested() const { return seekForward; }
    bool SeekBackRequested() const { return seekBack; }

    // Samples per pixel of the context that was opened, 0 without multisampling.
    int Multisamples() const { return multisamples; }

    void Close();

private:
    bool TryCreate(int width, int height, Uint32 flags, int samples);

    SDL_Window* window = nullptr;
    SDL_GLContext context = nullptr;
    int multisamples = 0;
    bool quitRequested = false;
    bool seekForward = false;
    bool seekBack = false;
};
