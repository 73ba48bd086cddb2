#pragma once

#include <string>

#include "gfx/DrivenUniforms.h"
#include "gfx/ShaderInputs.h"
#include "gfx/ShaderProgram.h"
#include "gfx/Texture.h"
#include "script/Effekt.h"

namespace Effekter {

// The script's own shader scene: one window-filling quad with the named
// picture bound, through the named fragment shader, which gets the music
// time in seconds and the beat. An empty shader path shows the plain picture.
// A shader may be written as Shadertoy or Bonzomatic write them, and read
// what they give (the shader inputs, when given); its other float and
// vector uniforms are the show's to drive.
class ShaderShow : public Effekt {
public:
    ShaderShow(std::uint32_t startTime, std::uint32_t endTime, const std::string& shaderPath, const std::string& imagePath,
               ShaderInputs* shaderInputs = nullptr);

    // The driven uniforms, each a value of the section.
    void RegisterTweaks() override;
    void Draw(std::uint32_t time, float beat) override;

    ShaderProgram shader;
    CTextureFreeImage image;
    GLint timeLocation;
    GLint beatLocation;
    DrivenUniforms uniforms;
    ProgramInputs inputs;
};

}  // namespace Effekter
