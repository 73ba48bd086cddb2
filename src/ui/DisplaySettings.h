#pragma once

// What the viewer chose for the display before the show starts.
struct DisplaySettings {
    int width = 1024;
    int height = 768;
    int bitsPerPixel = 32;
    bool windowed = false;
    bool verticalSync = true;
    bool multisampling = false;
    bool alwaysOnTop = false;
};
