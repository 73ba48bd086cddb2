#pragma once

#include <string>
#include <vector>

#include "gfx/ClipBounds.h"
#include "gfx/Gl.h"

// The first mesh of a 3DS file compiled once into a display list, with the
// vertex attributes an effect asks for; drawing it is one glCallList.
class MeshDisplayList {
public:
    // Bits of the attribute set; positions are always compiled in.
    enum Arrays : int { Normals = 1, TextureCoordinates = 2, Colours = 4 };

    // A run of the mesh's triangles, in file order, in a list of its own,
    // with the box that holds its vertices.
    struct Part {
        GLuint listId = 0;
        Box bounds;
    };

    // Colours come from the mesh's binormals. A file without a mesh, or one
    // that cannot be read, gives an empty list and one line of debug output.
    // With trianglesPerPart above 0 the mesh is also compiled in parts of
    // that many triangles (the last may hold fewer), and the whole list
    // calls them in order.
    MeshDisplayList(const std::string& fileName, int arrays, int trianglesPerPart = 0);
    ~MeshDisplayList();

    MeshDisplayList(const MeshDisplayList&) = delete;
    MeshDisplayList& operator=(const MeshDisplayList&) = delete;

    GLuint listId = 0;
    std::vector<Part> parts;

private:
    GLsizei listCount = 0;
};
