#include "model3ds/MeshDisplayList.h"

#include <algorithm>

#include "core/DebugOutput.h"
#include "core/DemoMessage.h"
#include "model3ds/L3DS.h"

namespace {

// Compiles triangles [first, first + count) of the mesh with the chosen
// attributes. The client arrays are switched on only for the
// glDrawElements that copies them into the list, and all four are off
// again afterwards.
void CompileTriangles(const LMesh& mesh, int arrays, std::size_t first, std::size_t count)
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
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(3 * count), GL_UNSIGNED_SHORT, mesh.TriangleAt(first));
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
}

MeshDisplayList::Part BoundsOf(const LMesh& mesh, std::size_t first, std::size_t count)
{
    MeshDisplayList::Part part;
    Box& box = part.bounds;
    const Float4& start = *mesh.Vertex(mesh.TriangleAt(first)->a);
    box.low = box.high = {start.x, start.y, start.z};
    const auto widen = [&box](const Float4& p) {
        box.low = {std::min(box.low[0], p.x), std::min(box.low[1], p.y), std::min(box.low[2], p.z)};
        box.high = {std::max(box.high[0], p.x), std::max(box.high[1], p.y), std::max(box.high[2], p.z)};
    };
    for (std::size_t index = first; index < first + count; ++index) {
        const Triangle& triangle = *mesh.TriangleAt(index);
        for (const std::uint16_t corner : {triangle.a, triangle.b, triangle.c}) {
            widen(*mesh.Vertex(corner));
        }
    }
    return part;
}

}  // namespace

MeshDisplayList::MeshDisplayList(const std::string& fileName, int arrays, int trianglesPerPart)
{
    const L3DS loader(fileName);
    const bool drawable = !loader.meshes.empty() && loader.MeshAt(0).VertexCount() != 0 && loader.MeshAt(0).FaceCount() != 0;
    const std::size_t faces = drawable ? loader.MeshAt(0).FaceCount() : 0;
    const std::size_t perPart = trianglesPerPart > 0 ? static_cast<std::size_t>(trianglesPerPart) : 0;
    const std::size_t partCount = perPart > 0 ? (faces + perPart - 1) / perPart : 0;
    listCount = static_cast<GLsizei>(1 + partCount);
    listId = glGenLists(listCount);
    for (std::size_t index = 0; index < partCount; ++index) {
        const std::size_t first = index * perPart;
        const std::size_t count = std::min(perPart, faces - first);
        Part part = BoundsOf(loader.MeshAt(0), first, count);
        part.listId = listId + 1 + static_cast<GLuint>(index);
        glNewList(part.listId, GL_COMPILE);
        CompileTriangles(loader.MeshAt(0), arrays, first, count);
        glEndList();
        parts.push_back(part);
    }
    glNewList(listId, GL_COMPILE);
    if (loader.meshes.empty()) {
        DebugOutput(FormatText("No mesh to draw in %s\n", fileName.c_str()));
    } else if (partCount == 0 && drawable) {
        CompileTriangles(loader.MeshAt(0), arrays, 0, faces);
    }
    for (const Part& part : parts) {
        glCallList(part.listId);
    }
    glEndList();
}

MeshDisplayList::~MeshDisplayList()
{
    glDeleteLists(listId, listCount);
}
