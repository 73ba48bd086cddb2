#pragma once

#include <string>

#include "gfx/Gl.h"

// The first mesh of a 3DS file compiled once into a display list, with the
// vertex attributes an effect asks for; drawing it is one glCallList.
class MeshDisplayList {
public:
    // Bits of the attribute set; positions are always compiled in.
    enum Arrays : int { Normals = 1, TextureCoordinates = 2, Colours = 4 };

    // Colours come from the mesh's binormals. A file without a mesh, or one
    // that cannot be read, gives an empty list and one line of debug output.
    MeshDisplayList(const std::string& fileName, int arrays);
    ~MeshDisplayList();

    MeshDisplayList(const MeshDisplayList&) = delete;
    MeshDisplayList& operator=(const MeshDisplayList&) = delete;

    GLuint listId = 0;
};
