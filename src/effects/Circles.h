#pragma once

#include <array>

#include "gfx/ShaderProgram.h"
#include "gfx/Texture.h"
#include "script/Effekt.h"

namespace Effekter {

// A window-filling quad with the ring picture bound, through the circles
// shader, which gets the music time in milliseconds.
class Circles : public Effekt {
public:
    // The pictures it loads, in the order it loads them (the loader decodes
    // them ahead).
    static constexpr std::array<const char*, 1> pictureFiles{"data/circles/__ring.jpg"};

    Circles(std::uint32_t startTime, std::uint32_t endTime);

    void Draw(std::uint32_t time, float beat) override;

    ShaderProgram shader;
    CTextureFreeImage ringTexture;
    GLint timeLocation;
};

}  // namespace Effekter
