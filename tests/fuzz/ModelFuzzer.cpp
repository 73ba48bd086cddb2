// Feeds arbitrary bytes to the 3D Studio reader, which also gives every mesh
// its normals by smoothing group and its tangent frame, and checks what a
// mesh promises the code that draws it: its per-vertex lists share one
// length, its triangles match its faces, and every index names a vertex.

#include <cstdint>
#include <vector>

#include "model3ds/L3DS.h"

namespace {

void Require(bool promise)
{
    if (!promise) {
        __builtin_trap();
    }
}

void CheckMesh(const LMesh& mesh)
{
    const std::size_t vertices = mesh.vertices.size();
    Require(vertices <= LMesh::maxVertices);
    Require(mesh.normals.size() == vertices && mesh.binormals.size() == vertices && mesh.tangents.size() == vertices &&
            mesh.uvs.size() == vertices);
    Require(mesh.triangles.size() == mesh.faces.size());
    for (const Triangle& triangle : mesh.triangles) {
        // A face naming no vertex draws as a point at vertex 0; a mesh
        // without vertices draws nothing, whatever its indices.
        Require(vertices == 0 || (triangle.a < vertices && triangle.b < vertices && triangle.c < vertices));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    L3DS scene("");
    scene.LoadFromBytes(std::vector<std::uint8_t>(data, data + size));
    for (const LMesh& mesh : scene.meshes) {
        CheckMesh(mesh);
    }
    return 0;
}
