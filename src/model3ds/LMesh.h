#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "model3ds/LObject.h"
#include "model3ds/MeshTypes.h"

// A triangle mesh as read from a 3DS file, finished with vertex normals by
// smoothing group and a tangent frame. Every list is contiguous, so the
// address of its first element is an OpenGL array pointer with stride 0.
// vertices, normals, binormals, tangents and uvs always share one length,
// as do triangles and faces.
class LMesh : public LObject {
public:
    // 16-bit indices address this many vertices; splitting never goes past it.
    static constexpr std::size_t maxVertices = 65536;

    LMesh();
    ~LMesh() override;

    LMesh(const LMesh&) = default;
    LMesh& operator=(const LMesh&) = default;

    void ClearMesh();

    // Resizing keeps existing elements; new ones are all zeros.
    void SetVertexCount(std::size_t count);
    void SetFaceCount(std::size_t count);

    // Out-of-range indices are ignored.
    void SetVertex(std::size_t index, Float4 vertex);
    void SetUV(std::size_t index, Float2 uv);
    void SetFace(std::size_t index, const Face& face);

    // Returns the position of the appended id.
    std::size_t AddMaterialId(std::uint32_t id);
    void SetMatrix(const Matrix4& newMatrix);

    std::size_t VertexCount() const { return vertices.size(); }
    std::size_t FaceCount() const { return faces.size(); }

    // Element addresses, unchecked.
    const Float4* Vertex(std::size_t index) const { return vertices.data() + index; }
    const Float3* Normal(std::size_t index) const { return normals.data() + index; }
    const Float3* Binormal(std::size_t index) const { return binormals.data() + index; }
    const Float2* UV(std::size_t index) const { return uvs.data() + index; }
    const Triangle* TriangleAt(std::size_t index) const { return triangles.data() + index; }
    const Face* FaceAt(std::size_t index) const { return faces.data() + index; }

    // Face normals, a copy of every vertex shared by faces of different
    // smoothing-group values, vertex normals averaged per group, and the
    // drawing indices. A face naming a vertex that does not exist touches
    // no vertex and draws as a point at vertex 0, that is, not at all.
    void ComputeNormals();

    // Face tangents and binormals from the texture coordinates, summed per
    // vertex. Needs the normals of ComputeNormals.
    void ComputeTangentSpace();

    std::vector<Float4> vertices;  // w = 1 as read
    std::vector<Float3> normals;
    std::vector<Float3> binormals;
    std::vector<Float3> tangents;
    std::vector<Float2> uvs;
    std::vector<Triangle> triangles;
    std::vector<Face> faces;
    Matrix4 matrix;  // the file's local coordinate system, never applied
    std::vector<std::uint32_t> materialIds;

private:
    bool NamesExistingVertices(const Face& face) const;
    // For every vertex the faces that use it, in ascending order, a face
    // once per corner; stored as one array with a start per vertex.
    struct VertexFaceLists {
        std::vector<std::uint32_t> starts;  // vertex count + 1 entries
        std::vector<std::uint32_t> faces;
        std::size_t VertexCount() const { return starts.size() - 1; }
        std::span<const std::uint32_t> Of(std::size_t vertex) const
        {
            return {faces.data() + starts[vertex], faces.data() + starts[vertex + 1]};
        }
    };
    VertexFaceLists VertexFaces() const;
    void ComputeFaceNormals();
    void SplitBySmoothingGroup();
    void AppendCopyOfVertex(std::size_t source);
};
