#include "gfx/DrivenUniforms.h"

#include <algorithm>

#include "gfx/ActiveUniforms.h"
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
    const std::span<const std::string_view> inputs = ShaderInputs::Names();
    for (const ActiveUniform& active : ActiveUniforms(program)) {
        const std::string& found = active.name;
        const int components = ComponentsOf(active.type);
        // Arrays and the driver's own built-in state have no track.
        const bool drivable = components > 0 && active.size == 1 && found.find('[') == std::string::npos &&
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
