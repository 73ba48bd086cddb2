#include <stdexcept>

#include "gfx/Guards.h"
#include "gfx/Texture.h"
#include "support/GlTestContext.h"

namespace {

using Guards = GlTest;

GLfloat FogValue(GLenum name)
{
    GLfloat value = 0.0f;
    glGetFloatv(name, &value);
    return value;
}

GLint BlendFactor(GLenum name)
{
    GLint value = 0;
    glGetIntegerv(name, &value);
    return value;
}

}  // namespace

TEST_F(Guards, EnablerSwitchesItsCapabilityOnThenOff)
{
    for (const GLenum cap : {GL_DEPTH_TEST, GL_CULL_FACE, GL_SCISSOR_TEST, GL_TEXTURE_GEN_S, GL_TEXTURE_GEN_T}) {
        {
            const CEnabler enabler(cap);
            EXPECT_EQ(enabler.cap, cap);
            EXPECT_TRUE(glIsEnabled(cap));
        }
        EXPECT_FALSE(glIsEnabled(cap));
    }
    EXPECT_TRUE(BetweenEffectsState());
}

TEST_F(Guards, TransparencySetsTheBlendFunctionAndLeavesIt)
{
    {
        const CTransparency transparency(GL_ZERO, GL_ONE_MINUS_SRC_COLOR);
        EXPECT_TRUE(glIsEnabled(GL_BLEND));
        EXPECT_EQ(transparency.cap, static_cast<GLenum>(GL_BLEND));
        EXPECT_EQ(BlendFactor(GL_BLEND_SRC), GL_ZERO);
        EXPECT_EQ(BlendFactor(GL_BLEND_DST), GL_ONE_MINUS_SRC_COLOR);
    }
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(BlendFactor(GL_BLEND_DST), GL_ONE_MINUS_SRC_COLOR);
}

TEST_F(Guards, FogIsLinearAndBlack)
{
    {
        const CFog fog(2.5f, 40.0f);
        EXPECT_TRUE(glIsEnabled(GL_FOG));
        GLint mode = 0;
        glGetIntegerv(GL_FOG_MODE, &mode);
        EXPECT_EQ(mode, GL_LINEAR);
        EXPECT_FLOAT_EQ(FogValue(GL_FOG_START), 2.5f);
        EXPECT_FLOAT_EQ(FogValue(GL_FOG_END), 40.0f);
        GLfloat colour[4] = {1, 1, 1, 1};
        glGetFloatv(GL_FOG_COLOR, colour);
        EXPECT_EQ(colour[0] + colour[1] + colour[2] + colour[3], 0.0f);
    }
    EXPECT_TRUE(BetweenEffectsState());
}

TEST_F(Guards, FogHidesGeometryBeyondItsEnd)
{
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    {
        const CFog fog(0.0f, 1.0f);
        glBegin(GL_QUADS);
        glVertex3f(-10.0f, -10.0f, -5.0f);
        glVertex3f(10.0f, -10.0f, -5.0f);
        glVertex3f(10.0f, 10.0f, -5.0f);
        glVertex3f(-10.0f, 10.0f, -5.0f);
        glEnd();
    }
    // Fog colours red, green and blue only; alpha keeps the fragment's own.
    const Rgba centre = ReadPixelAt(0.5, 0.5);
    EXPECT_EQ(centre.r + centre.g + centre.b, 0);
}

TEST_F(Guards, MatrixScopeRestoresTheModelview)
{
    {
        const MatrixScope scope;
        glTranslatef(1.0f, 2.0f, 3.0f);
    }
    EXPECT_TRUE(BetweenEffectsState());
}

TEST_F(Guards, TextureBindingUnbindsAtTheEnd)
{
    const CTexture texture;
    {
        const TextureBinding binding(texture.textureId);
        GLint bound = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        EXPECT_EQ(static_cast<GLuint>(bound), texture.textureId);
    }
    EXPECT_TRUE(BetweenEffectsState());
}

TEST_F(Guards, OrthoScopeMapsTheWindowTopDown)
{
    {
        const OrthoScope ortho;
        // glOrtho(-1, 1, 1, -1, 0.1, 100): x kept, y flipped.
        const auto projection = CurrentMatrix(GL_PROJECTION_MATRIX);
        EXPECT_FLOAT_EQ(projection[0], 1.0f);
        EXPECT_FLOAT_EQ(projection[5], -1.0f);
        EXPECT_NEAR(projection[10], -2.0f / 99.9f, 1e-6);
        EXPECT_NEAR(projection[14], -100.1f / 99.9f, 1e-6);
    }
    EXPECT_TRUE(BetweenEffectsState());
}

TEST_F(Guards, ViewportScopeUsesItsOwnAspectAndGivesTheWindowsBack)
{
    {
        const ViewportScope viewport(256, 256);
        EXPECT_TRUE(MatricesMatch(CurrentMatrix(GL_PROJECTION_MATRIX), ExpectedPerspective(256, 256)));
        GLint box[4] = {};
        glGetIntegerv(GL_VIEWPORT, box);
        EXPECT_EQ(box[2], 256);
        EXPECT_EQ(box[3], 256);
    }
    EXPECT_TRUE(BetweenEffectsState());
}

TEST_F(Guards, ProjectionGuardsResetRatherThanPop)
{
    glTranslatef(0.0f, 0.0f, -5.0f);
    { const OrthoScope ortho; }
    EXPECT_TRUE(BetweenEffectsState());  // the translation is gone, not restored
}

TEST_F(Guards, EveryGuardUndoesItsChangeWhenAnExceptionPasses)
{
    const CTexture texture;
    try {
        const OrthoScope ortho;
        const CEnabler depth(GL_DEPTH_TEST);
        const CEnabler cull(GL_CULL_FACE);
        const CTransparency additive(GL_ONE, GL_ONE);
        const CFog fog(1.0f, 10.0f);
        const MatrixScope matrix;
        glRotatef(30.0f, 0.0f, 0.0f, 1.0f);
        const TextureBinding binding(texture.textureId);
        const ViewportScope target(64, 64);
        throw std::runtime_error("failure inside a draw");
    } catch (const std::runtime_error&) {
    }
    EXPECT_TRUE(BetweenEffectsState());
}

TEST_F(Guards, RestoreScreenProjectionFollowsTheWindowSize)
{
    glViewport(0, 0, 10, 10);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    RestoreScreenProjection();
    EXPECT_TRUE(BetweenEffectsState());
}

TEST_F(Guards, SavedStateComesBackWhateverWasChangedMeanwhile)
{
    glColor4f(0.5f, 0.25f, 0.125f, 1.0f);
    const GlStateSnapshot before = GlStateSnapshot::Take();
    {
        const SavedGlState saved;
        glEnable(GL_BLEND);
        glEnable(GL_SCISSOR_TEST);
        glEnable(GL_DEPTH_TEST);
        glDisable(GL_TEXTURE_2D);
        glBlendFunc(GL_ONE, GL_ONE);
        glColor4f(1.0f, 0.0f, 0.0f, 0.0f);
        glScissor(1, 2, 3, 4);
        glViewport(0, 0, 10, 10);
        glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
        glShadeModel(GL_FLAT);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
        glPixelStorei(GL_UNPACK_ROW_LENGTH, 7);
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_COLOR_ARRAY);
        glBindTexture(GL_TEXTURE_2D, 1);
        glMatrixMode(GL_TEXTURE);
        glScalef(2.0f, 2.0f, 2.0f);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0.0, 1.0, 1.0, 0.0, -1.0, 1.0);
        glMatrixMode(GL_MODELVIEW);
        glTranslatef(1.0f, 2.0f, 3.0f);
        glMatrixMode(GL_PROJECTION);
    }
    EXPECT_TRUE(BetweenEffectsState());
    EXPECT_EQ(GlStateSnapshot::Take(), before);
}
