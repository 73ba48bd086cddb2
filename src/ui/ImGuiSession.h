#pragma once

#include <SDL.h>

struct ImFont;
struct ImGuiContext;

// A Dear ImGui context drawing into one SDL window's OpenGL context through
// the SDL2 and OpenGL2 back ends. Text is set in DejaVu Sans where it is
// installed, else in ImGui's own font; no settings or log file is written.
// Every call expects the window's GL context to be current.
class ImGuiSession {
public:
    ImGuiSession(SDL_Window* window, SDL_GLContext context, float fontPixels);
    ~ImGuiSession();

    ImGuiSession(const ImGuiSession&) = delete;
    ImGuiSession& operator=(const ImGuiSession&) = delete;

    // The mouse, the keyboard and the window's size reach ImGui this way.
    void ProcessEvent(const SDL_Event& event);

    // Widgets are submitted between these two; EndFrame draws them.
    void BeginFrame();
    void EndFrame();

    // A text field is being edited: keys belong to it.
    bool WantsTextInput() const;

    const ImFont& Font() const { return *font; }

private:
    ImGuiContext* context;
    ImFont* font = nullptr;
};
