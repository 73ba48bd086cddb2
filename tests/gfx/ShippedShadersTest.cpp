#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/DemoMessage.h"
#include "gfx/ShaderProgram.h"
#include "gfx/ShaderSource.h"
#include "support/GlTestContext.h"
#include "support/ScriptFolder.h"

namespace {

using ShippedShaders = GlTest;

GLint LinkStatus(GLuint program)
{
    GLint linked = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    return linked;
}

}  // namespace

// Every shader the show ships compiles and links as GLSL 1.10, but for the
// examples written for Shadertoy or Bonzomatic, which need a newer GLSL.
// Vertex shaders are named vs.txt or *.vs; every other .fs and .txt file but
// the script is a fragment shader.
TEST_F(ShippedShaders, EveryOneCompilesAndLinksAsGlsl110)
{
    const std::string version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    ASSERT_EQ(version.rfind("2.0", 0), 0u) << "the driver offers OpenGL " << version;
    int shaders = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(SOURCE_DATA_DIR)) {
        const std::filesystem::path& path = entry.path();
        const std::string extension = path.extension().string();
        if (!entry.is_regular_file() || (extension != ".fs" && extension != ".txt" && extension != ".vs") ||
            path.filename() == "demo.txt") {
            continue;
        }
        SCOPED_TRACE(path.string());
        const std::string source = ReadWholeFile(path.c_str()).value_or("");
        if (StyleOf(source) != ShaderStyle::Classic) {
            continue;
        }
        const bool vertex = path.filename() == "vs.txt" || extension == ".vs";
        EXPECT_EQ(source.rfind("#version 110", 0), 0u);
        EXPECT_EQ(source.find("#extension"), std::string::npos);
        testing::internal::CaptureStderr();
        if (vertex) {
            VertexFragmentProgram program;
            EXPECT_NO_THROW(glDeleteShader(program.CompileShader(source.c_str(), GL_VERTEX_SHADER)));
        } else {
            ShaderProgram program;
            EXPECT_NO_THROW(program.CompileAndLink(source.c_str()));
            EXPECT_EQ(LinkStatus(program.program), GL_TRUE);
        }
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
        ++shaders;
    }
    EXPECT_GE(shaders, 7);
    EXPECT_TRUE(BetweenEffectsState());
}

// A shader written for Shadertoy or Bonzomatic stops the load on this driver
// with a message that names the file and the GLSL it lacks.
TEST_F(ShippedShaders, AuthorsShadersOfNewerGlslSayWhatTheDriverLacks)
{
    const ScriptFolder folder;
    folder.WriteFile("data/shadershow/rings.fs", "void mainImage(out vec4 c, in vec2 p) { c = vec4(1.0); }\n");
    folder.WriteFile("data/shadershow/bars.fs",
                     "#version 410 core\nlayout(location = 0) out vec4 out_color;\nvoid main() { out_color = vec4(1.0); }\n");
    const auto message = [](const char* path) {
        ShaderProgram program;
        testing::internal::CaptureStderr();
        std::string text;
        try {
            program.LoadAuthorShader(path);
        } catch (const DemoMessage& message) {
            text = message.Text();
        }
        // Said by whoever catches it; Mesa held to GLSL 1.10 may complain
        // about its own version string meanwhile.
        EXPECT_EQ(testing::internal::GetCapturedStderr().find(text), std::string::npos) << path;
        EXPECT_EQ(program.program, 0u) << path;
        return text;
    };
    EXPECT_EQ(message("data/shadershow/rings.fs"), "data/shadershow/rings.fs is written for Shadertoy and needs GLSL 1.30, "
                                                   "3.00 es or newer, which this driver does not offer (it offers GLSL 1.10)");
    EXPECT_EQ(message("data/shadershow/bars.fs"),
              "data/shadershow/bars.fs asks for GLSL 4.10, which this driver does not offer (it offers GLSL 1.10)");
    EXPECT_TRUE(BetweenEffectsState());
}

// The driver is held to OpenGL 2.0 and GLSL 1.10 before any context exists,
// however the test is started.
int main(int argc, char** argv)
{
    setenv("MESA_GL_VERSION_OVERRIDE", "2.0", 1);
    setenv("MESA_GLSL_VERSION_OVERRIDE", "110", 1);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
