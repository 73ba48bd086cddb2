#include "model3ds/MeshDisplayList.h"

#include "core/DebugOutput.h"
#include "core/DemoMessage.h"
#include "model3ds/L3DS.h"

namespace {

// Compiles the mesh's triangles with the chosen attributes. The client
// arrays are switched on only for the glDrawElements that copies them into
// the list, and all four are off again afterwards.
void CompileMesh(const LMesh& mesh, int arrays)
{
    glEnableClientState(GL_VERTEX_ARRAY);
    if ((arrays & MeshDisplayList::Normals) != 0) {
        glEnableClientState(GL_NORMAL_ARRAY);
        glNormalPointer(GL_FLOAT, 0, mesh.Normal(0));
    }
    if ((arrays & MeshDisplayList::Colours) != 0) {
        glEnableClientState(GL_COLOR_ARRAY);
        glColorPointer(3, GL_FLOAT, 0, mesh.Binormal(0));
    }
    if ((arrays & MeshDisplayList::TextureCoordinates) != 0) {
        glTexCoordPointer(2, GL_FLOAT, 0, mesh.UV(0));
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    }
    glVertexPointer(4, GL_FLOAT, 0, mesh.Vertex(0));
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(3 * mesh.FaceCount()), GL_UNSIGNED_SHORT, mesh.TriangleAt(0));
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
}

}  // namespace

MeshDisplayList::MeshDisplayList(const std::string& fileName, int arrays) : listId(glGenLists(1))
{
    const L3DS loader(fileName);
    glNewList(listId, GL_COMPILE);
    if (loader.meshes.empty()) {
        DebugOutput(FormatText("No mesh to draw in %s\n", fileName.c_str()));
    } else if (loader.MeshAt(0).VertexCount() != 0 && loader.MeshAt(0).FaceCount() != 0) {
        CompileMesh(loader.MeshAt(0), arrays);
    }
    glEndList();
}

MeshDisplayList::~MeshDisplayList()
{
    glDeleteLists(listId, 1);
}
