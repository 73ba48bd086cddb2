#include "effects/TwistBox.h"

#include <algorithm>
#include <cmath>

#include "gfx/ClipBounds.h"
#include "gfx/Guards.h"
#include "gfx/Quad.h"
#include "gfx/Screen.h"

namespace Effekter {

namespace {

constexpr int sliceCount = 1000;

// The single-precision constants, widened where they meet doubles.
constexpr double beatDimming = 0.1f;
constexpr double swingRate = 0.0005f;
constexpr double waveRate = 0.000125f;
constexpr double widthWave = 0.0225f;
constexpr double turnWave = 0.00225f;
constexpr float halfThickness = 0.05f;

// Half width of a slice edge: 0.5 to 2.5.
float HalfWidth(int g, double base)
{
    return static_cast<float>(static_cast<float>(std::sin(static_cast<float>(g * widthWave + base))) + 1.5);
}

void DrawSlice(float r1, float r2, float tLow, float tHigh)
{
    const float low = -halfThickness;
    const float high = halfThickness;
    glBegin(GL_QUADS);
    // front, z = +r
    glTexCoord2f(0.0f, tLow); glVertex3f(-r1, low, r1);
    glTexCoord2f(1.0f, tLow); glVertex3f(r1, low, r1);
    glTexCoord2f(1.0f, tHigh); glVertex3f(r2, high, r2);
    glTexCoord2f(0.0f, tHigh); glVertex3f(-r2, high, r2);
    // back, z = -r
    glTexCoord2f(1.0f, tLow); glVertex3f(-r1, low, -r1);
    glTexCoord2f(1.0f, tHigh); glVertex3f(-r2, high, -r2);
    glTexCoord2f(0.0f, tHigh); glVertex3f(r2, high, -r2);
    glTexCoord2f(0.0f, tLow); glVertex3f(r1, low, -r1);
    // right, x = +r
    glTexCoord2f(1.0f, tLow); glVertex3f(r1, low, -r1);
    glTexCoord2f(1.0f, tHigh); glVertex3f(r2, high, -r2);
    glTexCoord2f(0.0f, tHigh); glVertex3f(r2, high, r2);
    glTexCoord2f(0.0f, tLow); glVertex3f(r1, low, r1);
    // left, x = -r
    glTexCoord2f(0.0f, tLow); glVertex3f(-r1, low, -r1);
    glTexCoord2f(1.0f, tLow); glVertex3f(-r1, low, r1);
    glTexCoord2f(1.0f, tHigh); glVertex3f(-r2, high, r2);
    glTexCoord2f(0.0f, tHigh); glVertex3f(-r2, high, -r2);
    glEnd();
}

}  // namespace

TwistBox::TwistBox(std::uint32_t startTime, std::uint32_t endTime)
    : Effekt(startTime, endTime),
      shader("data/bump.fs"),
      gridTexture(pictureFiles[0]),
      intensityLocation(LookupUniform(shader.program, "intensity")),
      resolutionLocation(LookupUniform(shader.program, "resolution")),
      posLocation(LookupUniform(shader.program, "pos"))
{
}

void TwistBox::Draw(std::uint32_t time, float beat)
{
    const float t = static_cast<float>(time);
    const CFog fog(0.0f, 1.0f);
    glUseProgram(shader.program);
    glUniform1f(intensityLocation, static_cast<float>(0.25 - beat * beatDimming));
    glUniform2f(resolutionLocation, static_cast<float>(screenWidth), static_cast<float>(screenHeight));
    const float swing = static_cast<float>(std::sin(static_cast<float>(t * swingRate)));
    glUniform2f(posLocation, static_cast<float>(swing * 0.5), 0.5f);
    const TextureBinding binding(gridTexture.textureId);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    const CEnabler depth(GL_DEPTH_TEST);
    const MatrixScope matrix;
    glTranslatef(0.0f, -15.0f, -10.0f);
    DrawTower(t * waveRate);
    glUseProgram(0);
}

// Slice g sits g / 10 up the tower; the grid repeats every 20 slices. Most
// of the tower stands out of view, and a slice wholly out of it would draw
// nothing: only the last is drawn regardless, so that the current texture
// coordinate is left as before.
void TwistBox::DrawTower(double base)
{
    for (int g = 0; g < sliceCount; ++g) {
        const float r1 = HalfWidth(g, base);
        const float r2 = HalfWidth(g + 1, base);
        const float tLow = static_cast<float>(g / 20.0);
        const float tHigh = static_cast<float>((g + 1) / 20.0);
        const MatrixScope slice;
        glTranslatef(0.0f, static_cast<float>(g / 10.0), 0.0f);
        const float angle = static_cast<float>(static_cast<float>(std::sin(static_cast<float>(g * turnWave + base))) * 360.0);
        RotateXYZ(Vector3(0.0f, angle, 0.0f));
        const float r = std::max(r1, r2);
        if (g == sliceCount - 1 || BoxMayBeInView({{-r, -halfThickness, -r}, {r, halfThickness, r}}, CurrentClipMatrix())) {
            DrawSlice(r1, r2, tLow, tHigh);
        }
    }
}

}  // namespace Effekter
