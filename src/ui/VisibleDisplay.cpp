#include "ui/VisibleDisplay.h"

#include <SDL.h>

#include <string_view>

#include "core/DemoMessage.h"

void RequireVisibleDisplay()
{
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        throw DemoMessage(FormatText("Error: %s\n", SDL_GetError()));
    }
    const char* name = SDL_GetCurrentVideoDriver();
    const std::string_view driver = name != nullptr ? name : "";
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    if (driver == "offscreen" || driver == "dummy") {
        throw DemoMessage("The show needs a display: set DISPLAY or WAYLAND_DISPLAY to an X or Wayland display. "
                          "Without one, --render, --capture and --check work.");
    }
}
