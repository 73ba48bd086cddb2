#pragma once

#include <array>

#include "gfx/DrivenUniforms.h"
#include "gfx/ShaderInputs.h"
#include "gfx/ShaderProgram.h"
#include "gfx/Texture.h"
#include "model3ds/MeshDisplayList.h"
#include "script/Effekt.h"

namespace Effekter {

// The chrome model drawn twenty times a frame in one place through a
// vertex and fragment shader pair, each pass told its number as "step"
// (0, 0.05, ... 0.95) and the music time in seconds as "time", blended
// over each other and over Rubber3d's backdrop. Placed and moved like
// Rubber3d without its beat jumps. The shaders' other float and vector
// uniforms are the show's to drive.
class ShaderSuite3D : public Effekt {
public:
    // The pictures it loads, in the order it loads them (the loader decodes
    // them ahead).
    static constexpr std::array<const char*, 3> pictureFiles{
        "data/rubber/env.jpg", "data/rubber/background.jpg", "data/rubber/background1.jpg"};

    static constexpr int passes = 20;

    // Throws the compile message when a shader text does not compile. The
    // shaders may read the shader inputs, when given.
    ShaderSuite3D(std::uint32_t startTime, std::uint32_t endTime, ShaderInputs* shaderInputs = nullptr);

    // The driven uniforms, each a value of the section.
    void RegisterTweaks() override;
    void Draw(std::uint32_t time, float beat) override;

    MeshDisplayList mesh;
    CTextureFreeImage envTexture;
    CTextureFreeImage backdropTexture;
    CTextureFreeImage beatBackdropTexture;
    VertexFragmentProgram suiteProgram;
    GLint stepLocation;
    GLint timeLocation;
    DrivenUniforms uniforms;
    ProgramInputs inputs;

private:
    void DrawPasses(std::uint32_t time, float edge);
};

}  // namespace Effekter
