#pragma once

#include <optional>
#include <string>

#include "gfx/Gl.h"

// A GLSL program of one fragment shader; the fixed-function vertex stage
// stays in use, but for an author's shader written for Shadertoy or
// Bonzomatic, which brings a vertex stage of its own. Built once while the
// show loads, bound by its effect with glUseProgram(program) for a draw and
// unbound with glUseProgram(0).
class ShaderProgram {
public:
    ShaderProgram() = default;
    // Built at once from the file at the path, as LoadShader(true, path).
    explicit ShaderProgram(const char* path);
    ~ShaderProgram();

    ShaderProgram(const ShaderProgram&) = delete;
    ShaderProgram& operator=(const ShaderProgram&) = delete;

    // fromFile: text is a path whose whole contents are the source;
    // otherwise text is the source itself. Throws "Error opening: <path>"
    // for a file that does not open, and the compile message on an error.
    void LoadShader(bool fromFile, const char* text);

    // The fragment shader an author wrote, in the file at the path, however
    // it is written (see StyleOf): a Classic one exactly as LoadShader(true,
    // path). A Shadertoy one is built with the newest GLSL the driver offers
    // that compiles it, a Modern one with its own #version; each with a
    // vertex stage that draws the quad where the fixed-function stage does.
    // Throws "Error opening: <path>" for a file that does not open, and a
    // message naming the file and the GLSL version when the driver offers
    // none the shader can use or the shader does not compile there.
    void LoadAuthorShader(const char* path);

    // Throws the compiler's message, naming the file the source came from
    // (none: an effect's own), and builds no program when the source does
    // not compile. A program that does not link is kept, and the linker's
    // log goes to the debug output.
    void CompileAndLink(const char* source, const char* name = nullptr);

    GLuint shader = 0;
    GLuint vertexShader = 0;  // only for an author's Shadertoy or Modern shader
    GLuint program = 0;
};

// A program of a fragment and a vertex shader, each from a file; a file
// that does not open leaves its stage out without a word.
class VertexFragmentProgram {
public:
    VertexFragmentProgram() = default;
    ~VertexFragmentProgram();

    VertexFragmentProgram(const VertexFragmentProgram&) = delete;
    VertexFragmentProgram& operator=(const VertexFragmentProgram&) = delete;

    void Load(const char* fragmentPath, const char* vertexPath);

    // Compiles one stage (GL_FRAGMENT_SHADER or GL_VERTEX_SHADER) and gives
    // its GL name; throws the compile message as LoadShader does.
    GLuint CompileShader(const char* source, GLenum type, const char* name = nullptr);

    GLuint vertexShader = 0;
    GLuint fragmentShader = 0;
    GLuint program = 0;
};

// The file's bytes exactly as stored (line ends untouched); nothing when it
// cannot be opened or read.
std::optional<std::string> ReadWholeFile(const char* path);

// The location of a uniform of the program. A name the program has no
// active uniform for (or program 0) gives -1, which GL ignores when set, and
// says so in the debug output: the effect still runs.
GLint LookupUniform(GLuint program, const char* name);
