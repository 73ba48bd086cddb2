#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include <sys/stat.h>

#include "core/DemoMessage.h"
#include "model3ds/L3DS.h"
#include "model3ds/ModelFiles.h"
#include "support/UnreadableFiles.h"

// Damaged files must load without reading or writing outside any buffer
// (the asan preset checks that) and without hanging; what they yield must
// still be a consistent scene that can be drawn.

namespace {

::testing::AssertionResult Consistent(const L3DS& loader)
{
    for (std::size_t m = 0; m < loader.meshes.size(); ++m) {
        const LMesh& mesh = loader.MeshAt(m);
        const std::size_t count = mesh.VertexCount();
        if (mesh.normals.size() != count || mesh.tangents.size() != count || mesh.binormals.size() != count ||
            mesh.uvs.size() != count) {
            return ::testing::AssertionFailure() << "mesh " << m << " has vertex lists of different lengths";
        }
        if (mesh.triangles.size() != mesh.FaceCount()) {
            return ::testing::AssertionFailure() << "mesh " << m << " has " << mesh.triangles.size() << " triangles for "
                                                 << mesh.FaceCount() << " faces";
        }
        if (count > LMesh::maxVertices) {
            return ::testing::AssertionFailure() << "mesh " << m << " has " << count << " vertices";
        }
        for (const Triangle& t : mesh.triangles) {
            if ((t.a >= count || t.b >= count || t.c >= count) && count != 0) {
                return ::testing::AssertionFailure() << "mesh " << m << " draws a vertex it does not have";
            }
        }
    }
    return ::testing::AssertionSuccess();
}

const std::vector<std::uint8_t>& SampleBytes()
{
    static const std::vector<std::uint8_t> bytes = [] {
        ModelScene scene = SampleScene();
        // A light too, so that every kind of block is cut somewhere.
        ChunkWriter writer;
        writer.Begin(0x4D4D);
        writer.Begin(0x3D3D);
        for (const ModelMaterial& material : scene.materials) {
            WriteMaterial(writer, material);
        }
        for (const ModelMesh& mesh : scene.meshes) {
            WriteMeshObject(writer, mesh);
        }
        writer.Begin(0x4000);
        writer.CString("Light");
        writer.Begin(0x4600);
        writer.F32(1.0f);
        writer.F32(2.0f);
        writer.F32(3.0f);
        writer.Begin(0x0010);
        writer.F32(1.0f);
        writer.F32(1.0f);
        writer.F32(1.0f);
        writer.End();
        writer.End();
        writer.End();
        writer.End();
        writer.End();
        return writer.Bytes();
    }();
    return bytes;
}

void PutU32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value)
{
    for (std::size_t i = 0; i < 4 && at + i < bytes.size(); ++i) {
        bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

// What loading the file says on the debug output.
std::string LoadSays(const std::string& path)
{
    testing::internal::CaptureStderr();
    const L3DS loader(path);
    return testing::internal::GetCapturedStderr();
}

}  // namespace

// A cut file gives what it holds, but never without a word: the model
// would lose parts or vanish from the show unexplained.
TEST(L3dsDamagedFile, AFileCutShortIsSaidAndNoted)
{
    const std::vector<std::uint8_t>& whole = SampleBytes();
    const TemporaryModelFile file(whole);
    UnreadableFiles unreadable;
    EXPECT_EQ(LoadSays(file.Path()), "");
    EXPECT_TRUE(unreadable.noted.empty());

    const std::size_t third = whole.size() / 3;
    file.Rewrite(std::vector<std::uint8_t>(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(third)));
    EXPECT_EQ(LoadSays(file.Path()), FormatText("The model %s is damaged: it holds %zu of the %zu bytes its chunks declare\n",
                                                file.Path().c_str(), third, whole.size()));
    EXPECT_EQ(unreadable.noted, std::vector<std::string>{file.Path()});

    // One byte short is as damaged; trailing bytes after the chunks are not.
    file.Rewrite(std::vector<std::uint8_t>(whole.begin(), whole.end() - 1));
    EXPECT_NE(LoadSays(file.Path()).find("is damaged: it holds"), std::string::npos);
    std::vector<std::uint8_t> longer = whole;
    longer.push_back(0);
    file.Rewrite(longer);
    EXPECT_EQ(LoadSays(file.Path()), "");
}

// A named pipe would block the loader until some writer came.
TEST(L3dsDamagedFile, ANamedPipeIsNeverOpened)
{
    const std::string pipe = testing::TempDir() + "/model-pipe.3ds";
    std::remove(pipe.c_str());
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    UnreadableFiles unreadable;
    EXPECT_EQ(LoadSays(pipe), "Unable to load model: " + pipe + " (not a regular file)\n");
    EXPECT_EQ(unreadable.noted, std::vector<std::string>{pipe});
    std::remove(pipe.c_str());
}

TEST(L3dsDamagedFile, EveryPrefixOfAValidFileLoads)
{
    const std::vector<std::uint8_t>& whole = SampleBytes();
    const TemporaryModelFile file(whole);
    {
        const L3DS loader(file.Path());
        ASSERT_EQ(loader.meshes.size(), 2u);
        ASSERT_EQ(loader.lights.size(), 1u);
    }
    std::size_t mostMeshes = 0;
    for (std::size_t size = 0; size < whole.size(); ++size) {
        file.Rewrite(std::vector<std::uint8_t>(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size)));
        const L3DS loader(file.Path());
        ASSERT_TRUE(Consistent(loader)) << "prefix of " << size << " bytes";
        mostMeshes = std::max(mostMeshes, loader.meshes.size());
    }
    // Cut files still give the records that were complete.
    EXPECT_EQ(mostMeshes, 2u);
}

TEST(L3dsDamagedFile, CorruptedLengthsAndCountsAnywhere)
{
    // Every 4-byte window of the file in turn is overwritten with values
    // that break chunk lengths (below 6, past the parent, past the file,
    // wrapping 32 bits) and 16-bit counts.
    const std::vector<std::uint8_t>& whole = SampleBytes();
    const TemporaryModelFile file(whole);
    const std::uint32_t values[] = {0, 5, 6, 0xFFFF, 0x7FFFFFFF, 0xFFFFFFFA, 0xFFFFFFFF,
                                    static_cast<std::uint32_t>(whole.size())};
    for (std::size_t at = 0; at + 2 <= whole.size(); ++at) {
        for (const std::uint32_t value : values) {
            std::vector<std::uint8_t> damaged = whole;
            PutU32(damaged, at, value);
            file.Rewrite(damaged);
            const L3DS loader(file.Path());
            ASSERT_TRUE(Consistent(loader)) << "value " << value << " at byte " << at;
        }
    }
}

TEST(L3dsDamagedFile, RandomlyFlippedBytes)
{
    const std::vector<std::uint8_t>& whole = SampleBytes();
    const TemporaryModelFile file(whole);
    std::mt19937 random(20261207u);
    std::uniform_int_distribution<std::size_t> position(0, whole.size() - 1);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int trial = 0; trial < 2000; ++trial) {
        std::vector<std::uint8_t> damaged = whole;
        for (int flip = 0; flip < 1 + trial % 4; ++flip) {
            damaged[position(random)] = static_cast<std::uint8_t>(byte(random));
        }
        file.Rewrite(damaged);
        const L3DS loader(file.Path());
        ASSERT_TRUE(Consistent(loader)) << "trial " << trial;
    }
}

TEST(L3dsDamagedFile, ChunkShorterThanItsHeaderEndsTheScanOfItsParent)
{
    // A mesh whose first sub-chunk claims 3 bytes: the vertices after it
    // are not read, and the reader goes on with the next object.
    ChunkWriter writer;
    writer.Begin(0x4D4D);
    writer.Begin(0x3D3D);
    writer.Begin(0x4000);
    writer.CString("Broken");
    writer.Begin(0x4100);
    writer.U16(0x4111);
    writer.U32(3);
    WriteMeshObject(writer, SquareMesh("Hidden", 0.0f, 0.0f, 1.0f));
    writer.End();
    writer.End();
    WriteMeshObject(writer, SquareMesh("Next", 0.0f, 0.0f, 1.0f));
    writer.End();
    writer.Begin(0xB000);
    writer.End();
    writer.End();
    const TemporaryModelFile file(writer.Bytes());
    const L3DS loader(file.Path());
    ASSERT_EQ(loader.meshes.size(), 2u);
    EXPECT_EQ(loader.MeshAt(0).Name(), "Broken");
    EXPECT_EQ(loader.MeshAt(0).VertexCount(), 0u);
    EXPECT_EQ(loader.MeshAt(1).Name(), "Next");
    EXPECT_EQ(loader.MeshAt(1).VertexCount(), 4u);

    // The same among the editor's children ends the object scan there.
    ChunkWriter zeroLength;
    zeroLength.Begin(0x4D4D);
    zeroLength.Begin(0x3D3D);
    WriteMeshObject(zeroLength, SquareMesh("Before", 0.0f, 0.0f, 1.0f));
    zeroLength.U16(0x4000);
    zeroLength.U32(0);
    WriteMeshObject(zeroLength, SquareMesh("After", 0.0f, 0.0f, 1.0f));
    zeroLength.End();
    zeroLength.Begin(0xB000);
    zeroLength.End();
    zeroLength.End();
    file.Rewrite(zeroLength.Bytes());
    const L3DS second(file.Path());
    ASSERT_EQ(second.meshes.size(), 1u);
    EXPECT_EQ(second.MeshAt(0).Name(), "Before");
}

TEST(L3dsDamagedFile, CountsLargerThanTheirChunkReadOnUpToTheEndOfTheFile)
{
    ModelMesh square = SquareMesh("Square", 0.0f, 0.0f, 1.0f);
    ChunkWriter writer;
    writer.Begin(0x4D4D);
    writer.Begin(0x3D3D);
    writer.Begin(0x4000);
    writer.CString("Square");
    writer.Begin(0x4100);
    writer.Begin(0x4110);
    writer.U16(0xFFFF);  // four vertices follow
    for (const auto& p : square.positions) {
        writer.F32(p[0]);
        writer.F32(p[1]);
        writer.F32(p[2]);
    }
    writer.End();
    writer.Begin(0x4120);
    writer.U16(2);
    for (const ModelFace& f : square.faces) {
        writer.U16(f.a);
        writer.U16(f.b);
        writer.U16(f.c);
        writer.U16(0);
    }
    writer.Begin(0x4150);  // smoothing groups for only one face
    writer.U32(2);
    writer.End();
    writer.End();
    writer.End();
    writer.End();
    writer.End();
    writer.Begin(0xB000);
    writer.U32(0);
    writer.End();
    writer.End();
    const TemporaryModelFile file(writer.Bytes());
    const L3DS loader(file.Path());
    ASSERT_EQ(loader.meshes.size(), 1u);
    const LMesh& mesh = loader.MeshAt(0);
    EXPECT_TRUE(Consistent(loader));
    EXPECT_EQ(mesh.faces[0].smoothingGroups, 2u);
    EXPECT_EQ(mesh.vertices[3].x, -1.0f);
    EXPECT_GE(mesh.VertexCount(), 0xFFFFu);
}
