#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

#include "gfx/Gl.h"

// Size of the hidden test window; not square, so aspect errors show.
constexpr int testWidth = 160;
constexpr int testHeight = 120;

struct Rgba {
    std::uint8_t r, g, b, a;
    bool operator==(const Rgba&) const = default;
};
void PrintTo(const Rgba& colour, std::ostream* out);

// Tests that draw: one hidden SDL window with an OpenGL 2.0 context is
// shared by every test of the process. Each test starts from the state the
// show keeps between effects, on a black frame with a cleared depth buffer.
class GlTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    void SetUp() override;
};

// Puts the GL state back to what holds between effects: full-window
// viewport, screen perspective, identity modelview, GL_TEXTURE_2D on,
// everything else off, no texture and no program bound.
void ResetBetweenEffectsState();

// Checks that state, naming every difference; also fails on a pending GL error.
::testing::AssertionResult BetweenEffectsState();

// State beyond what BetweenEffectsState checks, which a foreign renderer
// (the tweak panel's) is likely to touch: compared whole before and after.
struct GlStateSnapshot {
    std::array<GLfloat, 4> currentColour;
    std::array<GLint, 2> blendFactors;
    std::array<GLint, 4> scissorBox;
    std::array<GLint, 2> polygonModes;
    GLint shadeModel;
    GLint textureEnvironmentMode;
    std::array<GLint, 2> unpackAlignmentAndRowLength;
    std::array<GLboolean, 4> clientArrays;  // vertex, colour, texture coordinate, normal
    std::array<GLfloat, 16> textureMatrix;
    std::array<GLint, 4> viewport;

    static GlStateSnapshot Take();
    bool operator==(const GlStateSnapshot&) const = default;
};
void PrintTo(const GlStateSnapshot& state, std::ostream* out);

// The pixel at column x and row y counted from the top of the window, as the
// viewer sees it; read from the back buffer, before any swap.
Rgba ReadPixel(int x, int y);

// The pixel at the given fraction of the window's width and height from the
// top left corner.
Rgba ReadPixelAt(double fractionX, double fractionY);

// The whole back buffer, bottom row first.
std::vector<Rgba> ReadFrame();

// The current matrix of the given mode (GL_PROJECTION_MATRIX and so on).
std::array<GLfloat, 16> CurrentMatrix(GLenum which);

// The screen perspective's projection matrix for the given viewport size.
std::array<GLfloat, 16> ExpectedPerspective(int width, int height);

// Two matrices agree to single-precision rounding.
::testing::AssertionResult MatricesMatch(const std::array<GLfloat, 16>& actual, const std::array<GLfloat, 16>& expected);

// Width x height RGBA texels of a level of a texture (0 unless told), row 0 first.
std::vector<Rgba> TextureTexels(GLuint texture, int width, int height, int level = 0);
