#include "ui/DemoWindow.h"

#include <span>

#include "core/DebugOutput.h"
#include "core/DemoMessage.h"
#include "gfx/Screen.h"

namespace {

[[noreturn]] void ThrowSdlError()
{
    throw DemoMessage(FormatText("Error: %s\n", SDL_GetError()));
}

}  // namespace

DemoWindow::~DemoWindow()
{
    Close();
}

void DemoWindow::Open(int width, int height, int /*bitsPerPixel*/, bool fullscreen, const WindowAttributes& attributes)
{
    requests = {};
    screenWidth = width;
    screenHeight = height;

    // Audio is left to the music player, which copes with a machine that
    // has no sound card; a failing audio start must not keep the window shut.
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER | SDL_INIT_EVENTS) != 0) {
        ThrowSdlError();
    }

    Uint32 flags = SDL_WINDOW_OPENGL | (fullscreen ? SDL_WINDOW_FULLSCREEN : SDL_WINDOW_RESIZABLE);
    if (attributes.alwaysOnTop && !fullscreen) {
        flags |= SDL_WINDOW_ALWAYS_ON_TOP;
    }
    if (attributes.hidden) {
        flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
    }
    // Not every display offers an 8-sample visual (Xvfb has none): step down.
    static constexpr int withMultisampling[] = {8, 4, 2, 0};
    static constexpr int withoutMultisampling[] = {0};
    const std::span<const int> sampleCounts =
        attributes.multisampling ? std::span<const int>(withMultisampling) : std::span<const int>(withoutMultisampling);
    for (const int samples : sampleCounts) {
        if (TryCreate(width, height, flags, samples)) {
            multisamples = samples;
            DebugOutput(samples > 0 ? FormatText("Window opened with %d-sample multisampling\n", samples)
                                    : std::string("Window opened without multisampling\n"));
            SetSwapInterval(attributes.verticalSync ? 1 : 0);
            return;
        }
    }
    ThrowSdlError();
}

void DemoWindow::SetSwapInterval(int interval)
{
    // Some drivers (Xvfb's GLX) offer no swap control; the show runs with
    // whatever the driver does.
    if (SDL_GL_SetSwapInterval(interval) != 0) {
        DebugOutput(FormatText("Unable to set the swap interval to %d: %s\n", interval, SDL_GetError()));
    }
}

bool DemoWindow::TryCreate(int width, int height, Uint32 flags, int samples)
{
    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_MULTISAMPLEBUFFERS, samples > 0 ? 1 : 0);
    SDL_GL_SetAttribute(SDL_GL_MULTISAMPLESAMPLES, samples);

    window = SDL_CreateWindow("", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height, flags);
    if (window == nullptr) {
        return false;
    }
    context = SDL_GL_CreateContext(window);
    if (context == nullptr) {
        SDL_DestroyWindow(window);
        window = nullptr;
        return false;
    }
    return true;
}

void DemoWindow::SwapAndPoll()
{
    requests = {};
    SDL_GL_SwapWindow(window);

    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        if (event.type == SDL_QUIT) {
            throw DemoMessage::Ending("You quit?");
        }
        if (eventFilter != nullptr && eventFilter->TakeEvent(event)) {
            continue;
        }
        if (event.type == SDL_KEYUP) {
            const bool shift = (event.key.keysym.mod & KMOD_SHIFT) != 0;
            switch (event.key.keysym.sym) {
            case SDLK_ESCAPE: requests.quit = true; break;
            case SDLK_RIGHT: (shift ? requests.seekFarForward : requests.seekForward) = true; break;
            case SDLK_LEFT: (shift ? requests.seekFarBack : requests.seekBack) = true; break;
            case SDLK_SPACE: requests.pause = true; break;
            case SDLK_LEFTBRACKET: requests.loopStart = true; break;
            case SDLK_RIGHTBRACKET: requests.loopEnd = true; break;
            case SDLK_BACKSPACE: requests.loopClear = true; break;
            case SDLK_F5: requests.reload = true; break;
            case SDLK_s: requests.save = requests.save || (event.key.keysym.mod & KMOD_CTRL) != 0; break;
            default: break;
            }
        }
    }
}

void DemoWindow::Close()
{
    if (context != nullptr) {
        SDL_GL_DeleteContext(context);
        context = nullptr;
    }
    if (window != nullptr) {
        SDL_DestroyWindow(window);
        window = nullptr;
    }
    SDL_Quit();
}
