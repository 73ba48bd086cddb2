#include <algorithm>

#include "core/DemoMessage.h"
#include "gfx/Guards.h"
#include "gfx/Quad.h"
#include "gfx/RenderTarget.h"
#include "support/GlTestContext.h"

namespace {

using RenderTargets = GlTest;

const Rgba red{255, 0, 0, 255};
const Rgba blue{0, 0, 255, 255};

GLint TextureParameter(GLuint texture, GLenum name)
{
    GLint value = 0;
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
    glBindTexture(GL_TEXTURE_2D, 0);
    return value;
}

GLint LevelParameter(GLuint texture, GLenum name)
{
    GLint value = 0;
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, name, &value);
    glBindTexture(GL_TEXTURE_2D, 0);
    return value;
}

// A flat quad over the window under OrthoScope, in the current colour.
void FillRows(float top, float bottom, float z)
{
    Quad band(1.0f, (bottom - top) * 0.5f);
    band.center.Set(0.0f, (top + bottom) * 0.5f, z);
    band.Draw(1.0f, 1.0f);
}

}  // namespace

TEST_F(RenderTargets, ScreenSizedTargetStartsClearedAndUnbound)
{
    glClearColor(0.2f, 0.4f, 0.6f, 1.0f);
    const RenderTarget target;
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    EXPECT_EQ(target.width, testWidth);
    EXPECT_EQ(target.height, testHeight);
    EXPECT_TRUE(BetweenEffectsState()) << "no framebuffer, texture or other projection left behind";
    const std::vector<Rgba> texels = TextureTexels(target.textureId, testWidth, testHeight);
    const Rgba cleared{51, 102, 153, 255};
    EXPECT_EQ(std::count(texels.begin(), texels.end(), cleared), static_cast<long>(texels.size()));
    // Drawing goes to the window again.
    glClear(GL_COLOR_BUFFER_BIT);
    EXPECT_EQ(ReadPixelAt(0.5, 0.5), (Rgba{0, 0, 0, 0}));
}

TEST_F(RenderTargets, SizedTargetHasItsImageFormatAndSampling)
{
    const RenderTarget target(64, 32);
    EXPECT_TRUE(BetweenEffectsState());
    EXPECT_NE(target.framebuffer, 0u);
    EXPECT_NE(target.depthBuffer, 0u);
    EXPECT_EQ(LevelParameter(target.textureId, GL_TEXTURE_WIDTH), 64);
    EXPECT_EQ(LevelParameter(target.textureId, GL_TEXTURE_HEIGHT), 32);
    EXPECT_EQ(LevelParameter(target.textureId, GL_TEXTURE_INTERNAL_FORMAT), GL_RGBA8);
    EXPECT_EQ(TextureParameter(target.textureId, GL_TEXTURE_WRAP_S), GL_REPEAT);
    EXPECT_EQ(TextureParameter(target.textureId, GL_TEXTURE_WRAP_T), GL_REPEAT);
    EXPECT_EQ(TextureParameter(target.textureId, GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    EXPECT_EQ(TextureParameter(target.textureId, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, target.depthBuffer);
    GLint depthWidth = 0;
    glGetRenderbufferParameterivEXT(GL_RENDERBUFFER_EXT, GL_RENDERBUFFER_WIDTH_EXT, &depthWidth);
    glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, 0);
    EXPECT_EQ(depthWidth, 64);
}

TEST_F(RenderTargets, ItsImageShowsFlippedUnderOrthoScope)
{
    const RenderTarget target;
    target.Bind();
    {
        const OrthoScope ortho;
        glDisable(GL_TEXTURE_2D);
        glColor4f(1.0f, 0.0f, 0.0f, 1.0f);
        FillRows(-1.0f, 0.0f, -2.0f);  // top half red
        glColor4f(0.0f, 0.0f, 1.0f, 1.0f);
        FillRows(0.0f, 1.0f, -2.0f);  // bottom half blue
        glEnable(GL_TEXTURE_2D);
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    }
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
    EXPECT_EQ(ReadPixelAt(0.5, 0.25), (Rgba{0, 0, 0, 0})) << "the window was not drawn into";
    {
        const OrthoScope ortho;
        const TextureBinding binding(target.textureId);
        FillRows(-1.0f, 1.0f, -2.0f);
    }
    EXPECT_EQ(ReadPixelAt(0.5, 0.1), blue);
    EXPECT_EQ(ReadPixelAt(0.5, 0.9), red);
    EXPECT_TRUE(BetweenEffectsState());
}

TEST_F(RenderTargets, DepthTestUsesTheTargetsOwnDepthBuffer)
{
    RenderTarget target(testWidth, testHeight);
    // The window's depth buffer holds the nearest depth everywhere, so a test
    // against it would reject every fragment.
    glClearDepth(0.0);
    glClear(GL_DEPTH_BUFFER_BIT);
    glClearDepth(1.0);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, target.framebuffer);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    {
        const OrthoScope ortho;
        const CEnabler depth(GL_DEPTH_TEST);
        glDisable(GL_TEXTURE_2D);
        glColor4f(1.0f, 0.0f, 0.0f, 1.0f);
        FillRows(-1.0f, 1.0f, -2.0f);
        glColor4f(0.0f, 0.0f, 1.0f, 1.0f);
        FillRows(-1.0f, 1.0f, -5.0f);  // behind the red one
        glEnable(GL_TEXTURE_2D);
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    }
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
    const std::vector<Rgba> texels = TextureTexels(target.textureId, testWidth, testHeight);
    EXPECT_EQ(texels[static_cast<std::size_t>(testWidth * testHeight / 2 + testWidth / 2)], red);
    glClear(GL_DEPTH_BUFFER_BIT);
    EXPECT_TRUE(BetweenEffectsState());
}

TEST_F(RenderTargets, IncompleteFramebufferStopsWithoutLeavingItBound)
{
    try {
        const RenderTarget target(0, 0);
        FAIL() << "an empty target was accepted";
    } catch (const DemoMessage& message) {
        EXPECT_EQ(message.Text(), "FBO not ready");
    }
    EXPECT_TRUE(BetweenEffectsState());
}
