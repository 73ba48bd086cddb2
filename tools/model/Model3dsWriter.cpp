#include "model/Model3dsWriter.h"

#include <cmath>
#include <fstream>
#include <limits>
#include <stdexcept>

namespace {

constexpr std::size_t maxCount = std::numeric_limits<std::uint16_t>::max();

void WriteColour(ChunkWriter& writer, std::uint16_t id, const std::array<float, 3>& colour)
{
    writer.Begin(id);
    writer.Begin(0x0010);
    for (const float channel : colour) {
        writer.F32(channel);
    }
    writer.End();
    writer.End();
}

void CheckMesh(const ModelMesh& mesh)
{
    if (mesh.positions.size() > maxCount || mesh.faces.size() > maxCount) {
        throw std::invalid_argument("Mesh " + mesh.name + " has more than 65535 vertices or faces");
    }
    if (!mesh.uvs.empty() && mesh.uvs.size() != mesh.positions.size()) {
        throw std::invalid_argument("Mesh " + mesh.name + " needs one texture coordinate per vertex");
    }
    for (const ModelFace& face : mesh.faces) {
        if (face.a >= mesh.positions.size() || face.b >= mesh.positions.size() || face.c >= mesh.positions.size()) {
            throw std::invalid_argument("Mesh " + mesh.name + " has a face naming a missing vertex");
        }
    }
    for (const MaterialGroup& group : mesh.groups) {
        if (group.faces.size() > maxCount) {
            throw std::invalid_argument("Material group " + group.material + " has more than 65535 faces");
        }
    }
}

void WriteFaces(ChunkWriter& writer, const ModelMesh& mesh)
{
    writer.Begin(0x4120);
    writer.U16(static_cast<std::uint16_t>(mesh.faces.size()));
    for (const ModelFace& face : mesh.faces) {
        writer.U16(face.a);
        writer.U16(face.b);
        writer.U16(face.c);
        writer.U16(0x0007);  // all three edges visible
    }
    for (const MaterialGroup& group : mesh.groups) {
        writer.Begin(0x4130);
        writer.CString(group.material);
        writer.U16(static_cast<std::uint16_t>(group.faces.size()));
        for (const std::uint16_t face : group.faces) {
            writer.U16(face);
        }
        writer.End();
    }
    writer.Begin(0x4150);
    for (const ModelFace& face : mesh.faces) {
        writer.U32(face.smoothingGroups);
    }
    writer.End();
    writer.End();
}

}  // namespace

void WriteMaterial(ChunkWriter& writer, const ModelMaterial& material)
{
    writer.Begin(0xAFFF);
    writer.Begin(0xA000);
    writer.CString(material.name);
    writer.End();
    WriteColour(writer, 0xA010, material.ambient);
    WriteColour(writer, 0xA020, material.diffuse);
    WriteColour(writer, 0xA030, material.specular);
    writer.Begin(0xA040);
    writer.Begin(0x0030);
    writer.U16(static_cast<std::uint16_t>(std::lround(material.shininess * 100.0f)));
    writer.End();
    writer.End();
    writer.Begin(0xA100);
    writer.U16(3);  // Phong
    writer.End();
    if (!material.textureFile.empty()) {
        writer.Begin(0xA200);
        writer.Begin(0x0030);
        writer.U16(100);
        writer.End();
        writer.Begin(0xA300);
        writer.CString(material.textureFile);
        writer.End();
        writer.End();
    }
    writer.End();
}

void WriteMeshObject(ChunkWriter& writer, const ModelMesh& mesh)
{
    CheckMesh(mesh);
    writer.Begin(0x4000);
    writer.CString(mesh.name);
    writer.Begin(0x4100);

    writer.Begin(0x4110);
    writer.U16(static_cast<std::uint16_t>(mesh.positions.size()));
    for (const auto& position : mesh.positions) {
        for (const float coordinate : position) {
            writer.F32(coordinate);
        }
    }
    writer.End();

    if (!mesh.uvs.empty()) {
        writer.Begin(0x4140);
        writer.U16(static_cast<std::uint16_t>(mesh.uvs.size()));
        for (const auto& uv : mesh.uvs) {
            writer.F32(uv[0]);
            writer.F32(uv[1]);
        }
        writer.End();
    }

    writer.Begin(0x4160);
    for (std::size_t row = 0; row < 4; ++row) {
        for (std::size_t column = 0; column < 3; ++column) {
            writer.F32(row == column ? 1.0f : 0.0f);
        }
    }
    writer.End();

    WriteFaces(writer, mesh);
    writer.End();
    writer.End();
}

std::vector<std::uint8_t> Write3ds(const ModelScene& scene)
{
    ChunkWriter writer;
    writer.Begin(0x4D4D);
    writer.Begin(0x0002);  // file format version
    writer.U32(3);
    writer.End();
    writer.Begin(0x3D3D);
    for (const ModelMaterial& material : scene.materials) {
        WriteMaterial(writer, material);
    }
    for (const ModelMesh& mesh : scene.meshes) {
        WriteMeshObject(writer, mesh);
    }
    writer.End();
    // An empty keyframer section, as modelling programs write one: it also
    // keeps the mesh data off the file's last byte, which readers may skip.
    writer.Begin(0xB000);
    writer.End();
    writer.End();
    return writer.Bytes();
}

void Save3ds(const ModelScene& scene, const std::filesystem::path& path)
{
    const std::vector<std::uint8_t> bytes = Write3ds(scene);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!file) {
        throw std::runtime_error("Unable to write " + path.string());
    }
}
