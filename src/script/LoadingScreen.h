#pragma once

#include "gfx/FrameWindow.h"
#include "gfx/Texture.h"

// The picture that slides up the screen by one step per script entry while
// the effects load. Drawn under the screen perspective with texturing on.
class LoadingScreen {
public:
    static constexpr const char* pictureFile = "data/overlay/loader.jpg";

    LoadingScreen(FrameWindow& window, int total);

    // Draws and shows one progress frame, then counts it.
    void Step();

    // Height of the picture's centre in the next frame: -0.5 in the first,
    // rising by 1 / total each frame. With no entries announced (total 0)
    // every frame shows the first position.
    float CentreHeight() const;

private:
    FrameWindow& window;
    CTextureFreeImage texture;
    int total;
    int count = 0;
};
