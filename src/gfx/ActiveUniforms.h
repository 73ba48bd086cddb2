#pragma once

#include <string>
#include <vector>

#include "gfx/Gl.h"

// A uniform the linked program uses, as GL reports it.
struct ActiveUniform {
    std::string name;  // an array's as its first element's, "glow[0]"
    GLenum type;
    GLint size;        // elements of an array, else 1
};

// Every uniform the program uses; none for program 0 or one that did not link.
std::vector<ActiveUniform> ActiveUniforms(GLuint program);
