#include <string>

#include "core/DemoMessage.h"
#include "gfx/Guards.h"
#include "gfx/Quad.h"
#include "gfx/ShaderProgram.h"
#include "support/GlTestContext.h"
#include "support/ScriptFolder.h"

namespace {

using ShaderPrograms = GlTest;

const std::string orangeSource = "#version 110\nvoid main()\n{\n    gl_FragColor = vec4(1.0, 0.5, 0.0, 1.0);\n}\n";
const std::string brokenSource = "#version 110\nvoid main()\n{\n    gl_FragColor = vec4(1.0, 0.5, 0.0, 1.0)\n}\n";

// Program and compile message of a source that must fail to compile.
std::string CompileMessage(ShaderProgram& program, const std::string& source)
{
    try {
        program.CompileAndLink(source.c_str());
    } catch (const DemoMessage& message) {
        return message.Text();
    }
    ADD_FAILURE() << "the broken source compiled";
    return {};
}

GLint LinkStatus(GLuint program)
{
    GLint linked = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    return linked;
}

void DrawWindowQuad(GLuint program)
{
    const OrthoScope ortho;
    const MatrixScope matrix;
    glTranslatef(0.0f, 0.0f, -2.0f);
    glUseProgram(program);
    Quad(1.0f, 1.0f).Draw(1.0f, 1.0f);
    glUseProgram(0);
}

}  // namespace

TEST_F(ShaderPrograms, SourceTextBuildsAProgramThatDraws)
{
    ShaderProgram program;
    EXPECT_EQ(program.program, 0u);
    program.LoadShader(false, orangeSource.c_str());
    ASSERT_NE(program.program, 0u);
    EXPECT_NE(program.shader, 0u);
    EXPECT_EQ(LinkStatus(program.program), GL_TRUE);
    DrawWindowQuad(program.program);
    EXPECT_EQ(ReadPixelAt(0.5, 0.5), (Rgba{255, 128, 0, 255}));
    EXPECT_TRUE(BetweenEffectsState());
}

TEST_F(ShaderPrograms, FilesWithWindowsLineEndsCompileUnchanged)
{
    const ScriptFolder folder;
    std::string windowsText;
    for (const char c : orangeSource) {
        windowsText += c == '\n' ? std::string("\r\n") : std::string(1, c);
    }
    folder.WriteFile("data/crlf.fs", windowsText);
    EXPECT_EQ(ReadWholeFile("data/crlf.fs"), windowsText);
    ShaderProgram program;
    program.LoadShader(true, "data/crlf.fs");
    EXPECT_EQ(LinkStatus(program.program), GL_TRUE);
}

TEST_F(ShaderPrograms, MissingFileStopsWithItsPathAsGiven)
{
    const ScriptFolder folder;
    ShaderProgram program;
    try {
        program.LoadShader(true, "data/plasma/../nowhere.fs");
        FAIL() << "a missing file was accepted";
    } catch (const DemoMessage& message) {
        EXPECT_EQ(message.Text(), "Error opening: data/plasma/../nowhere.fs");
    }
    EXPECT_EQ(program.program, 0u);
}

TEST_F(ShaderPrograms, SyntaxErrorGivesTheLogAndTheWholeSource)
{
    ShaderProgram program;
    testing::internal::CaptureStderr();
    const std::string message = CompileMessage(program, brokenSource);
    const std::string logged = testing::internal::GetCapturedStderr();
    EXPECT_EQ(logged, message) << "the message also goes to the debug output";
    EXPECT_EQ(message.rfind("Compiler error ", 0), 0u) << message;
    const std::string tail = "... while compiling:\n " + brokenSource + "\n";
    ASSERT_GT(message.size(), tail.size() + 15);
    EXPECT_EQ(message.substr(message.size() - tail.size()), tail);
    EXPECT_GT(message.size(), std::string("Compiler error ").size() + tail.size()) << "the driver's log is missing";
    EXPECT_EQ(program.program, 0u) << "no program for a shader that does not compile";
    EXPECT_TRUE(BetweenEffectsState());
}

TEST_F(ShaderPrograms, MessagesBeyondTenKilobytesAreShownWhole)
{
    std::string longSource = "#version 110\n";
    while (longSource.size() < 30000) {
        longSource += "// padding that makes the source longer than any fixed message buffer\n";
    }
    longSource += "void main() { gl_FragColor = undefinedThing; }\n";
    ShaderProgram program;
    testing::internal::CaptureStderr();
    const std::string message = CompileMessage(program, longSource);
    testing::internal::GetCapturedStderr();
    const std::string tail = "... while compiling:\n " + longSource + "\n";
    ASSERT_GT(message.size(), tail.size());
    EXPECT_EQ(message.substr(message.size() - tail.size()), tail);
}

TEST_F(ShaderPrograms, LinkFailureIsLoggedAndNotThrown)
{
    // Compiles, but a program without main cannot link.
    ShaderProgram program;
    testing::internal::CaptureStderr();
    EXPECT_NO_THROW(program.CompileAndLink("#version 110\nvoid helper() { gl_FragColor = vec4(1.0); }\n"));
    const std::string logged = testing::internal::GetCapturedStderr();
    EXPECT_NE(program.program, 0u);
    EXPECT_EQ(LinkStatus(program.program), GL_FALSE);
    EXPECT_EQ(logged.rfind("Linker error ", 0), 0u) << logged;
}

TEST_F(ShaderPrograms, MissingUniformIsLoggedOnceAndHarmless)
{
    ShaderProgram program;
    program.CompileAndLink("#version 110\nuniform float shade;\nvoid main() { gl_FragColor = vec4(shade); }\n");
    testing::internal::CaptureStderr();
    const GLint missing = LookupUniform(program.program, "time");
    const GLint present = LookupUniform(program.program, "shade");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Unable to locate shader handle for: time\n");
    EXPECT_EQ(missing, -1);
    EXPECT_NE(present, -1);
    glUseProgram(program.program);
    glUniform1f(missing, 0.5f);
    glUniform1f(present, 0.25f);
    glUseProgram(0);
    EXPECT_TRUE(BetweenEffectsState()) << "setting location -1 raises no GL error";
}

TEST_F(ShaderPrograms, LookupWithoutAProgramIsLoggedWithoutAGlError)
{
    testing::internal::CaptureStderr();
    EXPECT_EQ(LookupUniform(0, "beat"), -1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Unable to locate shader handle for: beat\n");
    EXPECT_TRUE(BetweenEffectsState());
}

TEST(ReadWholeFile, GivesTheBytesExactlyOrNothing)
{
    const ScriptFolder folder;
    const std::string bytes("line one\r\nzero \0 inside\n", 24);
    folder.WriteFile("data/bytes.txt", bytes);
    folder.WriteFile("data/empty.txt", "");
    EXPECT_EQ(ReadWholeFile("data/bytes.txt"), bytes);
    EXPECT_EQ(ReadWholeFile("data/empty.txt"), std::string());
    EXPECT_EQ(ReadWholeFile("data/absent.txt"), std::nullopt);
    EXPECT_EQ(ReadWholeFile("data"), std::nullopt) << "a folder is not a file";
}

TEST_F(ShaderPrograms, MissingVertexStageIsLeftOutSilently)
{
    const ScriptFolder folder;
    folder.WriteFile("data/suite/fs.txt", orangeSource);
    VertexFragmentProgram program;
    testing::internal::CaptureStderr();
    program.Load("data/suite/fs.txt", "data/suite/vs.txt");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_NE(program.fragmentShader, 0u);
    EXPECT_EQ(program.vertexShader, 0u);
    EXPECT_EQ(LinkStatus(program.program), GL_TRUE);
    DrawWindowQuad(program.program);
    EXPECT_EQ(ReadPixelAt(0.25, 0.75), (Rgba{255, 128, 0, 255}));
}

TEST_F(ShaderPrograms, VertexAndFragmentStagesWorkTogether)
{
    const ScriptFolder folder;
    folder.WriteFile("data/suite/fs.txt", "#version 110\nvarying vec4 tint;\nvoid main() { gl_FragColor = tint; }\n");
    folder.WriteFile("data/suite/vs.txt",
                     "#version 110\nvarying vec4 tint;\nvoid main() { tint = vec4(0.0, 1.0, 1.0, 1.0); gl_Position = ftransform(); }\n");
    VertexFragmentProgram program;
    program.Load("data/suite/fs.txt", "data/suite/vs.txt");
    EXPECT_NE(program.vertexShader, 0u);
    EXPECT_EQ(LinkStatus(program.program), GL_TRUE);
    DrawWindowQuad(program.program);
    EXPECT_EQ(ReadPixelAt(0.5, 0.5), (Rgba{0, 255, 255, 255}));
}

TEST_F(ShaderPrograms, VertexStageErrorStopsWithTheSameMessage)
{
    const ScriptFolder folder;
    const std::string broken = "#version 110\nvoid main() { gl_Position = ftransform() }\n";
    folder.WriteFile("data/suite/vs.txt", broken);
    VertexFragmentProgram program;
    testing::internal::CaptureStderr();
    try {
        program.Load("data/suite/fs.txt", "data/suite/vs.txt");
        FAIL() << "a broken vertex shader was accepted";
    } catch (const DemoMessage& message) {
        EXPECT_EQ(message.Text().rfind("Compiler error ", 0), 0u);
        EXPECT_NE(message.Text().find("... while compiling:\n " + broken + "\n"), std::string::npos);
    }
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(program.vertexShader, 0u);
}
