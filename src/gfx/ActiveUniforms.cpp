#include "gfx/ActiveUniforms.h"

#include <algorithm>

std::vector<ActiveUniform> ActiveUniforms(GLuint program)
{
    std::vector<ActiveUniform> uniforms;
    if (program == 0) {
        return uniforms;
    }
    GLint count = 0;
    glGetProgramiv(program, GL_ACTIVE_UNIFORMS, &count);
    GLint longest = 0;
    glGetProgramiv(program, GL_ACTIVE_UNIFORM_MAX_LENGTH, &longest);
    std::string name(static_cast<std::size_t>(std::max(longest, 1)), '\0');
    for (GLint index = 0; index < count; ++index) {
        GLsizei length = 0;
        GLint size = 0;
        GLenum type = 0;
        glGetActiveUniform(program, static_cast<GLuint>(index), static_cast<GLsizei>(name.size()), &length, &size, &type,
                           name.data());
        uniforms.push_back({name.substr(0, static_cast<std::size_t>(length)), type, size});
    }
    return uniforms;
}
