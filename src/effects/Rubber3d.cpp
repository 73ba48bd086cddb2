#include "effects/Rubber3d.h"

#include <cmath>

#include "core/DemoRandom.h"
#include "effects/RubberBackdrop.h"
#include "gfx/Guards.h"
#include "gfx/Quad.h"
#include "gfx/Screen.h"

namespace Effekter {

namespace {

// A strong beat: exactly a quarter is not strong enough.
constexpr float triggerLevel = 0.25f;
// Eight of the knot's rings: a strip meets only a few such pieces.
constexpr int trianglesPerPart = 256;

// One step's turn about an axis in degrees: at most one degree, varying
// smoothly with the music time.
float StepAngle(float amount, float sinRate, float cosRate, float t)
{
    return static_cast<float>(std::sin(sinRate * t / 500.0f)) * amount * static_cast<float>(std::cos(cosRate * t / 500.0f));
}

}  // namespace

Rubber3d::Rubber3d(std::uint32_t startTime, std::uint32_t endTime)
    : Effekt(startTime, endTime),
      mesh("data/rubber/simple.3ds", MeshDisplayList::Normals, trianglesPerPart),
      envTexture(pictureFiles[0]),
      backdropTexture(pictureFiles[1]),
      beatBackdropTexture(pictureFiles[2])
{
}

Rubber3d::Strip Rubber3d::StripOf(int i, int screenWidth)
{
    const int x = static_cast<int>(static_cast<float>(screenWidth * i) / static_cast<float>(strips));
    const int width = static_cast<int>(std::ceil(static_cast<float>(screenWidth) / static_cast<float>(strips)));
    return {x, width};
}

void Rubber3d::Draw(std::uint32_t time, float beat)
{
    const float edge = EdgeAmount(time, startTime, endTime);
    DrawRubberBackdrop(backdropTexture, beatBackdropTexture, edge, time, 1.0f, beat);
    DrawModel(time, beat, edge);
}

void Rubber3d::DrawModel(std::uint32_t time, float beat, float edge)
{
    const float t = static_cast<float>(time);
    const CEnabler scissor(GL_SCISSOR_TEST);
    const CEnabler depth(GL_DEPTH_TEST);
    const CEnabler cull(GL_CULL_FACE);
    const CEnabler generateS(GL_TEXTURE_GEN_S);
    const CEnabler generateT(GL_TEXTURE_GEN_T);
    // The eye-space normal becomes the texture coordinate: a reflection map.
    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_NORMAL_MAP);
    glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_NORMAL_MAP);
    const TextureBinding environment(envTexture.textureId);
    const MatrixScope matrix;

    if (beat > triggerLevel) {
        lastTrigger = time;
    }
    glTranslatef(static_cast<float>(time - startTime) / 75.0f - 150.0f, 500.0f * edge,
                 -500.0f - static_cast<float>(time - lastTrigger));
    RotateXYZ(Vector3(0.0f, t / 20.0f, 0.0f));
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);

    std::array<int, 4> viewport{};
    glGetIntegerv(GL_VIEWPORT, viewport.data());
    // Each strip applies the same step once more, so the twist grows from
    // the left edge to the right.
    for (int i = 0; i < strips; ++i) {
        DemoRandom::Seed(static_cast<std::uint32_t>(sliceSeed));
        float r[10];
        for (float& value : r) {
            value = RandomUnit();
        }
        glTranslatef(0.0f, 0.0f, r[0] * beat);
        const float ax = StepAngle(r[7], r[8], r[9], t);
        const float ay = StepAngle(r[4], r[5], r[6], t);
        const float az = StepAngle(r[1], r[2], r[3], t);
        glRotatef(ax, 1.0f, 0.0f, 0.0f);
        glRotatef(ay, 0.0f, 1.0f, 0.0f);
        glRotatef(az, 0.0f, 0.0f, 1.0f);
        const Strip strip = StripOf(i, screenWidth);
        glScissor(strip.x, 0, strip.width, screenHeight);
        DrawPartsInStrip({viewport, strip.x, strip.width}, i == strips - 1);
    }
}

// Only the parts that can reach the strip's columns: the others would draw
// nothing there. The mesh's last vertex leaves its normal as the current
// one, so the last strip always draws the last part.
void Rubber3d::DrawPartsInStrip(const ColumnRange& columns, bool lastStrip) const
{
    const ClipMatrix clip = CurrentClipMatrix();
    for (std::size_t index = 0; index < mesh.parts.size(); ++index) {
        const bool lastDraw = lastStrip && index + 1 == mesh.parts.size();
        if (lastDraw || BoxMayReachColumns(mesh.parts[index].bounds, clip, columns)) {
            glCallList(mesh.parts[index].listId);
        }
    }
}

}  // namespace Effekter
