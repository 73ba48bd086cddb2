#include <algorithm>
#include <cstdio>
#include <string>

#include "core/DebugOutput.h"
#include "gfx/Guards.h"
#include "model3ds/MeshDisplayList.h"
#include "model3ds/ModelFiles.h"
#include "support/GlTestContext.h"
#include "support/ScriptFolder.h"

namespace {

const Rgba black{0, 0, 0, 0};

// A 2 x 2 texture: red on the left column (u < 0.5), green on the right.
class TwoColourTexture {
public:
    TwoColourTexture()
    {
        const GLubyte texels[16] = {255, 0, 0, 255, 0, 255, 0, 255, 255, 0, 0, 255, 0, 255, 0, 255};
        glGenTextures(1, &id);
        glBindTexture(GL_TEXTURE_2D, id);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 2, 2, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
        glBindTexture(GL_TEXTURE_2D, 0);
    }
    ~TwoColourTexture() { glDeleteTextures(1, &id); }

    GLuint id = 0;
};

class MeshDisplayListTest : public GlTest {
protected:
    // A square of half size 0.5 at z = -2 in the middle of the window.
    void WriteSquare(const std::string& path, const std::vector<ModelMesh>& extra = {})
    {
        ModelScene scene;
        scene.meshes = {SquareMesh("Square", 0.0f, -2.0f, 0.5f)};
        scene.meshes.insert(scene.meshes.end(), extra.begin(), extra.end());
        const std::vector<std::uint8_t> bytes = Write3ds(scene);
        folder.WriteFile(path, std::string(bytes.begin(), bytes.end()));
    }

    // Draws the list with lighting from the viewer, the current normal
    // pointing away, so that only the list's own normals light it.
    void DrawLit(const MeshDisplayList& list)
    {
        const CEnabler lighting(GL_LIGHTING);
        const CEnabler light(GL_LIGHT0);
        const GLfloat towardsViewer[4] = {0.0f, 0.0f, 1.0f, 0.0f};
        const GLfloat white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
        glLightfv(GL_LIGHT0, GL_POSITION, towardsViewer);
        glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
        glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, white);
        glNormal3f(0.0f, 0.0f, -1.0f);
        glCallList(list.listId);
    }

    bool AnyClientArrayEnabled()
    {
        for (const GLenum array : {GL_VERTEX_ARRAY, GL_NORMAL_ARRAY, GL_COLOR_ARRAY, GL_TEXTURE_COORD_ARRAY}) {
            if (glIsEnabled(array)) {
                return true;
            }
        }
        return false;
    }

    ScriptFolder folder;
};

}  // namespace

TEST_F(MeshDisplayListTest, NormalsOnlyCarriesNormalsAndNoTextureCoordinates)
{
    WriteSquare("square.3ds");
    const MeshDisplayList list("square.3ds", MeshDisplayList::Normals);
    EXPECT_FALSE(AnyClientArrayEnabled());
    EXPECT_TRUE(BetweenEffectsState());

    glDisable(GL_TEXTURE_2D);
    DrawLit(list);
    glEnable(GL_TEXTURE_2D);
    EXPECT_EQ(ReadPixelAt(0.5, 0.5), (Rgba{255, 255, 255, 255}));
    EXPECT_EQ(ReadPixelAt(0.05, 0.5), black);

    // The current texture coordinate textures the whole square.
    const TwoColourTexture texture;
    glClear(GL_COLOR_BUFFER_BIT);
    glBindTexture(GL_TEXTURE_2D, texture.id);
    glTexCoord2f(0.75f, 0.5f);
    glCallList(list.listId);
    UnbindTexture();
    EXPECT_EQ(ReadPixelAt(0.45, 0.5), (Rgba{0, 255, 0, 255}));
    EXPECT_EQ(ReadPixelAt(0.55, 0.5), (Rgba{0, 255, 0, 255}));
    EXPECT_TRUE(BetweenEffectsState());
}

TEST_F(MeshDisplayListTest, NormalsAndTextureCoordinates)
{
    WriteSquare("square.3ds");
    const MeshDisplayList list("square.3ds", MeshDisplayList::Normals | MeshDisplayList::TextureCoordinates);
    EXPECT_FALSE(AnyClientArrayEnabled());
    const TwoColourTexture texture;
    glBindTexture(GL_TEXTURE_2D, texture.id);
    glTexCoord2f(0.75f, 0.5f);
    glCallList(list.listId);
    UnbindTexture();
    // u follows y: the lower half of the square (y < 0) is u < 0.5.
    EXPECT_EQ(ReadPixelAt(0.5, 0.6), (Rgba{255, 0, 0, 255}));
    EXPECT_EQ(ReadPixelAt(0.5, 0.4), (Rgba{0, 255, 0, 255}));
    EXPECT_TRUE(BetweenEffectsState());
}

TEST_F(MeshDisplayListTest, ColoursComeFromTheBinormals)
{
    // The square's binormal, cross(tangent +y, normal +z), is +x: red.
    WriteSquare("square.3ds");
    const MeshDisplayList plain("square.3ds", 0);
    const MeshDisplayList coloured("square.3ds", MeshDisplayList::Colours);
    EXPECT_FALSE(AnyClientArrayEnabled());
    glDisable(GL_TEXTURE_2D);
    glColor4f(0.0f, 0.0f, 1.0f, 1.0f);
    glCallList(plain.listId);
    EXPECT_EQ(ReadPixelAt(0.5, 0.5), (Rgba{0, 0, 255, 255}));
    glCallList(coloured.listId);
    glEnable(GL_TEXTURE_2D);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    EXPECT_EQ(ReadPixelAt(0.5, 0.5), (Rgba{255, 0, 0, 255}));
}

TEST_F(MeshDisplayListTest, OnlyTheFirstMeshIsCompiled)
{
    WriteSquare("two.3ds", {SquareMesh("Right", 0.8f, -2.0f, 0.2f)});
    const MeshDisplayList list("two.3ds", MeshDisplayList::Normals);
    glCallList(list.listId);
    EXPECT_NE(ReadPixelAt(0.5, 0.5), black);
    EXPECT_EQ(ReadPixelAt(0.9, 0.5), black);
}

TEST_F(MeshDisplayListTest, FileWithoutAMeshGivesAnEmptyListAndSaysSo)
{
    std::FILE* log = std::tmpfile();
    ASSERT_NE(log, nullptr);
    SetDebugLogFile(log);
    ModelScene onlyMaterials;
    onlyMaterials.materials.resize(1);
    onlyMaterials.materials[0].name = "Lonely";
    const std::vector<std::uint8_t> bytes = Write3ds(onlyMaterials);
    folder.WriteFile("empty.3ds", std::string(bytes.begin(), bytes.end()));
    {
        const MeshDisplayList missing("data/nothing.3ds", MeshDisplayList::Normals);
        const MeshDisplayList empty("empty.3ds", MeshDisplayList::Normals);
        glCallList(missing.listId);
        glCallList(empty.listId);
    }
    SetDebugLogFile(nullptr);
    std::rewind(log);
    std::string text(4096, '\0');
    text.resize(std::fread(text.data(), 1, text.size(), log));
    std::fclose(log);

    EXPECT_NE(text.find("data/nothing.3ds"), std::string::npos) << text;
    EXPECT_NE(text.find("empty.3ds"), std::string::npos) << text;
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2) << text;
    EXPECT_EQ(ReadPixelAt(0.5, 0.5), black);
    EXPECT_TRUE(BetweenEffectsState());
}
