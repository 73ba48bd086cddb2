#include <algorithm>
#include <filesystem>
#include <regex>
#include <string>

#include "core/DemoMessage.h"
#include "gfx/Guards.h"
#include "gfx/Quad.h"
#include "gfx/ShaderProgram.h"
#include "gfx/ShaderSource.h"
#include "support/GlTestContext.h"
#include "support/ScriptFolder.h"

namespace {

using ShaderPrograms = GlTest;

const std::string orangeSource = "#version 110\nvoid main()\n{\n    gl_FragColor = vec4(1.0, 0.5, 0.0, 1.0);\n}\n";
const std::string brokenSource = "#version 110\nvoid main()\n{\n    gl_FragColor = vec4(1.0, 0.5, 0.0, 1.0)\n}\n";

// Program and compile message of a source that must fail to compile.
std::string CompileMessage(ShaderProgram& program, const std::string& source, const char* name = nullptr)
{
    try {
        program.CompileAndLink(source.c_str(), name);
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

// A Shadertoy shader whose line 3 uses a name it never declared.
const std::string shadertoyWithErrorOnLine3 =
    "void mainImage(out vec4 fragColor, in vec2 fragCoord)\n"
    "{\n"
    "    fragColor = vec4(undeclaredShade, 0.0, 0.0, 1.0);\n"
    "}\n";

// The message of an author's shader that must not build, and what went to
// the debug output meanwhile.
struct LoadFailure {
    std::string message;
    std::string logged;
};

LoadFailure AuthorShaderFailure(ShaderProgram& program, const char* path)
{
    LoadFailure failure;
    testing::internal::CaptureStderr();
    try {
        program.LoadAuthorShader(path);
        ADD_FAILURE() << path << " was built";
    } catch (const DemoMessage& message) {
        failure.message = message.Text();
    }
    failure.logged = testing::internal::GetCapturedStderr();
    return failure;
}

// The newest GLSL the driver names.
GlslVersion NewestGlsl()
{
    return ParseShadingLanguageVersion(reinterpret_cast<const char*>(glGetString(GL_SHADING_LANGUAGE_VERSION))).value();
}

// The compiler's log for the source; empty when it compiles.
std::string CompilerLog(const std::string& source)
{
    const GLuint shader = glCreateShader(GL_FRAGMENT_SHADER);
    const char* text = source.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    GLint compiled = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    std::string log(4096, '\0');
    GLsizei written = 0;
    glGetShaderInfoLog(shader, static_cast<GLsizei>(log.size()), &written, log.data());
    glDeleteShader(shader);
    return compiled == GL_TRUE ? std::string() : log.substr(0, static_cast<std::size_t>(written));
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

// The driver's log, the file, and the line it names (Mesa names the line of
// the brace after the missing semicolon); said once, by whoever catches it.
TEST_F(ShaderPrograms, SyntaxErrorGivesTheLogTheFileAndTheLinesItNames)
{
    ShaderProgram program;
    testing::internal::CaptureStderr();
    const std::string message = CompileMessage(program, brokenSource, "data/broken.fs");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "the catcher says it, once";
    EXPECT_TRUE(std::regex_match(message, std::regex("Compiler error 0:5\\(1\\): error: [^\n]*\n?\\.\\.\\. while compiling:\n"
                                                     " data/broken\\.fs\n    5: \\}\n")))
        << message;
    EXPECT_EQ(program.program, 0u) << "no program for a shader that does not compile";
    EXPECT_TRUE(BetweenEffectsState());

    ShaderProgram own;
    EXPECT_NE(CompileMessage(own, brokenSource).find("... while compiling:\n an effect's own shader\n    5: }\n"),
              std::string::npos);
}

// Of a long source only the line in error is shown.
TEST_F(ShaderPrograms, ALongSourceGivesOnlyTheLineInError)
{
    std::string longSource = "#version 110\n";
    while (longSource.size() < 30000) {
        longSource += "// padding that makes the source longer than any fixed message buffer\n";
    }
    longSource += "void main() { gl_FragColor = undefinedThing; }\n";
    const int errorLine = static_cast<int>(std::count(longSource.begin(), longSource.end(), '\n'));
    ShaderProgram program;
    const std::string message = CompileMessage(program, longSource, "data/long.fs");
    EXPECT_TRUE(message.ends_with(FormatText("... while compiling:\n data/long.fs\n%5d: void main() { gl_FragColor = undefinedThing; }\n",
                                             errorLine)))
        << message;
    EXPECT_EQ(message.find("padding"), std::string::npos);
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
        EXPECT_TRUE(message.Text().ends_with("... while compiling:\n data/suite/vs.txt\n    2: void main() { gl_Position = ftransform() }\n"))
            << message.Text();
    }
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(program.vertexShader, 0u);
}

TEST_F(ShaderPrograms, AnAuthorsClassicShaderIsBuiltExactlyAsLoadShaderBuildsIt)
{
    const ScriptFolder folder;
    folder.WriteFile("data/orange.fs", orangeSource);
    folder.WriteFile("data/broken.fs", brokenSource);
    ShaderProgram program;
    program.LoadAuthorShader("data/orange.fs");
    EXPECT_EQ(LinkStatus(program.program), GL_TRUE);
    EXPECT_EQ(program.vertexShader, 0u) << "the fixed-function vertex stage stays";
    DrawWindowQuad(program.program);
    EXPECT_EQ(ReadPixelAt(0.5, 0.5), (Rgba{255, 128, 0, 255}));

    ShaderProgram asBefore;
    testing::internal::CaptureStderr();
    const std::string expected = CompileMessage(asBefore, brokenSource, "data/broken.fs");
    testing::internal::GetCapturedStderr();
    ShaderProgram broken;
    const LoadFailure failure = AuthorShaderFailure(broken, "data/broken.fs");
    EXPECT_EQ(failure.message, expected);
    EXPECT_EQ(failure.logged, "");
    EXPECT_EQ(broken.program, 0u);

    ShaderProgram missing;
    EXPECT_EQ(AuthorShaderFailure(missing, "data/none.fs").message, "Error opening: data/none.fs");
    EXPECT_TRUE(BetweenEffectsState());
}

TEST_F(ShaderPrograms, AShadertoyErrorNamesTheFileTheNewestVersionAndTheLineInTheFile)
{
    const ScriptFolder folder;
    folder.WriteFile("data/shadershow/waves.fs", shadertoyWithErrorOnLine3);
    ShaderProgram program;
    const LoadFailure failure = AuthorShaderFailure(program, "data/shadershow/waves.fs");
    const std::string start = "Compiler error in data/shadershow/waves.fs (GLSL " + NewestGlsl().Printed() + "): ";
    EXPECT_EQ(failure.message.rfind(start, 0), 0u) << failure.message;
    EXPECT_TRUE(std::regex_search(failure.message, std::regex("\\b0:3\\(\\d+\\): error: .*undeclaredShade"))) << failure.message;
    EXPECT_EQ(failure.message.find("0:1("), std::string::npos) << "nothing wrong is found in the added lines";
    EXPECT_TRUE(failure.message.ends_with("\n    3:     fragColor = vec4(undeclaredShade, 0.0, 0.0, 1.0);\n")) << failure.message;
    EXPECT_EQ(failure.logged, "") << "the catcher says it, once";
    EXPECT_EQ(program.program, 0u);
    EXPECT_EQ(program.shader, 0u);
    EXPECT_TRUE(BetweenEffectsState());
}

// The compiler numbers the file's lines as the file does in every version
// that can build a Shadertoy shader, however it reads #line.
TEST_F(ShaderPrograms, ShadertoyLinesKeepTheirNumbersInEveryVersionTheDriverOffers)
{
    for (const GlslVersion version : {GlslVersion{130, false}, GlslVersion{140, false}, GlslVersion{150, false},
                                      GlslVersion{330, false}, GlslVersion{400, false}, GlslVersion{450, false},
                                      GlslVersion{300, true}, GlslVersion{320, true}}) {
        const std::string log = CompilerLog(ShadertoyFragment(shadertoyWithErrorOnLine3, version));
        EXPECT_TRUE(std::regex_search(log, std::regex("^0:3\\(\\d+\\): error: "))) << version.Printed() << ": " << log;
    }
}

TEST_F(ShaderPrograms, AModernShaderAskingForAVersionTheDriverLacksNamesTheFileAndTheVersion)
{
    ASSERT_LT(NewestGlsl().number, 460) << "the test needs a driver without GLSL 4.60";
    const ScriptFolder folder;
    folder.WriteFile("data/shadershow/bonzo.fs",
                     "#version 460 core\nin vec2 out_texcoord;\nlayout(location = 0) out vec4 out_color;\n"
                     "void main(void) { out_color = vec4(out_texcoord, 0.0, 1.0); }\n");
    ShaderProgram program;
    const LoadFailure failure = AuthorShaderFailure(program, "data/shadershow/bonzo.fs");
    EXPECT_EQ(failure.message.rfind("data/shadershow/bonzo.fs asks for GLSL 4.60, which this driver does not offer (it offers GLSL 1.10 to " +
                                        NewestGlsl().Printed(),
                                    0),
              0u)
        << failure.message;
    EXPECT_EQ(failure.logged, "");
    EXPECT_EQ(program.program, 0u);
}

TEST_F(ShaderPrograms, AModernCompileErrorNamesTheFileAndItsVersion)
{
    const ScriptFolder folder;
    folder.WriteFile("data/bonzo.fs", "#version 410 core\nlayout(location = 0) out vec4 out_color;\n"
                                      "void main(void)\n{\n    out_color = undeclaredShade;\n}\n");
    ShaderProgram program;
    const LoadFailure failure = AuthorShaderFailure(program, "data/bonzo.fs");
    EXPECT_EQ(failure.message.rfind("Compiler error in data/bonzo.fs (GLSL 4.10): ", 0), 0u) << failure.message;
    EXPECT_TRUE(std::regex_search(failure.message, std::regex("\\b0:5\\(\\d+\\): error: "))) << failure.message;
    EXPECT_EQ(program.program, 0u);
}

TEST_F(ShaderPrograms, AModernLinkFailureIsLoggedAndNotThrown)
{
    // A function declared but never defined: it compiles, but cannot link.
    const ScriptFolder folder;
    folder.WriteFile("data/bonzo.fs", "#version 410 core\nvec4 shade();\nlayout(location = 0) out vec4 out_color;\n"
                                      "void main(void) { out_color = shade(); }\n");
    ShaderProgram program;
    testing::internal::CaptureStderr();
    EXPECT_NO_THROW(program.LoadAuthorShader("data/bonzo.fs"));
    const std::string logged = testing::internal::GetCapturedStderr();
    EXPECT_NE(program.program, 0u);
    EXPECT_EQ(LinkStatus(program.program), GL_FALSE);
    EXPECT_EQ(logged.rfind("Linker error ", 0), 0u) << logged;
}

TEST_F(ShaderPrograms, AnAuthorsStagesGoWithTheProgram)
{
    const ScriptFolder folder;
    folder.WriteFile("data/rings.fs", "void mainImage(out vec4 c, in vec2 p) { c = vec4(1.0); }\n");
    GLuint fragment = 0;
    GLuint vertex = 0;
    GLuint linked = 0;
    {
        ShaderProgram program;
        program.LoadAuthorShader("data/rings.fs");
        fragment = program.shader;
        vertex = program.vertexShader;
        linked = program.program;
        EXPECT_EQ(LinkStatus(linked), GL_TRUE);
        EXPECT_EQ(glIsShader(vertex), GL_TRUE);
    }
    EXPECT_EQ(glIsProgram(linked), GL_FALSE);
    EXPECT_EQ(glIsShader(fragment), GL_FALSE);
    EXPECT_EQ(glIsShader(vertex), GL_FALSE);
}

TEST_F(ShaderPrograms, TheShippedExamplesOfBothToolsBuild)
{
    for (const char* example : {"shadertoy-rings.fs", "bonzomatic-bars.fs"}) {
        const std::string path = (std::filesystem::path(SOURCE_DATA_DIR) / "examples" / example).string();
        ShaderProgram program;
        testing::internal::CaptureStderr();
        EXPECT_NO_THROW(program.LoadAuthorShader(path.c_str())) << example;
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << example;
        EXPECT_NE(program.vertexShader, 0u) << example;
        EXPECT_EQ(LinkStatus(program.program), GL_TRUE) << example;
    }
    EXPECT_TRUE(BetweenEffectsState());
}
