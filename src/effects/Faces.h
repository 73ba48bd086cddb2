#pragma once

#include "gfx/ShaderProgram.h"
#include "gfx/Texture.h"
#include "script/Effekt.h"

namespace Effekter {

// Two full-screen layers: the circles picture through the circles shader,
// which here also gets the beat, and the lettering added over it at a
// tenth of the beat's brightness.
class Faces : public Effekt {
public:
    Faces(std::uint32_t startTime, std::uint32_t endTime);

    void Draw(std::uint32_t time, float beat) override;

    GLint timeLocation;
    GLint beatLocation;
    ShaderProgram shader;
    CTextureFreeImage circlesTexture;
    CTextureFreeImage textTexture;
};

}  // namespace Effekter
