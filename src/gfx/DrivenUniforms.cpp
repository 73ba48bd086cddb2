#include "gfx/DrivenUniforms.h"

#include <algorithm>

#include "gfx/ShaderInputs.h"

namespace {

int ComponentsOf(GLenum type)
{
    switch (type) {
    case GL_FLOAT: return 1;
    case GL_FLOAT_VEC2: return 2;
    case GL_FLOAT_VEC3: return 3;
    case GL_FLOAT_VEC4: return 4;
    default: return 0;
    }
}

}  // namespace

DrivenUniforms::DrivenUniforms(GLuint program, std::initializer_list<std::string_view> setByEffect)
{
    if (program == 0) {
        return;
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
        const std::string found(name.data(), static_cast<std::size_t>(length));
        const int components = ComponentsOf(type);
        // Arrays and the driver's own built-in state have no track.
        const std::span<const std::string_view> inputs = ShaderInputs::Names();
        const bool drivable = components > 0 && size == 1 && found.find('[') == std::string::npos &&
                              found.rfind("gl_", 0) != 0 &&
                              std::find(setByEffect.begin(), setByEffect.end(), found) == setByEffect.end() &&
                              std::find(inputs.begin(), inputs.end(), found) == inputs.end();
        if (!drivable) {
            continue;
        }
        Uniform uniform{found, glGetUniformLocation(program, found.c_str()), components, {}, {}};
        glGetUniformfv(program, uniform.location, uniform.value.data());
        uniform.uploaded = uniform.value;
        uniforms.push_back(std::move(uniform));
    }
    std::sort(uniforms.begin(), uniforms.end(), [](const Uniform& a, const Uniform& b) { return a.name < b.name; });
}

void DrivenUniforms::Upload()
{
    for (Uniform& uniform : uniforms) {
        if (uniform.value == uniform.uploaded) {
            continue;
        }
        const float* value = uniform.value.data();
        switch (uniform.components) {
        case 1: glUniform1fv(uniform.location, 1, value); break;
        case 2: glUniform2fv(uniform.location, 1, value); break;
        case 3: glUniform3fv(uniform.location, 1, value); break;
        default: glUniform4fv(uniform.location, 1, value); break;
        }
        uniform.uploaded = uniform.value;
    }
}
