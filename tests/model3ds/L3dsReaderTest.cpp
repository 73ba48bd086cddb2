#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "core/FileReads.h"
#include "model3ds/L3DS.h"
#include "model3ds/ModelFiles.h"
#include "support/UnreadableFiles.h"

namespace {

// A main chunk around an editor chunk with the given contents, followed by
// an empty keyframer so nothing the tests read ends at the last byte.
std::vector<std::uint8_t> EditorFile(const std::function<void(ChunkWriter&)>& contents)
{
    ChunkWriter writer;
    writer.Begin(0x4D4D);
    writer.Begin(0x3D3D);
    contents(writer);
    writer.End();
    writer.Begin(0xB000);
    writer.End();
    writer.End();
    return writer.Bytes();
}

void NamedMaterial(ChunkWriter& writer, const std::string& name)
{
    ModelMaterial material;
    material.name = name;
    WriteMaterial(writer, material);
}

}  // namespace

TEST(L3dsReader, ReadsBackWhatTheWriterWrote)
{
    const TemporaryModelFile file(Write3ds(SampleScene()));
    const L3DS loader(file.Path());
    ASSERT_EQ(loader.materials.size(), 2u);
    const LMaterial& chrome = loader.materials[0];
    EXPECT_EQ(chrome.Name(), "Chrome");
    EXPECT_EQ(chrome.id, 0);
    EXPECT_EQ(loader.materials[1].id, 1);
    EXPECT_FLOAT_EQ(chrome.ambient.z, 0.3f);
    EXPECT_FLOAT_EQ(chrome.diffuse.y, 0.6f);
    EXPECT_FLOAT_EQ(chrome.specular.x, 1.0f);
    EXPECT_FLOAT_EQ(chrome.shininess, 0.75f);
    EXPECT_EQ(chrome.shading, 3);
    EXPECT_STREQ(chrome.textureMap.fileName.data(), "ENV.JPG");
    EXPECT_FLOAT_EQ(chrome.textureMap.strength, 1.0f);
    EXPECT_STREQ(loader.materials[1].textureMap.fileName.data(), "");

    ASSERT_EQ(loader.meshes.size(), 2u);
    const LMesh& cube = loader.MeshAt(0);
    EXPECT_EQ(cube.Name(), "Cube");
    EXPECT_EQ(cube.VertexCount(), 24u);  // six sides of their own
    EXPECT_EQ(cube.vertices[7].x, 1.0f);
    EXPECT_EQ(cube.vertices[7].z, 1.0f);
    EXPECT_EQ(cube.vertices[7].w, 1.0f);
    EXPECT_EQ(cube.uvs[3].u, 1.0f);
    EXPECT_EQ(cube.faces[11].smoothingGroups, 32u);
    EXPECT_EQ(cube.faces[0].materialId, 0u);
    EXPECT_EQ(cube.faces[8].materialId, 1u);
    ASSERT_EQ(cube.materialIds.size(), 2u);
    EXPECT_EQ(cube.materialIds[1], 1u);
    EXPECT_EQ(cube.matrix.m[0], 1.0f);
    EXPECT_EQ(cube.matrix.m[1], 0.0f);
    EXPECT_EQ(cube.matrix.m[15], 1.0f);
    EXPECT_EQ(cube.normals[cube.triangles[11].a].z, 1.0f);

    const LMesh& tile = loader.MeshAt(1);
    EXPECT_EQ(tile.Name(), "Tile");
    EXPECT_EQ(tile.VertexCount(), 4u);
    EXPECT_EQ(tile.FaceCount(), 2u);
    EXPECT_EQ(tile.vertices[1].x, 3.5f);
}

TEST(L3dsReader, LoadModelReportsWhetherTheSceneWasRead)
{
    const TemporaryModelFile file(Write3ds(SampleScene()));
    L3DS loader(file.Path());
    EXPECT_TRUE(loader.LoadModel(file.Path()));
    EXPECT_EQ(loader.meshes.size(), 2u);  // read again, not appended

    // A file that cannot be read whole keeps the previous scene.
    EXPECT_FALSE(loader.LoadModel(file.Path() + ".missing"));
    EXPECT_EQ(loader.meshes.size(), 2u);
    const TemporaryModelFile empty({});
    EXPECT_FALSE(loader.LoadModel(empty.Path()));
    EXPECT_EQ(loader.meshes.size(), 2u);

    // One that is read but is no 3DS scene leaves the scene empty.
    const TemporaryModelFile notAModel({'J', 'P', 'E', 'G', 0, 0, 0, 0, 0, 0});
    EXPECT_FALSE(loader.LoadModel(notAModel.Path()));
    EXPECT_TRUE(loader.meshes.empty());
    EXPECT_TRUE(loader.materials.empty());

    ChunkWriter noEditor;
    noEditor.Begin(0x4D4D);
    noEditor.Begin(0x0002);
    noEditor.U32(3);
    noEditor.End();
    noEditor.End();
    const TemporaryModelFile withoutEditor(noEditor.Bytes());
    EXPECT_FALSE(loader.LoadModel(withoutEditor.Path()));
}

TEST(L3dsReader, FilesTooShortForAChunkHaveNoMeshes)
{
    // Up to 2 bytes no id can be read; up to 6 no length.
    const std::vector<std::uint8_t> header = {0x4D, 0x4D, 0x20, 0, 0, 0, 0x3D};
    for (std::size_t size = 0; size <= 6; ++size) {
        const TemporaryModelFile file(std::vector<std::uint8_t>(header.begin(), header.begin() + size));
        L3DS loader(file.Path());
        EXPECT_FALSE(loader.LoadModel(file.Path())) << size;
        EXPECT_TRUE(loader.meshes.empty()) << size;
    }
}

TEST(L3dsReader, MaterialsStoredAfterTheObjectsAreKnownToEveryMesh)
{
    ModelMesh first = SquareMesh("First", 0.0f, 0.0f, 1.0f);
    first.groups = {{"Late", {1}}};
    ModelMesh second = SquareMesh("Second", 0.0f, 0.0f, 1.0f);
    second.groups = {{"Later", {0}}};
    const TemporaryModelFile file(EditorFile([&](ChunkWriter& writer) {
        WriteMeshObject(writer, first);
        NamedMaterial(writer, "Late");
        WriteMeshObject(writer, second);
        WriteMeshObject(writer, SquareMesh("Third", 0.0f, 0.0f, 1.0f));
        NamedMaterial(writer, "Later");
    }));
    const L3DS loader(file.Path());
    ASSERT_EQ(loader.materials.size(), 2u);
    ASSERT_EQ(loader.meshes.size(), 3u);
    EXPECT_EQ(loader.MeshAt(0).faces[1].materialId, 0u);
    EXPECT_EQ(loader.MeshAt(1).faces[0].materialId, 1u);
    EXPECT_EQ(loader.MeshAt(2).Name(), "Third");
}

TEST(L3dsReader, MaterialGroupsNamingNothingOrMissingFacesWriteNothing)
{
    ModelMesh mesh = SquareMesh("Square", 0.0f, 0.0f, 1.0f);
    mesh.groups = {{"Nowhere", {0, 1}}, {"Paint", {1, 2, 65535}}};
    ModelScene scene;
    scene.materials.resize(2);
    scene.materials[0].name = "Unused";
    scene.materials[1].name = "Paint";
    scene.meshes = {mesh};
    const TemporaryModelFile file(Write3ds(scene));
    const L3DS loader(file.Path());
    ASSERT_EQ(loader.meshes.size(), 1u);
    const LMesh& square = loader.MeshAt(0);
    ASSERT_EQ(square.materialIds.size(), 1u);
    EXPECT_EQ(square.materialIds[0], 1u);
    EXPECT_EQ(square.faces[0].materialId, 0u);
    EXPECT_EQ(square.faces[1].materialId, 1u);
    EXPECT_EQ(square.FaceCount(), 2u);
}

TEST(L3dsReader, ObjectsOtherThanMeshesAndLightsYieldNothing)
{
    const std::string longName(120, 'n');
    const TemporaryModelFile file(EditorFile([&](ChunkWriter& writer) {
        writer.Begin(0x4000);
        writer.CString("Camera01");
        writer.Begin(0x4700);
        for (int i = 0; i < 8; ++i) {
            writer.F32(1.0f);
        }
        writer.End();
        writer.End();
        WriteMeshObject(writer, SquareMesh(longName, 0.0f, 0.0f, 1.0f));
    }));
    const L3DS loader(file.Path());
    ASSERT_EQ(loader.meshes.size(), 1u);
    EXPECT_TRUE(loader.lights.empty());
    // The name is cut, and the mesh after it still read.
    EXPECT_EQ(loader.MeshAt(0).Name(), std::string(98, 'n'));
    EXPECT_EQ(loader.MeshAt(0).VertexCount(), 4u);
}

TEST(L3dsReader, TextureCoordinatesAndVerticesSizeTheArraysInFileOrder)
{
    const auto mesh = [](ChunkWriter& writer, std::uint16_t uvCount, std::uint16_t vertexCount, bool uvsFirst) {
        writer.Begin(0x4000);
        writer.CString("Mesh");
        writer.Begin(0x4100);
        const auto uvs = [&] {
            writer.Begin(0x4140);
            writer.U16(uvCount);
            for (std::uint16_t i = 0; i < uvCount; ++i) {
                writer.F32(i);
                writer.F32(0.5f);
            }
            writer.End();
        };
        const auto vertices = [&] {
            writer.Begin(0x4110);
            writer.U16(vertexCount);
            for (std::uint16_t i = 0; i < 3 * vertexCount; ++i) {
                writer.F32(10.0f);
            }
            writer.End();
        };
        if (uvsFirst) {
            uvs();
            vertices();
        } else {
            vertices();
            uvs();
        }
        writer.End();
        writer.End();
    };
    const TemporaryModelFile file(EditorFile([&](ChunkWriter& writer) {
        mesh(writer, 5, 3, true);
        mesh(writer, 5, 2, false);
    }));
    const L3DS loader(file.Path());
    ASSERT_EQ(loader.meshes.size(), 2u);
    const LMesh& uvsFirst = loader.MeshAt(0);
    EXPECT_EQ(uvsFirst.VertexCount(), 3u);
    EXPECT_EQ(uvsFirst.uvs.size(), 3u);
    EXPECT_EQ(uvsFirst.uvs[2].u, 2.0f);
    EXPECT_EQ(uvsFirst.vertices[2].y, 10.0f);
    const LMesh& extraUvs = loader.MeshAt(1);
    EXPECT_EQ(extraUvs.VertexCount(), 2u);
    EXPECT_EQ(extraUvs.uvs[1].u, 1.0f);
}

TEST(L3dsReader, MaterialNamesKeepTwentyNineCharacters)
{
    const std::string name = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmn";
    ASSERT_EQ(name.size(), 40u);
    const TemporaryModelFile file(EditorFile([&](ChunkWriter& writer) {
        NamedMaterial(writer, name);
        NamedMaterial(writer, "Short");
    }));
    const L3DS loader(file.Path());
    ASSERT_EQ(loader.materials.size(), 2u);
    EXPECT_EQ(loader.materials[0].Name(), name.substr(0, 29));
    EXPECT_EQ(loader.materials[1].Name(), "Short");
    EXPECT_NE(loader.FindMaterialByName("Short"), nullptr);
    EXPECT_EQ(loader.FindMaterialByName("short"), nullptr);
    EXPECT_EQ(loader.FindMaterialByName("Shor"), nullptr);
}

TEST(L3dsReader, MaterialBlocks)
{
    const TemporaryModelFile file(EditorFile([&](ChunkWriter& writer) {
        writer.Begin(0xAFFF);
        writer.Begin(0xA010);  // colour as bytes
        writer.Begin(0x0011);
        writer.U8(255);
        writer.U8(51);
        writer.U8(0);
        writer.End();
        writer.End();
        writer.Begin(0xA040);  // 150 percent, clamped
        writer.Begin(0x0030);
        writer.U16(150);
        writer.End();
        writer.End();
        writer.Begin(0xA050);  // a negative fraction, clamped
        writer.Begin(0x0031);
        writer.F32(-0.5f);
        writer.End();
        writer.End();
        writer.Begin(0xA100);  // not a shading type: ignored
        writer.U16(9);
        writer.End();
        writer.Begin(0xA230);
        writer.Begin(0x0030);
        writer.U16(40);
        writer.End();
        writer.Begin(0xA300);
        writer.CString("A_VERY_LONG_BUMP_MAP_NAME.JPG");
        writer.End();
        writer.Begin(0xA354);
        writer.F32(2.0f);
        writer.End();
        writer.Begin(0xA35C);
        writer.F32(45.0f);
        writer.End();
        writer.End();
        writer.Begin(0xA220);  // reflection map with an empty name
        writer.Begin(0x0030);
        writer.U16(20);
        writer.End();
        writer.Begin(0xA300);
        writer.CString("");
        writer.End();
        writer.End();
        writer.End();

        writer.Begin(0xAFFF);
        writer.Begin(0xA085);
        writer.End();
        writer.End();

        // A reflection map without its name drops the whole material.
        writer.Begin(0xAFFF);
        writer.Begin(0xA000);
        writer.CString("Dropped");
        writer.End();
        writer.Begin(0xA220);
        writer.Begin(0x0030);
        writer.U16(20);
        writer.End();
        writer.Begin(0xA354);
        writer.F32(2.0f);
        writer.End();
        writer.End();
        writer.End();

        NamedMaterial(writer, "After");
    }));
    const L3DS loader(file.Path());
    ASSERT_EQ(loader.materials.size(), 3u);
    const LMaterial& first = loader.materials[0];
    EXPECT_FLOAT_EQ(first.ambient.x, 1.0f);
    EXPECT_FLOAT_EQ(first.ambient.y, 0.2f);
    EXPECT_FLOAT_EQ(first.ambient.z, 0.0f);
    EXPECT_EQ(first.shininess, 1.0f);
    EXPECT_EQ(first.transparency, 0.0f);
    EXPECT_EQ(first.shading, 2);
    EXPECT_FLOAT_EQ(first.bumpMap.strength, 0.4f);
    EXPECT_STREQ(first.bumpMap.fileName.data(), "A_VERY_LONG_BUMP_MA");
    EXPECT_EQ(first.bumpMap.uScale, 2.0f);
    EXPECT_EQ(first.bumpMap.vScale, 1.0f);
    EXPECT_EQ(first.bumpMap.angle, 45.0f);
    EXPECT_FLOAT_EQ(first.reflectionMap.strength, 0.2f);
    EXPECT_STREQ(first.reflectionMap.fileName.data(), "auto");
    EXPECT_EQ(loader.materials[1].shading, 0);
    EXPECT_EQ(loader.materials[2].Name(), "After");
    EXPECT_EQ(loader.materials[2].id, 2);
}

TEST(L3dsReader, LightsAndAFloatEndingAtTheLastByte)
{
    ChunkWriter writer;
    writer.Begin(0x4D4D);
    writer.Begin(0x3D3D);
    writer.Begin(0x4000);
    writer.CString("Spot");
    writer.Begin(0x4600);
    writer.F32(1.0f);
    writer.F32(2.0f);
    writer.F32(3.0f);
    writer.Begin(0x0011);
    writer.U8(0);
    writer.U8(255);
    writer.U8(0);
    writer.End();
    writer.Begin(0x4610);
    for (const float value : {4.0f, 5.0f, 6.0f, 30.0f, 45.0f}) {
        writer.F32(value);
    }
    writer.End();
    writer.End();
    writer.End();
    // The last light's position is the end of the file: its z is not read.
    writer.Begin(0x4000);
    writer.CString("Omni");
    writer.Begin(0x4600);
    writer.F32(7.0f);
    writer.F32(8.0f);
    writer.F32(9.0f);
    writer.End();
    writer.End();
    writer.End();
    writer.End();
    const TemporaryModelFile file(writer.Bytes());
    const L3DS loader(file.Path());
    EXPECT_TRUE(loader.meshes.empty());
    ASSERT_EQ(loader.lights.size(), 2u);
    const LLight& spot = loader.lights[0];
    EXPECT_EQ(spot.Name(), "Spot");
    EXPECT_EQ(spot.position.z, 3.0f);
    EXPECT_EQ(spot.colour.y, 1.0f);
    EXPECT_EQ(spot.target.x, 4.0f);
    EXPECT_EQ(spot.hotspot, 30.0f);
    EXPECT_EQ(spot.falloff, 45.0f);
    const LLight& omni = loader.lights[1];
    EXPECT_EQ(omni.Name(), "Omni");
    EXPECT_EQ(omni.position.y, 8.0f);
    EXPECT_EQ(omni.position.z, 0.0f);
    EXPECT_EQ(omni.colour.x, 0.0f);
}

// A model the effect goes on without is told of: a check of the show counts
// it as an error, where a run only draws no mesh.
TEST(L3dsReader, AModelThatCannotBeReadIsNoted)
{
    const TemporaryModelFile good(Write3ds(SampleScene()));
    const TemporaryModelFile notAModel({'J', 'P', 'E', 'G', 0, 0, 0, 0, 0, 0});
    UnreadableFiles listener;
    const L3DS read(good.Path());
    const L3DS missing(good.Path() + ".missing");
    const L3DS damaged(notAModel.Path());
    EXPECT_EQ(listener.noted, (std::vector<std::string>{good.Path() + ".missing", notAModel.Path()}));
}
