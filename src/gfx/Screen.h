#pragma once

// The window size in pixels, set once when the display window opens and read
// by the projection helpers, render targets and effects. Resizing the window
// later does not change them.
extern int screenWidth;
extern int screenHeight;
