#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

#include "AssetList.h"
#include "support/TemporaryFolder.h"
#include "model/Models.h"
#include "model3ds/L3DS.h"

namespace {

const std::filesystem::path builtData = BUILT_DATA_DIR;

float Length(Float3 v)
{
    return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
}

struct Extent {
    float across = 0.0f;  // the largest of width, height and depth
    float centreOffset = 0.0f;
};

Extent ExtentOf(const LMesh& mesh)
{
    float low[3] = {std::numeric_limits<float>::max(), std::numeric_limits<float>::max(), std::numeric_limits<float>::max()};
    float high[3] = {std::numeric_limits<float>::lowest(), std::numeric_limits<float>::lowest(), std::numeric_limits<float>::lowest()};
    for (const Float4& v : mesh.vertices) {
        const float p[3] = {v.x, v.y, v.z};
        for (int k = 0; k < 3; ++k) {
            low[k] = std::min(low[k], p[k]);
            high[k] = std::max(high[k], p[k]);
        }
    }
    Extent extent;
    for (int k = 0; k < 3; ++k) {
        extent.across = std::max(extent.across, high[k] - low[k]);
        extent.centreOffset = std::max(extent.centreOffset, std::fabs(high[k] + low[k]) / 2.0f);
    }
    return extent;
}

}  // namespace

TEST(ModelWriter, WhatItWritesTheReaderReadsBack)
{
    for (const ModelAsset& asset : ModelAssets()) {
        SCOPED_TRACE(asset.file.string());
        const ModelScene scene = asset.build();
        ASSERT_EQ(scene.meshes.size(), 1u);
        const ModelMesh& written = scene.meshes[0];
        const TemporaryFolder folder;
        WriteModel(asset, folder.Path());
        const L3DS loader((folder.Path() / asset.file).string());
        ASSERT_EQ(loader.meshes.size(), 1u);
        ASSERT_EQ(loader.materials.size(), scene.materials.size());
        EXPECT_EQ(loader.materials[0].Name(), scene.materials[0].name);

        const LMesh& read = loader.MeshAt(0);
        EXPECT_EQ(read.Name(), written.name);
        ASSERT_EQ(read.FaceCount(), written.faces.size());
        ASSERT_GE(read.VertexCount(), written.positions.size());
        for (std::size_t i = 0; i < written.positions.size(); ++i) {
            ASSERT_EQ(read.vertices[i].x, written.positions[i][0]) << i;
            ASSERT_EQ(read.vertices[i].y, written.positions[i][1]) << i;
            ASSERT_EQ(read.vertices[i].z, written.positions[i][2]) << i;
            ASSERT_EQ(read.uvs[i].u, written.uvs[i][0]) << i;
            ASSERT_EQ(read.uvs[i].v, written.uvs[i][1]) << i;
        }
        for (std::size_t i = 0; i < written.faces.size(); ++i) {
            ASSERT_EQ(read.faces[i].smoothingGroups, written.faces[i].smoothingGroups) << i;
            ASSERT_EQ(read.faces[i].materialId, 0u) << i;
            // Split vertices stand where the written ones did.
            const Float4& drawn = read.vertices[read.triangles[i].a];
            const auto& original = written.positions[written.faces[i].a];
            ASSERT_EQ(drawn.x, original[0]) << i;
            ASSERT_EQ(drawn.z, original[2]) << i;
        }
    }
}

TEST(ShowModels, AreSizedAndDetailedForTheirEffects)
{
    for (const ModelAsset& asset : ModelAssets()) {
        SCOPED_TRACE(asset.file.string());
        const L3DS loader((builtData / asset.file).string());
        ASSERT_EQ(loader.meshes.size(), 1u);
        const LMesh& mesh = loader.MeshAt(0);
        EXPECT_GE(mesh.FaceCount(), 2000u);
        EXPECT_LE(mesh.FaceCount(), 10000u);
        const Extent extent = ExtentOf(mesh);
        // The knot is seen 500 units away and should fill a good part of
        // the frame; the ring tumbles in fog from 300 to 400 units.
        const float largest = asset.file == "rubber/simple.3ds" ? 400.0f : 260.0f;
        EXPECT_GE(extent.across, 150.0f);
        EXPECT_LE(extent.across, largest);
        EXPECT_LT(extent.centreOffset, 0.04f * extent.across);
        const auto textured = std::count_if(mesh.uvs.begin(), mesh.uvs.end(), [](Float2 t) { return t.u != 0.0f || t.v != 0.0f; });
        EXPECT_GT(textured, static_cast<long>(mesh.VertexCount() / 2));
    }
}

TEST(ShowModels, FacesLookOutwardsWithSmoothNormals)
{
    // Faces wound outwards enclose a positive volume (the sum of each
    // face's centroid dotted with its area vector is three times it).
    // Every corner's normal stays close to its face's: no vertex averages
    // across a crease. Every vertex has a unit normal and tangent, so
    // nothing shows black when culled, lit or environment-mapped.
    for (const ModelAsset& asset : ModelAssets()) {
        SCOPED_TRACE(asset.file.string());
        const L3DS loader((builtData / asset.file).string());
        ASSERT_EQ(loader.meshes.size(), 1u);
        const LMesh& mesh = loader.MeshAt(0);
        double volume = 0.0;
        for (const Triangle& t : mesh.triangles) {
            const Float4& a = mesh.vertices[t.a];
            const Float4& b = mesh.vertices[t.b];
            const Float4& c = mesh.vertices[t.c];
            const Float3 area = Cross({b.x - a.x, b.y - a.y, b.z - a.z}, {c.x - a.x, c.y - a.y, c.z - a.z});
            volume += ((a.x + b.x + c.x) * area.x + (a.y + b.y + c.y) * area.y + (a.z + b.z + c.z) * area.z) / 18.0;
        }
        EXPECT_GT(volume, 1e5);
        float leastAgreement = 1.0f;
        for (const Face& face : mesh.faces) {
            for (const std::uint16_t corner : {face.a, face.b, face.c}) {
                const Float3 n = mesh.normals[corner];
                leastAgreement = std::min(leastAgreement, n.x * face.normal.x + n.y * face.normal.y + n.z * face.normal.z);
            }
        }
        EXPECT_GT(leastAgreement, 0.9f);
        for (std::size_t i = 0; i < mesh.VertexCount(); ++i) {
            ASSERT_NEAR(Length(mesh.normals[i]), 1.0f, 1e-4f) << i;
            ASSERT_NEAR(Length(mesh.tangents[i]), 1.0f, 1e-4f) << i;
        }
    }
}

TEST(ShowModels, CreasesOnlyWhereTheFormHasThem)
{
    // The knot is one smooth tube: no vertex is split. The ring's six
    // sides meet at creases: each of its 6 x 128 corner vertices is split
    // once, and nothing else is.
    const ModelScene knot = Models::TorusKnot();
    const ModelScene ring = Models::TwistedRing();
    const L3DS knotLoader((builtData / "rubber/simple.3ds").string());
    const L3DS ringLoader((builtData / "misc/simple.3ds").string());
    ASSERT_EQ(knotLoader.meshes.size(), 1u);
    ASSERT_EQ(ringLoader.meshes.size(), 1u);
    EXPECT_EQ(knotLoader.MeshAt(0).VertexCount(), knot.meshes[0].positions.size());
    EXPECT_EQ(ringLoader.MeshAt(0).VertexCount(), ring.meshes[0].positions.size() + 6 * 128);
}
