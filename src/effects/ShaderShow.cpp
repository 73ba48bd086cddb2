#include "effects/ShaderShow.h"

#include "gfx/Guards.h"
#include "gfx/Quad.h"
#include "script/TweakBar.h"

namespace Effekter {

namespace {

// Builds the shader, if a path is given, before the picture is loaded;
// gives the picture's path.
const char* LoadShaderBefore(ShaderProgram& shader, const std::string& shaderPath, const std::string& imagePath)
{
    if (!shaderPath.empty()) {
        shader.LoadAuthorShader(shaderPath.c_str());
    }
    return imagePath.c_str();
}

// A shader written for Shadertoy or Bonzomatic (it brings its own vertex
// stage) has names of its own for the time and the beat: it is not told
// when it lacks these.
GLint TimeOrBeat(const ShaderProgram& shader, const char* name)
{
    return shader.vertexShader == 0 ? LookupUniform(shader.program, name) : glGetUniformLocation(shader.program, name);
}

}  // namespace

ShaderShow::ShaderShow(std::uint32_t startTime, std::uint32_t endTime, const std::string& shaderPath,
                       const std::string& imagePath, ShaderInputs* shaderInputs)
    : Effekt(startTime, endTime),
      image(LoadShaderBefore(shader, shaderPath, imagePath)),
      timeLocation(TimeOrBeat(shader, "time")),
      beatLocation(TimeOrBeat(shader, "beat")),
      uniforms(shader.program, {"time", "beat"}),
      inputs(shader.program, shaderInputs)
{
}

void ShaderShow::RegisterTweaks()
{
    for (DrivenUniforms::Uniform& uniform : uniforms.Uniforms()) {
        tweakBar->AddUniform(uniform.name, std::span<float>(uniform.value).first(static_cast<std::size_t>(uniform.components)));
    }
}

void ShaderShow::Draw(std::uint32_t time, float beat)
{
    glUseProgram(shader.program);
    // Without a program GL would refuse the uniforms with an error.
    if (shader.program != 0) {
        glUniform1f(timeLocation, static_cast<float>(time / 1000.0));
        glUniform1f(beatLocation, beat);
        uniforms.Upload();
    }
    const ProgramInputs::Bound inputTextures = inputs.Apply();
    const OrthoScope ortho;
    const MatrixScope matrix;
    glTranslatef(0.0f, 0.0f, -1.0f);
    const TextureBinding binding(image.textureId);
    Quad(1.0f, 1.0f).Draw(1.0f, 1.0f);
    glUseProgram(0);
}

}  // namespace Effekter
