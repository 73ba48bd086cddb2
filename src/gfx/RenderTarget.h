#pragma once

#include "gfx/Gl.h"

// An off-screen image to draw into: a framebuffer object with an RGBA8
// colour texture (repeating, linear, no mipmaps) and a depth renderbuffer of
// the same size. Bind it to draw into it; unbinding is
// glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0), done by the drawing effect.
// Row 0 of the texture is the bottom of what was drawn.
class RenderTarget {
public:
    // A target of the given size. Throws "FBO not ready" when the driver
    // cannot complete the framebuffer. Leaves no framebuffer bound.
    RenderTarget(int width, int height);

    // A target of the window's size, cleared with the current clear colour.
    RenderTarget();

    ~RenderTarget();

    RenderTarget(const RenderTarget&) = delete;
    RenderTarget& operator=(const RenderTarget&) = delete;

    // Makes the target the drawing destination, with the window's viewport
    // and the screen perspective.
    void Bind() const;

    GLuint textureId = 0;
    int width;
    int height;
    GLuint framebuffer = 0;
    GLuint depthBuffer = 0;

private:
    void CreateDepthBuffer();
    void CreateColourTexture();
    void CreateFramebuffer();
    void AttachDepthBuffer();
    // Unbinds and releases everything before throwing, so a failed target
    // leaves neither a framebuffer bound nor GL objects behind.
    void RequireComplete();
    void Release();
};
