#pragma once

#include <array>
#include <filesystem>
#include <string>

#include "gfx/ShaderProgram.h"
#include "support/ScriptFolder.h"

// Copies a file of the project's data folder (a shipped shader) into the
// test's folder at the same place under data/.
inline void CopyShipped(const ScriptFolder& folder, const std::string& relative)
{
    const std::string path = (std::filesystem::path(SOURCE_DATA_DIR) / relative).string();
    folder.WriteFile(std::filesystem::path("data") / relative, ReadWholeFile(path.c_str()).value_or(""));
}

// The value a program holds for a float uniform, or for a vector one of up
// to four elements (GL writes as many as the uniform has).
inline float UniformValue(GLuint program, GLint location)
{
    GLfloat value = -1.0f;
    glGetUniformfv(program, location, &value);
    return value;
}

inline std::array<GLfloat, 4> UniformVector(GLuint program, GLint location)
{
    std::array<GLfloat, 4> value{};
    glGetUniformfv(program, location, value.data());
    return value;
}
