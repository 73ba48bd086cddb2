#pragma once

// SDL's video, started for the whole of a run that shows windows, on a
// driver that shows them. Without an X or Wayland display SDL falls back to
// one that draws nowhere, where a dialog would wait unseen for ever: the
// constructor throws instead. Held while the dialog and the window come
// and go, so that SDL's video is started once.
class VisibleDisplay {
public:
    VisibleDisplay();
    ~VisibleDisplay();
    VisibleDisplay(const VisibleDisplay&) = delete;
    VisibleDisplay& operator=(const VisibleDisplay&) = delete;
};
