#include "effects/ChaosZoomer.h"

#include <algorithm>
#include <cmath>

#include "core/DemoRandom.h"
#include "gfx/Guards.h"
#include "script/TweakBar.h"

namespace Effekter {

namespace {

constexpr std::uint32_t switchInterval = 5000;
constexpr std::uint32_t feedbackInterval = 20;
constexpr std::uint32_t fadeInTime = 500;

// The photograph scene 1 shows after n switches, by n modulo 4, as an
// index into the pictures in their loading order.
constexpr std::array<int, 4> pictureAfterSwitches = {0, 1, 3, 2};

void UnbindFramebuffer()
{
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
}

float Sin(float radians)
{
    return static_cast<float>(std::sin(radians));
}

}  // namespace

ChaosZoomer::ChaosZoomer(std::uint32_t startTime, std::uint32_t endTime)
    : Effekt(startTime, endTime),
      flowerTexture(pictureFiles[0]),
      pictures{CTextureFreeImage(pictureFiles[1]), CTextureFreeImage(pictureFiles[2]),
               CTextureFreeImage(pictureFiles[3]), CTextureFreeImage(pictureFiles[4])},
      ObjPos(0.0f, 0.0f, -400.0f),
      mesh("data/misc/simple.3ds", MeshDisplayList::Normals),
      envTexture(pictureFiles[5]),
      borderTexture(pictureFiles[6]),
      twistTexture(pictureFiles[7])
{
    splitShader.LoadShader(true, "data/misc/split.txt");
    composeTarget = std::make_unique<RenderTarget>();
    historyTarget = std::make_unique<RenderTarget>();
    name = "ChaosZoomer";
    timeLocation = LookupUniform(splitShader.program, "time");
    beatLocation = LookupUniform(splitShader.program, "beat");
}

float ChaosZoomer::FadeIn(std::uint32_t time) const
{
    return std::min(static_cast<float>(time - lastSwitch) / static_cast<float>(fadeInTime), 1.0f);
}

void ChaosZoomer::RegisterTweaks()
{
    tweakBar->AddDirection("ObjPos", ObjPos.Components(), "ObjPos");
    tweakBar->AddFloat("FogNear", FogNear, "FogNear");
    tweakBar->AddFloat("FogFar", FogFar, "FogFar");
}

void ChaosZoomer::Draw(std::uint32_t time, float beat)
{
    if (time - lastSwitch > switchInterval) {
        ++switchCount;
        lastSwitch = time;
        scene = DemoRandom::Next() & 3;
    }
    if (time - lastFeedback > feedbackInterval) {
        FeedbackPass(time, beat);
    }
    Display(time, beat);
}

// Every full-screen copy turns the picture upside down (a target's row 0
// is its bottom, OrthoScope puts t = 0 at the top); the echo keeps its
// orientation from pass to pass and the scenes show upside down.
void ChaosZoomer::FeedbackPass(std::uint32_t time, float beat)
{
    const float t = static_cast<float>(time);
    lastFeedback = time;

    composeTarget->Bind();
    {
        const OrthoScope ortho;
        const MatrixScope matrix;
        glTranslatef(0.0f, 0.0f, -2.0f);
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        glRotatef(Sin(t / 5000.0f), 0.0f, 0.0f, 1.0f);
        const TextureBinding previous(historyTarget->textureId);
        // Slightly enlarged, it covers the target at any of these angles.
        Quad(1.02f, 1.02f).Draw(1.0f, 1.0f);
        UnbindFramebuffer();
    }

    composeTarget->Bind();
    glClear(GL_DEPTH_BUFFER_BIT);
    DrawScene(time, beat);
    UnbindFramebuffer();

    historyTarget->Bind();
    {
        const OrthoScope ortho;
        const MatrixScope matrix;
        glTranslatef(0.0f, 0.0f, -2.0f);
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        const TextureBinding composed(composeTarget->textureId);
        Quad(1.0f, 1.0f).Draw(1.0f, 1.0f);
        UnbindFramebuffer();
    }
}

void ChaosZoomer::DrawScene(std::uint32_t time, float beat)
{
    switch (scene) {
    case FlowerTunnel: DrawFlowerTunnel(time, beat); break;
    case Picture: DrawPicture(time, beat); break;
    case Mesh: DrawMesh(time, beat); break;
    case Twist: DrawTwist(time, beat); break;
    default: break;
    }
}

void ChaosZoomer::Display(std::uint32_t time, float beat)
{
    const OrthoScope ortho;
    const MatrixScope matrix;
    glTranslatef(0.0f, 0.0f, -2.0f);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glUseProgram(splitShader.program);
    glUniform1f(beatLocation, beat);
    glUniform1f(timeLocation, static_cast<float>(time));
    const TextureBinding composed(composeTarget->textureId);
    Quad(1.0f, 1.0f).Draw(1.0f, 1.0f);
    glUseProgram(0);
    {
        const CTransparency blend(GL_SRC_COLOR, GL_ONE_MINUS_SRC_COLOR);
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        const TextureBinding border(borderTexture.textureId);
        // The outer tenth of the border picture lies outside the screen.
        Quad(1.25f, 1.25f).Draw(1.0f, 1.0f);
    }
}

// A corridor of flower sprites, one a second of music time, brightening as
// they fly at the viewer; those nearer than the near plane are clipped.
void ChaosZoomer::DrawFlowerTunnel(std::uint32_t time, float)
{
    const float t = static_cast<float>(time);
    const float fade = FadeIn(time);
    const CTransparency blend(GL_SRC_COLOR, GL_ONE_MINUS_SRC_COLOR);
    const TextureBinding flower(flowerTexture.textureId);
    const float seconds = t / 1000.0f;
    const Quad sprite(0.5f, 0.5f);
    for (int i = 0; i < 1000; ++i) {
        const float dz = seconds - static_cast<float>(i);
        if (dz > -10.0f) {
            const float c = (dz + 10.0f) / 10.0f * fade;
            glColor4f(c, c, c, c);
            const MatrixScope matrix;
            glTranslatef(0.0f, 0.0f, dz);
            glRotatef(20.0f * static_cast<float>(i) + t / 500.0f, 0.0f, 0.0f, 1.0f);
            sprite.Draw(1.0f, 1.0f);
        }
    }
}

void ChaosZoomer::DrawPicture(std::uint32_t time, float)
{
    const float t = static_cast<float>(time);
    const float fade = FadeIn(time);
    const OrthoScope ortho;
    glColor4f(fade, fade, fade, fade);
    const CTransparency blend(GL_SRC_COLOR, GL_ONE_MINUS_SRC_COLOR);
    const MatrixScope matrix;
    glTranslatef(0.0f, 0.0f, -2.0f);
    RotateXYZ(Vector3(15.0f * Sin(t / 500.0f), 15.0f * Sin(t / 2000.0f), -t / 50.0f));
    const CTexture& picture = pictures[static_cast<std::size_t>(pictureAfterSwitches[static_cast<std::size_t>(switchCount % 4)])];
    const TextureBinding binding(picture.textureId);
    const float halfSize = 0.5f + 0.1f * Sin(static_cast<float>(time - lastSwitch) / 1000.0f);
    Quad(halfSize, halfSize).Draw(1.0f, 1.0f);
}

// The environment-mapped mesh tumbling 350 to 400 units away in black fog
// from 300 to 400: mostly hidden on a silent beat, half seen on a full one.
void ChaosZoomer::DrawMesh(std::uint32_t time, float beat)
{
    const float t = static_cast<float>(time);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    const CFog fog(FogNear, FogFar);
    const CEnabler depth(GL_DEPTH_TEST);
    const CEnabler cull(GL_CULL_FACE);
    const MatrixScope matrix;
    const CEnabler generateS(GL_TEXTURE_GEN_S);
    const CEnabler generateT(GL_TEXTURE_GEN_T);
    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_NORMAL_MAP);
    glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_NORMAL_MAP);
    ObjPos.Set(100.0f * Sin(t / 2000.0f), 100.0f * Sin(t / 1000.0f), beat * 50.0f - 400.0f);
    glTranslatef(ObjPos.x, ObjPos.y, ObjPos.z);
    RotateXYZ(Vector3(t * 0.0025f, t * 0.03f, t * 0.0125f));
    const TextureBinding environment(envTexture.textureId);
    glCallList(mesh.listId);
}

// Five layers of the twist picture fanned out by the beat; silent beats
// leave the picture as it is.
void ChaosZoomer::DrawTwist(std::uint32_t time, float beat)
{
    const float t = static_cast<float>(time);
    const float fade = FadeIn(time);
    const CTransparency blend(GL_SRC_COLOR, GL_ONE_MINUS_SRC_COLOR);
    const TextureBinding twist(twistTexture.textureId);
    const float c = fade * beat * 1.01f;
    glColor3f(c, c, c);
    const float base = t * 0.04f + (1.0f - beat) * 90.0f;
    const Quad layer(1.0f, 1.0f);
    for (int i = 0; i < 5; ++i) {
        const MatrixScope matrix;
        glTranslatef(0.0f, 0.0f, -1.0f);
        glRotatef(5.0f * static_cast<float>(i) * beat + base, 0.0f, 0.0f, 1.0f);
        layer.Draw(1.0f, 1.0f);
    }
}

}  // namespace Effekter
