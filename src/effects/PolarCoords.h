#pragma once

#include <array>

#include "gfx/RenderTarget.h"
#include "gfx/ShaderProgram.h"
#include "gfx/Texture.h"
#include "script/Effekt.h"

namespace Effekter {

// A field of 21 x 21 tumbling boxes of random heights, seen by a swaying
// camera, rendered off-screen and shown full-screen through a shader that
// warps it. Clears the window: nothing drawn earlier in the frame remains.
class PolarCoords : public Effekt {
public:
    // The pictures it loads, in the order it loads them (the loader decodes
    // them ahead).
    static constexpr std::array<const char*, 1> pictureFiles{"data/housing.jpg"};

    PolarCoords(std::uint32_t startTime, std::uint32_t endTime);

    void Draw(std::uint32_t time, float beat) override;

    // An axis-aligned box centred on the origin with these half extents,
    // its texture repeated uRepeat x vRepeat on every face; no normals.
    static void DrawTexturedBox(float uRepeat, float vRepeat, float halfX, float halfY, float halfZ);

    CTextureFreeImage housingTexture;
    ShaderProgram shader;
    GLint timeLocation;
    GLint resolutionLocation;
    RenderTarget target;

private:
    void DrawBoxField(std::uint32_t time);
    void ShowThroughShader();
};

}  // namespace Effekter
