#include "effects/NanoBall.h"

#include <cmath>
#include <numbers>

#include "core/DemoRandom.h"
#include "gfx/Guards.h"
#include "gfx/Quad.h"
#include "script/TweakBar.h"

namespace Effekter {

namespace {

constexpr int spikeCount = 512;
// The ball's own seed: every spike keeps its length and wobble phase.
constexpr std::uint32_t spikeSeed = 0;
// A strong beat: exactly a quarter is not strong enough.
constexpr float triggerLevel = 0.25f;
constexpr std::uint32_t slideInTime = 500;
constexpr std::uint32_t fadeOutTime = 7000;

}  // namespace

void NanoBall::QuadricDeleter::operator()(GLUquadric* quadric) const
{
    gluDeleteQuadric(quadric);
}

NanoBall::NanoBall(std::uint32_t startTime, std::uint32_t endTime)
    : Effekt(startTime, endTime),
      spikeTexture(pictureFiles[0]),
      flareTexture(pictureFiles[1]),
      backgroundTexture(pictureFiles[2])
{
    name = "NanoBall";
    quadric.reset(gluNewQuadric());
    gluQuadricTexture(quadric.get(), GL_TRUE);
}

void NanoBall::RegisterTweaks()
{
    tweakBar->AddDirection("Light pos", std::span<GLfloat, 3>(lightPosition.data(), 3), "Light pos");
    tweakBar->AddColor("Light amb", lightAmbient, "Light amb");
    tweakBar->AddColor("Light spc", lightSpecular, "Light spc");
    tweakBar->AddColor("Light dif", lightDiffuse, "Light dif");
    tweakBar->AddColor("Light ref", materialSpecular, "Light ref");
}

void NanoBall::Draw(std::uint32_t time, float beat)
{
    DrawBackground(time, beat);
    if (beat > triggerLevel) {
        lastTrigger = time;
    }

    const CEnabler depthTest(GL_DEPTH_TEST);
    glShadeModel(GL_SMOOTH);
    SetUpLight();
    // Left on: harmless while lighting is off, and every draw sets it up again.
    glEnable(GL_LIGHT1);
    const CEnabler lighting(GL_LIGHTING);
    const CEnabler colourMaterial(GL_COLOR_MATERIAL);
    const CEnabler culling(GL_CULL_FACE);
    const MatrixScope matrix;
    DrawBall(time);
    glDisable(GL_LIGHTING);
}

void NanoBall::DrawBackground(std::uint32_t time, float beat) const
{
    float brightness = 0.5f * beat + 0.5f;
    if (time > endTime - fadeOutTime) {
        brightness = brightness * static_cast<float>(endTime - time) / static_cast<float>(fadeOutTime);
    }
    glColor4f(brightness, brightness, brightness, brightness);
    const TextureBinding binding(backgroundTexture.textureId);
    const OrthoScope ortho;
    const MatrixScope matrix;
    glTranslatef(0.0f, 0.0f, -1.0f);
    Quad(1.0f, 1.0f).Draw(1.0f, 1.0f);
}

void NanoBall::SetUpLight() const
{
    // With the identity modelview the OrthoScope left, the position is in eye space.
    glLightfv(GL_LIGHT1, GL_AMBIENT, lightAmbient.data());
    glLightfv(GL_LIGHT1, GL_DIFFUSE, lightDiffuse.data());
    glLightfv(GL_LIGHT1, GL_SPECULAR, lightSpecular.data());
    glLightfv(GL_LIGHT1, GL_POSITION, lightPosition.data());
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, materialSpecular.data());
    glMateriali(GL_FRONT_AND_BACK, GL_SHININESS, 96);
}

void NanoBall::DrawBall(std::uint32_t time) const
{
    const float musicTime = static_cast<float>(time);
    DemoRandom::Seed(spikeSeed);
    const std::uint32_t sinceStart = time - startTime;
    const float slide = sinceStart < slideInTime ? 10.0f - static_cast<float>(sinceStart) * 10.0f / static_cast<float>(slideInTime) : 0.0f;
    // Right after a strong beat the ball sits below the screen; it rises from there.
    const float sinceTrigger = static_cast<float>(time - lastTrigger);
    glTranslatef(slide, sinceTrigger / 100.0f - 10.0f, -16.0f);
    glRotatef(musicTime / 100.0f + sinceTrigger / 50.0f, 1.0f, 0.0f, 0.0f);
    glRotatef(sinceTrigger / 50.0f, 0.0f, 1.0f, 0.0f);
    glRotatef(20.0f * slide + musicTime / 100.0f, 0.0f, 0.0f, 1.0f);

    // Spike directions on the golden-angle lattice spread evenly over the sphere.
    const double goldenAngle = (3.0 - std::sqrt(5.0)) * std::numbers::pi;
    const float seconds = musicTime / 1000.0f;
    for (int i = 0; i < spikeCount; ++i) {
        glColor3ub(96, 96, 96);
        const float y = static_cast<float>(i) / 256.0f - 1.0f + 1.0f / 512.0f;
        const float radius = std::sqrt(1.0f - y * y);
        const double longitude = goldenAngle * i;
        const float x = static_cast<float>(std::cos(longitude) * radius);
        const float z = static_cast<float>(std::sin(longitude) * radius);

        const float baseLength = static_cast<float>(DemoRandom::Next() & 31) * 0.099609375f;
        const float length = static_cast<float>(std::sin(double{RandomUnit() * 1024.0f + seconds}) + (10.0f - baseLength));

        const MatrixScope matrix;
        // Turn +z onto the spike's direction.
        glRotatef(static_cast<float>(std::atan2(double{x}, double{z}) * 180.0 / std::numbers::pi), 0.0f, 1.0f, 0.0f);
        const double across = std::sqrt(double{x * x + z * z});
        glRotatef(static_cast<float>(std::atan2(across, double{y}) * 180.0 / std::numbers::pi - 90.0), 1.0f, 0.0f, 0.0f);
        glBindTexture(GL_TEXTURE_2D, spikeTexture.textureId);
        gluCylinder(quadric.get(), 0.5, 0.5, length, 16, 1);
        glTranslatef(0.0f, 0.0f, length);
        const TextureBinding flare(flareTexture.textureId);
        gluDisk(quadric.get(), 0.0, 0.5, 16, 1);
    }
}

}  // namespace Effekter
