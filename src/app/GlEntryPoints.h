#pragma once

// Loads the OpenGL entry points for the window's context just made current.
// offscreen: the window may be SDL's offscreen one, without an X display.
// Throws when they cannot be loaded, or the driver lacks OpenGL 2.0.
void LoadGlEntryPoints(bool offscreen);
