#include "app/ErrorReport.h"

#include <SDL.h>

#include <cstdlib>
#include <string_view>

#include "core/DebugOutput.h"
#include "core/DemoMessage.h"

namespace {

bool DisplayReachable()
{
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    if (driver != nullptr && (std::string_view(driver) == "offscreen" || std::string_view(driver) == "dummy")) {
        return false;
    }
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && *value != '\0') {
            return true;
        }
    }
    return false;
}

}  // namespace

void ReportFatalMessage(const std::string& text, bool showMessageBox)
{
    DebugOutput("Exception: ");
    DebugOutput(text);
    DebugOutput("\n");
    if (showMessageBox && DisplayReachable() &&
        SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, "Error", text.c_str(), nullptr) != 0) {
        // The message has been said above; the run ends as it would have.
        DebugOutput(FormatText("The message box cannot be shown: %s\n", SDL_GetError()));
    }
}
