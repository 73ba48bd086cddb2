#include "effects/ShaderSuite3D.h"

#include "effects/RubberBackdrop.h"
#include "gfx/Guards.h"
#include "gfx/Quad.h"
#include "script/TweakBar.h"

namespace Effekter {

namespace {

// The passes draw without depth writes; writes come back on when the draw
// ends, so that the frame loop's depth clear and later 3D effects work.
class DepthWritesRestored {
public:
    DepthWritesRestored() = default;
    ~DepthWritesRestored() { glDepthMask(GL_TRUE); }

    DepthWritesRestored(const DepthWritesRestored&) = delete;
    DepthWritesRestored& operator=(const DepthWritesRestored&) = delete;
};

GLuint LoadedProgram(VertexFragmentProgram& program)
{
    program.Load("data/suite/fs.txt", "data/suite/vs.txt");
    return program.program;
}

}  // namespace

ShaderSuite3D::ShaderSuite3D(std::uint32_t startTime, std::uint32_t endTime, ShaderInputs* shaderInputs)
    : Effekt(startTime, endTime),
      mesh("data/rubber/simple.3ds", MeshDisplayList::Normals | MeshDisplayList::TextureCoordinates),
      envTexture(pictureFiles[0]),
      backdropTexture(pictureFiles[1]),
      beatBackdropTexture(pictureFiles[2]),
      stepLocation(LookupUniform(LoadedProgram(suiteProgram), "step")),
      timeLocation(LookupUniform(suiteProgram.program, "time")),
      uniforms(suiteProgram.program, {"time", "step"}),
      inputs(suiteProgram.program, shaderInputs)
{
}

void ShaderSuite3D::RegisterTweaks()
{
    for (DrivenUniforms::Uniform& uniform : uniforms.Uniforms()) {
        tweakBar->AddUniform(uniform.name, std::span<float>(uniform.value).first(static_cast<std::size_t>(uniform.components)));
    }
}

void ShaderSuite3D::Draw(std::uint32_t time, float beat)
{
    const float edge = EdgeAmount(time, startTime, endTime);
    DrawRubberBackdrop(backdropTexture, beatBackdropTexture, edge, time, 1.0f, beat);
    DrawPasses(time, edge);
}

void ShaderSuite3D::DrawPasses(std::uint32_t time, float edge)
{
    const float t = static_cast<float>(time);
    const DepthWritesRestored depthWrites;
    const CEnabler depth(GL_DEPTH_TEST);
    const CEnabler cull(GL_CULL_FACE);
    const TextureBinding environment(envTexture.textureId);
    const MatrixScope matrix;
    glTranslatef(static_cast<float>(time - startTime) / 75.0f - 150.0f, 500.0f * edge, -500.0f);
    RotateXYZ(Vector3(0.0f, t / 20.0f, 0.0f));
    const CTransparency blend(GL_SRC_COLOR, GL_ONE_MINUS_SRC_COLOR);
    glUseProgram(suiteProgram.program);
    glUniform1f(timeLocation, t / 1000.0f);
    uniforms.Upload();
    const ProgramInputs::Bound inputTextures = inputs.Apply();
    for (int i = 0; i < passes; ++i) {
        glDepthMask(GL_FALSE);
        glUniform1f(stepLocation, static_cast<float>(i) / static_cast<float>(passes));
        const MatrixScope pass;
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        glCallList(mesh.listId);
    }
    glUseProgram(0);
}

}  // namespace Effekter
