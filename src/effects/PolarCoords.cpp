#include "effects/PolarCoords.h"

#include <cmath>

#include "core/DemoRandom.h"
#include "gfx/Guards.h"
#include "gfx/Quad.h"

namespace Effekter {

namespace {

constexpr int targetSize = 1024;
constexpr int fieldReach = 10;  // boxes from -10 to 10 each way

}  // namespace

PolarCoords::PolarCoords(std::uint32_t startTime, std::uint32_t endTime)
    : Effekt(startTime, endTime),
      housingTexture(pictureFiles[0]),
      shader("data/polar.fs"),
      timeLocation(LookupUniform(shader.program, "time")),
      resolutionLocation(LookupUniform(shader.program, "resolution")),
      target(targetSize, targetSize)
{
}

void PolarCoords::Draw(std::uint32_t time, float)
{
    DrawBoxField(time);
    ShowThroughShader();
}

// Into the target with the window's viewport and perspective: the scene
// fills the target's lower-left window-sized corner.
void PolarCoords::DrawBoxField(std::uint32_t time)
{
    const float t = static_cast<float>(time);
    const double td = t;
    const CEnabler depth(GL_DEPTH_TEST);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, target.framebuffer);
    const TextureBinding binding(housingTexture.textureId);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    const MatrixScope matrix;
    const float eyeX = 10.0f * static_cast<float>(std::sin(t / 100.0f));
    const float eyeY = 10.0f * static_cast<float>(std::sin(t / 300.0f));
    gluLookAt(eyeX, eyeY, 100.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
    DemoRandom::Seed(123);
    const float ax = static_cast<float>(td * 0.05);
    const float ay = static_cast<float>(td * 0.01);
    const float az = static_cast<float>(td * 0.03);
    for (int i = -fieldReach; i <= fieldReach; ++i) {
        for (int j = -fieldReach; j <= fieldReach; ++j) {
            const MatrixScope box;
            glTranslatef(static_cast<float>(2 * i), static_cast<float>(2 * j), 0.0f);
            glRotatef(ax, 1.0f, 0.0f, 0.0f);
            glRotatef(ay, 0.0f, 1.0f, 0.0f);
            glRotatef(az, 0.0f, 0.0f, 1.0f);
            const float height = static_cast<float>(DemoRandom::Next() / 32767.0) * 3.0f;
            DrawTexturedBox(1.0f, 1.0f, 1.0f, height, 1.0f);
        }
    }
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
}

// The time and resolution uniforms keep their initial 0: the shader works
// out what it needs from its texture coordinates.
void PolarCoords::ShowThroughShader()
{
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    const OrthoScope ortho;
    const MatrixScope matrix;
    glTranslatef(0.0f, 0.0f, -2.0f);
    const TextureBinding binding(target.textureId);
    glUseProgram(shader.program);
    Quad(1.0f, 1.0f).Draw(1.0f, 1.0f);
    glUseProgram(0);
}

void PolarCoords::DrawTexturedBox(float a, float b, float c, float d, float e)
{
    glBegin(GL_QUADS);
    // front, z = +e
    glTexCoord2f(0.0f, 0.0f); glVertex3f(-c, -d, e);
    glTexCoord2f(a, 0.0f); glVertex3f(c, -d, e);
    glTexCoord2f(a, b); glVertex3f(c, d, e);
    glTexCoord2f(0.0f, b); glVertex3f(-c, d, e);
    // back, z = -e
    glTexCoord2f(a, 0.0f); glVertex3f(-c, -d, -e);
    glTexCoord2f(a, b); glVertex3f(-c, d, -e);
    glTexCoord2f(0.0f, b); glVertex3f(c, d, -e);
    glTexCoord2f(0.0f, 0.0f); glVertex3f(c, -d, -e);
    // top, y = +d
    glTexCoord2f(0.0f, b); glVertex3f(-c, d, -e);
    glTexCoord2f(0.0f, 0.0f); glVertex3f(-c, d, e);
    glTexCoord2f(a, 0.0f); glVertex3f(c, d, e);
    glTexCoord2f(a, b); glVertex3f(c, d, -e);
    // bottom, y = -d
    glTexCoord2f(a, b); glVertex3f(-c, -d, -e);
    glTexCoord2f(0.0f, b); glVertex3f(c, -d, -e);
    glTexCoord2f(0.0f, 0.0f); glVertex3f(c, -d, e);
    glTexCoord2f(a, 0.0f); glVertex3f(-c, -d, e);
    // right, x = +c
    glTexCoord2f(a, 0.0f); glVertex3f(c, -d, -e);
    glTexCoord2f(a, b); glVertex3f(c, d, -e);
    glTexCoord2f(0.0f, b); glVertex3f(c, d, e);
    glTexCoord2f(0.0f, 0.0f); glVertex3f(c, -d, e);
    // left, x = -c
    glTexCoord2f(0.0f, 0.0f); glVertex3f(-c, -d, -e);
    glTexCoord2f(a, 0.0f); glVertex3f(-c, -d, e);
    glTexCoord2f(a, b); glVertex3f(-c, d, e);
    glTexCoord2f(0.0f, b); glVertex3f(-c, d, -e);
    glEnd();
}

}  // namespace Effekter
