#pragma once

#include <SDL.h>

// Key events as the window would receive them from the viewer.
inline void PushKey(Uint32 type, SDL_Keycode key, Uint16 modifiers = KMOD_NONE)
{
    SDL_Event event{};
    event.type = type;
    event.key.state = type == SDL_KEYUP ? SDL_RELEASED : SDL_PRESSED;
    event.key.keysym.sym = key;
    event.key.keysym.mod = modifiers;
    SDL_PushEvent(&event);
}

inline void Release(SDL_Keycode key, Uint16 modifiers = KMOD_NONE)
{
    PushKey(SDL_KEYUP, key, modifiers);
}

inline void Press(SDL_Keycode key)
{
    PushKey(SDL_KEYDOWN, key);
}
