#include "gfx/ShaderProgram.h"

#include <filesystem>
#include <fstream>

#include "core/DebugOutput.h"
#include "core/FileReads.h"
#include "core/DemoMessage.h"

namespace {

// The whole info log, however long: a long message is never cut short.
std::string ShaderLog(GLuint shader)
{
    GLint length = 0;
    glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
    std::string log(static_cast<std::size_t>(length > 0 ? length : 1), '\0');
    GLsizei written = 0;
    glGetShaderInfoLog(shader, static_cast<GLsizei>(log.size()), &written, log.data());
    log.resize(static_cast<std::size_t>(written));
    return log;
}

std::string ProgramLog(GLuint program)
{
    GLint length = 0;
    glGetProgramiv(program, GL_INFO_LOG_LENGTH, &length);
    std::string log(static_cast<std::size_t>(length > 0 ? length : 1), '\0');
    GLsizei written = 0;
    glGetProgramInfoLog(program, static_cast<GLsizei>(log.size()), &written, log.data());
    log.resize(static_cast<std::size_t>(written));
    return log;
}

// Creates and compiles one shader; on an error the shader is deleted and
// the compiler's message written to the debug output and thrown.
GLuint CompileStage(const char* source, GLenum type)
{
    const GLuint shader = glCreateShader(type);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint compiled = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    if (compiled == GL_TRUE) {
        return shader;
    }
    const std::string message = FormatText("Compiler error %s... while compiling:\n %s\n", ShaderLog(shader).c_str(), source);
    glDeleteShader(shader);
    DebugOutput(message);
    throw DemoMessage(message);
}

// Links, and reports a failure in the debug output: the show goes on with
// a program that draws nothing useful.
void LinkAndReport(GLuint program)
{
    glLinkProgram(program);
    GLint linked = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &linked);
    if (linked != GL_TRUE) {
        DebugOutput(FormatText("Linker error %s\n", ProgramLog(program).c_str()));
    }
}

}  // namespace

ShaderProgram::ShaderProgram(const char* path)
{
    LoadShader(true, path);
}

ShaderProgram::~ShaderProgram()
{
    glDeleteShader(shader);
    glDeleteProgram(program);
}

void ShaderProgram::LoadShader(bool fromFile, const char* text)
{
    if (!fromFile) {
        CompileAndLink(text);
        return;
    }
    const std::optional<std::string> source = ReadWholeFile(text);
    if (!source) {
        throw DemoMessage(FormatText("Error opening: %s", text));
    }
    CompileAndLink(source->c_str());
}

void ShaderProgram::CompileAndLink(const char* source)
{
    shader = CompileStage(source, GL_FRAGMENT_SHADER);
    program = glCreateProgram();
    glAttachShader(program, shader);
    LinkAndReport(program);
}

VertexFragmentProgram::~VertexFragmentProgram()
{
    glDeleteShader(fragmentShader);
    glDeleteShader(vertexShader);
    glDeleteProgram(program);
}

void VertexFragmentProgram::Load(const char* fragmentPath, const char* vertexPath)
{
    program = glCreateProgram();
    if (const std::optional<std::string> text = ReadWholeFile(fragmentPath)) {
        fragmentShader = CompileShader(text->c_str(), GL_FRAGMENT_SHADER);
        glAttachShader(program, fragmentShader);
    }
    if (const std::optional<std::string> text = ReadWholeFile(vertexPath)) {
        vertexShader = CompileShader(text->c_str(), GL_VERTEX_SHADER);
        glAttachShader(program, vertexShader);
    }
    LinkAndReport(program);
}

GLuint VertexFragmentProgram::CompileShader(const char* source, GLenum type)
{
    return CompileStage(source, type);
}

std::optional<std::string> ReadWholeFile(const char* path)
{
    NoteFileRead(path);
    // A folder opens, but its "size" is no size to allocate.
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        return std::nullopt;
    }
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file) {
        return std::nullopt;
    }
    const std::streamoff size = file.tellg();
    if (size < 0) {
        return std::nullopt;
    }
    std::string bytes(static_cast<std::size_t>(size), '\0');
    file.seekg(0);
    if (!file.read(bytes.data(), size)) {
        return std::nullopt;
    }
    return bytes;
}

GLint LookupUniform(GLuint program, const char* name)
{
    // Asking GL about program 0 would only raise a GL error.
    const GLint location = program == 0 ? -1 : glGetUniformLocation(program, name);
    if (location == -1) {
        DebugOutput("Unable to locate shader handle for: ");
        DebugOutput(name);
        DebugOutput("\n");
    }
    return location;
}
