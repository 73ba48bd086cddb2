#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "model3ds/LMesh.h"
#include "model3ds/ModelFiles.h"

namespace {

// The mesh the reader would build from a generator mesh, before post-processing.
LMesh MeshFrom(const ModelMesh& model)
{
    LMesh mesh;
    mesh.SetVertexCount(model.positions.size());
    for (std::size_t i = 0; i < model.positions.size(); ++i) {
        const auto& p = model.positions[i];
        mesh.SetVertex(i, {p[0], p[1], p[2], 1.0f});
        if (i < model.uvs.size()) {
            mesh.SetUV(i, {model.uvs[i][0], model.uvs[i][1]});
        }
    }
    mesh.SetFaceCount(model.faces.size());
    for (std::size_t i = 0; i < model.faces.size(); ++i) {
        const ModelFace& f = model.faces[i];
        Face face;
        face.a = f.a;
        face.b = f.b;
        face.c = f.c;
        face.smoothingGroups = f.smoothingGroups;
        mesh.SetFace(i, face);
    }
    return mesh;
}

void Finish(LMesh& mesh)
{
    mesh.ComputeNormals();
    mesh.ComputeTangentSpace();
}

::testing::AssertionResult Near(Float3 actual, Float3 expected)
{
    const float tolerance = 1e-5f;
    if (std::fabs(actual.x - expected.x) > tolerance || std::fabs(actual.y - expected.y) > tolerance ||
        std::fabs(actual.z - expected.z) > tolerance) {
        return ::testing::AssertionFailure() << "(" << actual.x << ", " << actual.y << ", " << actual.z << ") instead of ("
                                             << expected.x << ", " << expected.y << ", " << expected.z << ")";
    }
    return ::testing::AssertionSuccess();
}

bool IsZero(Float3 v)
{
    return v.x == 0.0f && v.y == 0.0f && v.z == 0.0f;
}

Float3 FaceNormalOfSide(std::size_t face)
{
    const Float3 normals[6] = {{-1, 0, 0}, {1, 0, 0}, {0, -1, 0}, {0, 1, 0}, {0, 0, -1}, {0, 0, 1}};
    return normals[face / 2];
}

}  // namespace

TEST(LMeshStorage, ResizingKeepsElementsAndSettersIgnoreIndicesOutOfRange)
{
    LMesh mesh;
    mesh.SetVertexCount(2);
    mesh.SetVertex(1, {1, 2, 3, 1});
    mesh.SetUV(1, {0.5f, 0.25f});
    mesh.SetVertex(2, {9, 9, 9, 9});
    mesh.SetUV(2, {9, 9});
    mesh.SetVertexCount(4);
    ASSERT_EQ(mesh.VertexCount(), 4u);
    EXPECT_EQ(mesh.normals.size(), 4u);
    EXPECT_EQ(mesh.tangents.size(), 4u);
    EXPECT_EQ(mesh.binormals.size(), 4u);
    EXPECT_EQ(mesh.uvs.size(), 4u);
    EXPECT_EQ(mesh.vertices[1].z, 3.0f);
    EXPECT_EQ(mesh.uvs[1].v, 0.25f);
    EXPECT_EQ(mesh.vertices[2].x, 0.0f);
    EXPECT_EQ(mesh.uvs[2].u, 0.0f);

    mesh.SetFaceCount(1);
    Face face;
    face.b = 3;
    mesh.SetFace(5, face);
    EXPECT_EQ(mesh.FaceCount(), 1u);
    EXPECT_EQ(mesh.triangles.size(), 1u);
    EXPECT_EQ(mesh.faces[0].b, 0);

    EXPECT_EQ(mesh.AddMaterialId(7), 0u);
    EXPECT_EQ(mesh.AddMaterialId(2), 1u);
    mesh.matrix.m[3] = 5.0f;
    mesh.ClearMesh();
    EXPECT_EQ(mesh.VertexCount(), 0u);
    EXPECT_EQ(mesh.FaceCount(), 0u);
    EXPECT_TRUE(mesh.materialIds.empty());
    EXPECT_EQ(mesh.matrix.m[3], 0.0f);
    EXPECT_EQ(mesh.matrix.m[0], 1.0f);
    EXPECT_EQ(mesh.matrix.m[15], 1.0f);
}

TEST(LMeshNormals, CubeWithSixSmoothingGroupsGetsTwentyFourVerticesWithFlatNormals)
{
    LMesh mesh = MeshFrom(CubeMesh({1, 2, 4, 8, 16, 32}));
    Finish(mesh);
    ASSERT_EQ(mesh.VertexCount(), 24u);
    for (std::size_t i = 0; i < mesh.FaceCount(); ++i) {
        const Triangle& t = mesh.triangles[i];
        for (const std::uint16_t corner : {t.a, t.b, t.c}) {
            EXPECT_TRUE(Near(mesh.normals[corner], FaceNormalOfSide(i))) << "face " << i << " corner " << corner;
        }
    }
    // The copies stand where their originals do.
    std::set<std::tuple<float, float, float>> positions;
    for (const Float4& v : mesh.vertices) {
        positions.insert({v.x, v.y, v.z});
    }
    EXPECT_EQ(positions.size(), 8u);
}

TEST(LMeshNormals, OneSmoothingGroupKeepsTheVerticesAndAveragesNormals)
{
    // A pyramid over the unit square: the apex sits above its centre.
    ModelMesh pyramid;
    pyramid.positions = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0.5f, 0.5f, 1}};
    pyramid.faces = {{0, 1, 4, 1}, {1, 2, 4, 1}, {2, 3, 4, 1}, {3, 0, 4, 1}};
    LMesh mesh = MeshFrom(pyramid);
    Finish(mesh);
    ASSERT_EQ(mesh.VertexCount(), 5u);
    EXPECT_TRUE(Near(mesh.normals[4], {0, 0, 1}));
    // Corner 0 lies on the sides facing -y and -x, which lean the same way.
    const Float3 corner = mesh.normals[0];
    EXPECT_NEAR(corner.x, corner.y, 1e-6f);
    EXPECT_LT(corner.x, 0.0f);
    EXPECT_GT(corner.z, 0.0f);
    EXPECT_NEAR(corner.x * corner.x + corner.y * corner.y + corner.z * corner.z, 1.0f, 1e-5f);
}

TEST(LMeshNormals, GroupsAreWholeValuesNotSharedBits)
{
    // Two faces of a fold share an edge; values 1 and 3 share bit 0.
    ModelMesh fold;
    fold.positions = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 0, 1}};
    fold.faces = {{0, 1, 2, 1}, {0, 1, 3, 3}};
    LMesh mesh = MeshFrom(fold);
    Finish(mesh);
    ASSERT_EQ(mesh.VertexCount(), 6u);
    // The first face keeps the shared vertices; the second gets the copies,
    // appended in the order of the vertices they copy.
    EXPECT_EQ(mesh.triangles[0].a, 0);
    EXPECT_EQ(mesh.triangles[0].b, 1);
    EXPECT_EQ(mesh.triangles[1].a, 4);
    EXPECT_EQ(mesh.triangles[1].b, 5);
    EXPECT_EQ(mesh.triangles[1].c, 3);
    EXPECT_EQ(mesh.vertices[5].x, 1.0f);
    EXPECT_TRUE(Near(mesh.normals[0], {0, 0, 1}));
    EXPECT_TRUE(Near(mesh.normals[1], {0, 0, 1}));
    EXPECT_TRUE(Near(mesh.normals[4], {0, -1, 0}));
    EXPECT_TRUE(Near(mesh.normals[5], {0, -1, 0}));
}

TEST(LMeshNormals, VerticesWithoutUsableFacesKeepZeroVectors)
{
    // Vertex 3 is used by no face, vertex 4 only by a face whose corners
    // lie on one line.
    ModelMesh mesh3;
    mesh3.positions = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {5, 5, 5}, {2, 0, 0}};
    mesh3.uvs = {{0, 0}, {1, 0}, {0, 1}, {0.5f, 0.5f}, {1, 1}};
    mesh3.faces = {{0, 1, 2, 1}, {0, 1, 4, 1}};
    LMesh mesh = MeshFrom(mesh3);
    Finish(mesh);
    EXPECT_TRUE(IsZero(mesh.normals[3]));
    EXPECT_TRUE(IsZero(mesh.tangents[3]));
    EXPECT_TRUE(IsZero(mesh.binormals[3]));
    EXPECT_TRUE(IsZero(mesh.faces[1].normal));
    EXPECT_TRUE(IsZero(mesh.normals[4]));
    // The collinear face adds nothing to the corners it shares.
    EXPECT_TRUE(Near(mesh.normals[0], {0, 0, 1}));
}

TEST(LMeshNormals, FacesNamingMissingVerticesAreLeftOut)
{
    ModelMesh square = SquareMesh("Square", 0.0f, 0.0f, 1.0f);
    LMesh mesh = MeshFrom(square);
    Face broken;
    broken.a = 0;
    broken.b = 2;
    broken.c = 900;
    broken.smoothingGroups = 8;  // would split 0 and 2 if it counted
    mesh.SetFaceCount(3);
    mesh.SetFace(2, broken);
    Finish(mesh);
    EXPECT_EQ(mesh.VertexCount(), 4u);
    EXPECT_TRUE(Near(mesh.normals[0], {0, 0, 1}));
    const Triangle& drawn = mesh.triangles[2];
    EXPECT_EQ(drawn.a, 0);
    EXPECT_EQ(drawn.b, 0);
    EXPECT_EQ(drawn.c, 0);
    EXPECT_TRUE(IsZero(mesh.faces[2].tangent));
}

TEST(LMeshNormals, SplittingStopsWhereSixteenBitIndicesEnd)
{
    // Vertex 0 meets three groups and needs two copies, but only one more
    // vertex fits below 65536.
    LMesh mesh;
    mesh.SetVertexCount(LMesh::maxVertices - 1);
    for (std::size_t i = 0; i < 7; ++i) {
        mesh.SetVertex(i, {static_cast<float>(i % 3), static_cast<float>(i / 3), 0.0f, 1.0f});
    }
    mesh.SetFaceCount(3);
    const std::uint32_t groups[3] = {1, 2, 4};
    for (std::uint16_t i = 0; i < 3; ++i) {
        Face face;
        face.a = 0;
        face.b = static_cast<std::uint16_t>(2 * i + 1);
        face.c = static_cast<std::uint16_t>(2 * i + 2);
        face.smoothingGroups = groups[i];
        mesh.SetFace(i, face);
    }
    Finish(mesh);
    EXPECT_EQ(mesh.VertexCount(), LMesh::maxVertices);
    EXPECT_EQ(mesh.triangles[0].a, 0);
    EXPECT_EQ(mesh.triangles[1].a, 65535);
    EXPECT_EQ(mesh.triangles[2].a, 0);
}

TEST(LMeshTangents, UnitTriangleWithMatchingTextureCoordinates)
{
    ModelMesh triangle;
    triangle.positions = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    triangle.uvs = {{0, 0}, {1, 0}, {0, 1}};
    triangle.faces = {{0, 1, 2, 1}};
    LMesh mesh = MeshFrom(triangle);
    Finish(mesh);
    EXPECT_TRUE(Near(mesh.faces[0].tangent, {1, 0, 0}));
    EXPECT_TRUE(Near(mesh.faces[0].binormal, {0, 1, 0}));
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_TRUE(Near(mesh.tangents[i], {1, 0, 0}));
        // cross(tangent, normal) with the normal (0, 0, 1)
        EXPECT_TRUE(Near(mesh.binormals[i], {0, -1, 0}));
    }
}

TEST(LMeshTangents, ScaledTextureCoordinatesGiveLongerFaceVectorsButUnitVertexOnes)
{
    ModelMesh triangle;
    triangle.positions = {{0, 0, 0}, {4, 0, 0}, {0, 2, 0}};
    triangle.uvs = {{0, 0}, {1, 0}, {0, 1}};
    triangle.faces = {{0, 1, 2, 1}};
    LMesh mesh = MeshFrom(triangle);
    Finish(mesh);
    EXPECT_TRUE(Near(mesh.faces[0].tangent, {4, 0, 0}));
    EXPECT_TRUE(Near(mesh.faces[0].binormal, {0, 2, 0}));
    EXPECT_TRUE(Near(mesh.tangents[1], {1, 0, 0}));
}

TEST(LMeshTangents, FlatTextureTriangleContributesZeroNeverNaN)
{
    // Without texture coordinates every face has zero area in texture space;
    // so has a face whose coordinates lie on one line.
    for (const bool collinear : {false, true}) {
        ModelMesh square = SquareMesh("Square", 0.0f, 0.0f, 1.0f);
        square.uvs = collinear ? std::vector<std::array<float, 2>>{{0, 0}, {1, 1}, {2, 2}, {3, 3}}
                               : std::vector<std::array<float, 2>>{};
        LMesh mesh = MeshFrom(square);
        Finish(mesh);
        for (const Face& face : mesh.faces) {
            EXPECT_TRUE(IsZero(face.tangent)) << collinear;
            EXPECT_TRUE(IsZero(face.binormal)) << collinear;
        }
        for (std::size_t i = 0; i < mesh.VertexCount(); ++i) {
            EXPECT_TRUE(IsZero(mesh.tangents[i])) << collinear;
            EXPECT_TRUE(IsZero(mesh.binormals[i])) << collinear;
        }
    }
}
