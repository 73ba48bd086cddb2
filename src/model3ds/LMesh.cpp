#include "model3ds/LMesh.h"

#include <algorithm>
#include <cmath>

namespace {

Float3 Position(const Float4& vertex)
{
    return {vertex.x, vertex.y, vertex.z};
}

Matrix4 Identity()
{
    Matrix4 identity;
    for (std::size_t i = 0; i < 4; ++i) {
        identity.m[i * 5] = 1.0f;
    }
    return identity;
}

bool IsFinite(Float3 v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

}  // namespace

LMesh::LMesh()
{
    ClearMesh();
}

LMesh::~LMesh()
{
    ClearMesh();
}

void LMesh::ClearMesh()
{
    vertices.clear();
    normals.clear();
    binormals.clear();
    tangents.clear();
    uvs.clear();
    triangles.clear();
    faces.clear();
    materialIds.clear();
    matrix = Identity();
}

void LMesh::SetVertexCount(std::size_t count)
{
    vertices.resize(count);
    normals.resize(count);
    uvs.resize(count);
    tangents.resize(count);
    binormals.resize(count);
}

void LMesh::SetFaceCount(std::size_t count)
{
    triangles.resize(count);
    faces.resize(count);
}

void LMesh::SetVertex(std::size_t index, Float4 vertex)
{
    if (index < vertices.size()) {
        vertices[index] = vertex;
    }
}

void LMesh::SetUV(std::size_t index, Float2 uv)
{
    if (index < uvs.size()) {
        uvs[index] = uv;
    }
}

void LMesh::SetFace(std::size_t index, const Face& face)
{
    if (index < faces.size()) {
        faces[index] = face;
    }
}

std::size_t LMesh::AddMaterialId(std::uint32_t id)
{
    materialIds.push_back(id);
    return materialIds.size() - 1;
}

void LMesh::SetMatrix(const Matrix4& newMatrix)
{
    matrix = newMatrix;
}

bool LMesh::NamesExistingVertices(const Face& face) const
{
    const std::size_t count = vertices.size();
    return face.a < count && face.b < count && face.c < count;
}

LMesh::VertexFaceLists LMesh::VertexFaces() const
{
    VertexFaceLists lists;
    lists.starts.assign(vertices.size() + 1, 0);
    for (const Face& face : faces) {
        if (NamesExistingVertices(face)) {
            ++lists.starts[face.a + 1u];
            ++lists.starts[face.b + 1u];
            ++lists.starts[face.c + 1u];
        }
    }
    for (std::size_t vertex = 1; vertex < lists.starts.size(); ++vertex) {
        lists.starts[vertex] += lists.starts[vertex - 1];
    }
    lists.faces.resize(lists.starts.back());
    std::vector<std::uint32_t> next(lists.starts.begin(), lists.starts.end() - 1);
    for (std::size_t i = 0; i < faces.size(); ++i) {
        const Face& face = faces[i];
        if (!NamesExistingVertices(face)) {
            continue;
        }
        for (const std::uint16_t corner : {face.a, face.b, face.c}) {
            lists.faces[next[corner]++] = static_cast<std::uint32_t>(i);
        }
    }
    return lists;
}

void LMesh::ComputeFaceNormals()
{
    for (Face& face : faces) {
        if (!NamesExistingVertices(face)) {
            face.normal = {};
            continue;
        }
        const Float3 a = Position(vertices[face.a]);
        const Float3 b = Position(vertices[face.b]);
        const Float3 c = Position(vertices[face.c]);
        face.normal = Normalize(Cross(b - c, b - a));
    }
}

void LMesh::AppendCopyOfVertex(std::size_t source)
{
    vertices.push_back(vertices[source]);
    normals.push_back(normals[source]);
    uvs.push_back(uvs[source]);
    tangents.push_back(tangents[source]);
    binormals.push_back(binormals[source]);
}

void LMesh::SplitBySmoothingGroup()
{
    const VertexFaceLists lists = VertexFaces();
    std::vector<std::uint32_t> groupValues;
    std::vector<std::vector<std::uint32_t>> groups;
    for (std::size_t h = 0; h < lists.VertexCount(); ++h) {
        const std::span<const std::uint32_t> around = lists.Of(h);
        const auto sameGroup = [&](std::uint32_t faceIndex) {
            return faces[faceIndex].smoothingGroups == faces[around.front()].smoothingGroups;
        };
        if (around.empty() || std::all_of(around.begin(), around.end(), sameGroup)) {
            continue;
        }
        groupValues.clear();
        groups.clear();
        for (const std::uint32_t faceIndex : around) {
            const std::uint32_t value = faces[faceIndex].smoothingGroups;
            std::size_t group = 0;
            while (group < groupValues.size() && groupValues[group] != value) {
                ++group;
            }
            if (group == groupValues.size()) {
                groupValues.push_back(value);
                groups.emplace_back();
            }
            groups[group].push_back(faceIndex);
        }
        // Group 0 keeps vertex h; every further group gets a copy of it,
        // while 16-bit indices can still address the copy.
        for (std::size_t group = 1; group < groups.size() && vertices.size() < maxVertices; ++group) {
            AppendCopyOfVertex(h);
            const auto copy = static_cast<std::uint16_t>(vertices.size() - 1);
            for (const std::uint32_t faceIndex : groups[group]) {
                Face& face = faces[faceIndex];
                for (std::uint16_t* corner : {&face.a, &face.b, &face.c}) {
                    if (*corner == h) {
                        *corner = copy;
                    }
                }
            }
        }
    }
}

void LMesh::ComputeNormals()
{
    ComputeFaceNormals();
    SplitBySmoothingGroup();
    const VertexFaceLists lists = VertexFaces();
    for (std::size_t vertex = 0; vertex < lists.VertexCount(); ++vertex) {
        Float3 sum;
        for (const std::uint32_t faceIndex : lists.Of(vertex)) {
            sum = sum + faces[faceIndex].normal;
        }
        normals[vertex] = Normalize(sum);
    }
    for (std::size_t i = 0; i < faces.size(); ++i) {
        const Face& face = faces[i];
        triangles[i] = NamesExistingVertices(face) ? Triangle{face.a, face.b, face.c} : Triangle{};
    }
}

void LMesh::ComputeTangentSpace()
{
    for (Face& face : faces) {
        face.tangent = {};
        face.binormal = {};
        if (!NamesExistingVertices(face)) {
            continue;
        }
        const Float4& pa = vertices[face.a];
        const Float4& pb = vertices[face.b];
        const Float4& pc = vertices[face.c];
        const Float2& ta = uvs[face.a];
        const Float2& tb = uvs[face.b];
        const Float2& tc = uvs[face.c];
        // One cross product per coordinate; its x is the face's doubled
        // signed area in texture space, the same for all three.
        const auto slopes = [&](float a, float b, float c) {
            return Cross({b - a, tb.u - ta.u, tb.v - ta.v}, {c - a, tc.u - ta.u, tc.v - ta.v});
        };
        const Float3 cx = slopes(pa.x, pb.x, pc.x);
        const Float3 cy = slopes(pa.y, pb.y, pc.y);
        const Float3 cz = slopes(pa.z, pb.z, pc.z);
        if (cx.x == 0.0f) {
            continue;  // no area in texture space: no direction to give
        }
        const Float3 tangent{-cx.y / cx.x, -cy.y / cy.x, -cz.y / cz.x};
        const Float3 binormal{-cx.z / cx.x, -cy.z / cy.x, -cz.z / cz.x};
        if (IsFinite(tangent) && IsFinite(binormal)) {
            face.tangent = tangent;
            face.binormal = binormal;
        }
    }
    const VertexFaceLists lists = VertexFaces();
    for (std::size_t vertex = 0; vertex < lists.VertexCount(); ++vertex) {
        Float3 sum;
        for (const std::uint32_t faceIndex : lists.Of(vertex)) {
            sum = sum + faces[faceIndex].tangent;
        }
        tangents[vertex] = Normalize(sum);
        binormals[vertex] = Normalize(Cross(tangents[vertex], normals[vertex]));
    }
}
