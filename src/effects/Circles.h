#pragma once

#include "gfx/ShaderProgram.h"
#include "gfx/Texture.h"
#include "script/Effekt.h"

namespace Effekter {

// A window-filling quad with the ring picture bound, through the circles
// shader, which gets the music time in milliseconds.
class Circles : public Effekt {
public:
    Circles(std::uint32_t startTime, std::uint32_t endTime);

    void Draw(std::uint32_t time, float beat) override;

    ShaderProgram shader;
    CTextureFreeImage ringTexture;
    GLint timeLocation;
};

}  // namespace Effekter
