#include "gfx/ShaderProgram.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <vector>

#include "core/AssetFolders.h"
#include "core/DebugOutput.h"
#include "core/FileReads.h"
#include "core/DemoMessage.h"
#include "gfx/ShaderSource.h"

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

// Creates and compiles one shader; on an error the shader is deleted, the
// compiler's log kept and 0 given.
GLuint TryCompile(const char* source, GLenum type, std::string& log)
{
    const GLuint shader = glCreateShader(type);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint compiled = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    if (compiled == GL_TRUE) {
        return shader;
    }
    log = ShaderLog(shader);
    glDeleteShader(shader);
    return 0;
}

// Creates and compiles one shader; on an error the shader is deleted and
// the compiler's message thrown (whoever catches it says it, once), with
// the file's name (null: an effect's own shader) and the lines the message
// names rather than the whole source, which would bury the message.
GLuint CompileStage(const char* source, GLenum type, const char* name)
{
    std::string log;
    const GLuint shader = TryCompile(source, type, log);
    if (shader == 0) {
        throw DemoMessage(FormatText("Compiler error %s... while compiling:\n %s\n%s", log.c_str(),
                                     name != nullptr ? name : "an effect's own shader",
                                     LinesTheLogNames(source, log).c_str()));
    }
    return shader;
}

std::string ReadShaderFile(const char* path)
{
    std::optional<std::string> source = ReadWholeFile(path);
    if (!source) {
        throw DemoMessage(FormatText("Error opening: %s", path));
    }
    return std::move(*source);
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

// The GLSL versions the driver compiles, newest first. A driver older than
// OpenGL 4.3 names only its newest desktop version, and takes every older
// one; one that names none (Mesa held to GLSL 1.10) has the 1.10 of OpenGL 2.0.
std::vector<GlslVersion> OfferedVersions()
{
    if (!GLEW_VERSION_4_3) {
        const GLubyte* name = glGetString(GL_SHADING_LANGUAGE_VERSION);
        const std::optional<GlslVersion> newest =
            name == nullptr ? std::nullopt : ParseShadingLanguageVersion(reinterpret_cast<const char*>(name));
        return DesktopVersionsUpTo(newest.value_or(GlslVersion{110, false}));
    }
    std::vector<GlslVersion> versions;
    GLint count = 0;
    glGetIntegerv(GL_NUM_SHADING_LANGUAGE_VERSIONS, &count);
    for (GLint i = 0; i < count; ++i) {
        const GLubyte* name = glGetStringi(GL_SHADING_LANGUAGE_VERSION, static_cast<GLuint>(i));
        const std::optional<GlslVersion> version =
            name == nullptr ? std::nullopt : ParseGlslVersion(reinterpret_cast<const char*>(name));
        if (version) {
            versions.push_back(*version);
        }
    }
    return NewestFirst(std::move(versions));
}

// The file's own lines keep their numbers in every version it is built
// with, so the lines the log names are the file's.
std::string CompileErrorIn(const char* path, GlslVersion version, const std::string& log, const std::string& source)
{
    return FormatText("Compiler error in %s (GLSL %s): %s%s", path, version.Printed().c_str(), log.c_str(),
                      LinesTheLogNames(source, log).c_str());
}

// Builds the program of the compiled fragment shader and the vertex stage of
// the source. The shaders are the target's as soon as they exist, so that it
// deletes them however the build ends.
void LinkWithVertexStage(ShaderProgram& target, GLuint fragment, const std::string& vertexSource, const char* path,
                         GlslVersion version)
{
    target.shader = fragment;
    std::string log;
    target.vertexShader = TryCompile(vertexSource.c_str(), GL_VERTEX_SHADER, log);
    if (target.vertexShader == 0) {
        throw DemoMessage(FormatText("Compiler error in the vertex stage for %s (GLSL %s): %s", path, version.Printed().c_str(), log.c_str()));
    }
    target.program = glCreateProgram();
    glAttachShader(target.program, target.vertexShader);
    glAttachShader(target.program, target.shader);
    glBindAttribLocation(target.program, 0, positionAttribute);
    LinkAndReport(target.program);
}

// Shadertoy's shaders name no version: the newest that compiles is taken.
// When none does, the newest's log tells what is wrong.
void BuildShadertoy(ShaderProgram& target, const char* path, const std::string& source)
{
    const std::vector<GlslVersion> offered = OfferedVersions();
    std::optional<std::string> newestError;
    for (const GlslVersion& version : offered) {
        if (!version.HasInsAndOuts()) {
            continue;
        }
        std::string log;
        const GLuint fragment = TryCompile(ShadertoyFragment(source, version).c_str(), GL_FRAGMENT_SHADER, log);
        if (fragment != 0) {
            LinkWithVertexStage(target, fragment, ShadertoyVertex(version), path, version);
            return;
        }
        if (!newestError) {
            newestError = CompileErrorIn(path, version, log, source);
        }
    }
    if (newestError) {
        throw DemoMessage(*newestError);
    }
    throw DemoMessage(FormatText("%s is written for Shadertoy and needs GLSL 1.30, 3.00 es or newer, which this driver does not offer "
                    "(it offers GLSL %s)",
                    path, DescribeVersions(offered).c_str()));
}

void BuildModern(ShaderProgram& target, const char* path, const std::string& source, GlslVersion version)
{
    const std::vector<GlslVersion> offered = OfferedVersions();
    if (std::find(offered.begin(), offered.end(), version) == offered.end()) {
        throw DemoMessage(FormatText("%s asks for GLSL %s, which this driver does not offer (it offers GLSL %s)", path,
                        version.Printed().c_str(), DescribeVersions(offered).c_str()));
    }
    std::string log;
    const GLuint fragment = TryCompile(source.c_str(), GL_FRAGMENT_SHADER, log);
    if (fragment == 0) {
        throw DemoMessage(CompileErrorIn(path, version, log, source));
    }
    LinkWithVertexStage(target, fragment, ModernVertex(source), path, version);
}

}  // namespace

ShaderProgram::ShaderProgram(const char* path)
{
    LoadShader(true, path);
}

ShaderProgram::~ShaderProgram()
{
    glDeleteShader(shader);
    glDeleteShader(vertexShader);
    glDeleteProgram(program);
}

void ShaderProgram::LoadShader(bool fromFile, const char* text)
{
    if (!fromFile) {
        CompileAndLink(text);
        return;
    }
    CompileAndLink(ReadShaderFile(text).c_str(), text);
}

void ShaderProgram::LoadAuthorShader(const char* path)
{
    const std::string source = ReadShaderFile(path);
    switch (StyleOf(source)) {
    case ShaderStyle::Classic:
        CompileAndLink(source.c_str(), path);
        break;
    case ShaderStyle::Shadertoy:
        BuildShadertoy(*this, path, source);
        break;
    case ShaderStyle::Modern:
        // A Modern source has its #version, or it would be Classic.
        BuildModern(*this, path, source, DeclaredVersion(source).value());
        break;
    }
}

void ShaderProgram::CompileAndLink(const char* source, const char* name)
{
    shader = CompileStage(source, GL_FRAGMENT_SHADER, name);
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
        fragmentShader = CompileShader(text->c_str(), GL_FRAGMENT_SHADER, fragmentPath);
        glAttachShader(program, fragmentShader);
    }
    if (const std::optional<std::string> text = ReadWholeFile(vertexPath)) {
        vertexShader = CompileShader(text->c_str(), GL_VERTEX_SHADER, vertexPath);
        glAttachShader(program, vertexShader);
    }
    LinkAndReport(program);
}

GLuint VertexFragmentProgram::CompileShader(const char* source, GLenum type, const char* name)
{
    return CompileStage(source, type, name);
}

std::optional<std::string> ReadWholeFile(const char* path)
{
    NoteFileRead(path);
    const std::string found = FindAsset(path);
    // A folder opens, but its "size" is no size to allocate.
    std::error_code error;
    if (!std::filesystem::is_regular_file(found, error)) {
        return std::nullopt;
    }
    std::ifstream file(found, std::ios::binary | std::ios::ate);
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
