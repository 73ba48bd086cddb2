#pragma once

// Throws unless windows can be seen: SDL's video must start, on a driver
// that shows them. Without an X or Wayland display SDL falls back to one
// that draws nowhere, where a dialog would wait unseen for ever.
void RequireVisibleDisplay();
