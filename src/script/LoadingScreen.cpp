#include "script/LoadingScreen.h"

#include "gfx/Guards.h"
#include "gfx/Quad.h"

LoadingScreen::LoadingScreen(FrameWindow& window, int total)
    : window(window), texture(pictureFile), total(total)
{
}

float LoadingScreen::CentreHeight() const
{
    const float remaining = total == 0 ? 1.0f : static_cast<float>(1.0 - static_cast<double>(count) / static_cast<double>(total));
    return static_cast<float>(0.5 - static_cast<double>(remaining));
}

void LoadingScreen::Step()
{
    glClear(GL_COLOR_BUFFER_BIT);
    const float height = CentreHeight();
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    const MatrixScope matrix;
    const TextureBinding binding(texture.textureId);
    glTranslatef(0.0f, height, -2.0f);
    // The negative v shows the picture upright under the y-up perspective.
    Quad(1.0f, 1.2f).Draw(1.0f, -1.0f);
    window.SwapAndPoll();
    ++count;
}
