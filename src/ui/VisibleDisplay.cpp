#include "ui/VisibleDisplay.h"

#include <SDL.h>

#include <string_view>

#include "core/DemoMessage.h"

VisibleDisplay::VisibleDisplay()
{
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        throw DemoMessage(FormatText("Error: %s\n", SDL_GetError()));
    }
    const char* name = SDL_GetCurrentVideoDriver();
    const std::string_view driver = name != nullptr ? name : "";
    if (driver == "offscreen" || driver == "dummy") {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        throw DemoMessage("The show needs a display: set DISPLAY or WAYLAND_DISPLAY to an X or Wayland display. "
                          "Without one, --render, --capture and --check work.");
    }
}

VisibleDisplay::~VisibleDisplay()
{
    // After the window's SDL_Quit this is nothing more to do.
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}
