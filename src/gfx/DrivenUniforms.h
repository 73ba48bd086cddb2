#pragma once

#include <array>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "gfx/Gl.h"

// The float, vec2, vec3 and vec4 uniforms of a shader the show's author
// wrote, other than those its effect sets itself and the shader inputs:
// values that tracks and the tweak panel may drive. Found once, when the program is built, each
// starting at the value the program gives it; uploaded only when its value
// changes, so that a value nothing drives leaves the program as it was.
class DrivenUniforms {
public:
    struct Uniform {
        std::string name;
        GLint location;
        int components;
        std::array<float, 4> value;     // what it should be
        std::array<float, 4> uploaded;  // what the program holds
    };

    // Program 0 (no shader) has none.
    DrivenUniforms(GLuint program, std::initializer_list<std::string_view> setByEffect);

    // With the program bound: uploads each uniform whose value changed.
    // Allocates nothing.
    void Upload();

    // In the order of their names.
    std::vector<Uniform>& Uniforms() { return uniforms; }

private:
    std::vector<Uniform> uniforms;
};
