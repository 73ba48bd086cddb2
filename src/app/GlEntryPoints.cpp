#include "app/GlEntryPoints.h"

#include "core/DemoMessage.h"
#include "gfx/Gl.h"
#include "gfx/PicturePrefetch.h"

void LoadGlEntryPoints(bool offscreen)
{
    const GLenum result = glewInit();
    // Without an X display (SDL's offscreen driver) only GLEW's GLX part
    // fails; the GL entry points have been loaded by then.
    const bool usable = result == GLEW_OK || (offscreen && result == GLEW_ERROR_NO_GLX_DISPLAY);
    if (!usable) {
        throw DemoMessage(FormatText("Error: %s\n", reinterpret_cast<const char*>(glewGetErrorString(result))));
    }
    if (!GLEW_VERSION_2_0) {
        throw DemoMessage("Opengl 2.0 not supported");
    }
    GLint largestSide = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largestSide);
    if (largestSide > 0) {
        SetLargestTextureSide(largestSide);
    }
}
