#include "gfx/RenderTarget.h"

#include "core/DemoMessage.h"
#include "gfx/Guards.h"
#include "gfx/Screen.h"

RenderTarget::RenderTarget(int width, int height) : width(width), height(height)
{
    CreateDepthBuffer();
    CreateColourTexture();
    CreateFramebuffer();
    AttachDepthBuffer();
    RequireComplete();
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
}

RenderTarget::RenderTarget() : width(screenWidth), height(screenHeight)
{
    CreateColourTexture();
    CreateFramebuffer();
    CreateDepthBuffer();
    AttachDepthBuffer();
    RequireComplete();
    Bind();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
}

RenderTarget::~RenderTarget()
{
    Release();
}

void RenderTarget::Bind() const
{
    const ViewportScope viewport(width, height);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, framebuffer);
}

void RenderTarget::CreateDepthBuffer()
{
    glGenRenderbuffersEXT(1, &depthBuffer);
    glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, depthBuffer);
    glRenderbufferStorageEXT(GL_RENDERBUFFER_EXT, GL_DEPTH_COMPONENT, width, height);
    glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, 0);
}

void RenderTarget::CreateColourTexture()
{
    glGenTextures(1, &textureId);
    const TextureBinding binding(textureId);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
}

void RenderTarget::CreateFramebuffer()
{
    glGenFramebuffersEXT(1, &framebuffer);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, framebuffer);
    glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_TEXTURE_2D, textureId, 0);
}

void RenderTarget::AttachDepthBuffer()
{
    glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_RENDERBUFFER_EXT, depthBuffer);
}

void RenderTarget::RequireComplete()
{
    if (glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT) == GL_FRAMEBUFFER_COMPLETE_EXT) {
        return;
    }
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
    Release();
    throw DemoMessage("FBO not ready");
}

void RenderTarget::Release()
{
    glDeleteFramebuffersEXT(1, &framebuffer);
    glDeleteRenderbuffersEXT(1, &depthBuffer);
    glDeleteTextures(1, &textureId);
    framebuffer = 0;
    depthBuffer = 0;
    textureId = 0;
}
