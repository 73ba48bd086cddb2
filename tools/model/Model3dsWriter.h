#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "model/ChunkWriter.h"

// A model as the generator describes it, before it becomes a 3DS file.

struct ModelFace {
    std::uint16_t a = 0;
    std::uint16_t b = 0;
    std::uint16_t c = 0;
    // Faces meet smoothly where their values are equal, with a crease elsewhere.
    std::uint32_t smoothingGroups = 1;
};

// Faces drawn with one material, by index.
struct MaterialGroup {
    std::string material;
    std::vector<std::uint16_t> faces;
};

struct ModelMesh {
    std::string name;
    std::vector<std::array<float, 3>> positions;
    std::vector<std::array<float, 2>> uvs;  // empty, or one per position
    std::vector<ModelFace> faces;
    std::vector<MaterialGroup> groups;
};

struct ModelMaterial {
    std::string name;  // at most 19 characters, so that groups can name it
    std::array<float, 3> ambient{};
    std::array<float, 3> diffuse{};
    std::array<float, 3> specular{};
    float shininess = 0.0f;  // 0 to 1, written as a whole percentage
    std::string textureFile;  // empty for none
};

struct ModelScene {
    std::vector<ModelMaterial> materials;
    std::vector<ModelMesh> meshes;
};

// One 0xAFFF material entry.
void WriteMaterial(ChunkWriter& writer, const ModelMaterial& material);

// One 0x4000 object holding a triangle mesh with its vertices, texture
// coordinates, an identity local matrix, faces, material groups and
// smoothing groups. Throws std::invalid_argument for a mesh that 16-bit
// counts and indices cannot hold or whose faces name missing vertices.
void WriteMeshObject(ChunkWriter& writer, const ModelMesh& mesh);

// The whole file: version, the editor chunk with the materials followed by
// the meshes, and an empty keyframer section.
std::vector<std::uint8_t> Write3ds(const ModelScene& scene);

// Throws std::runtime_error when the file cannot be written.
void Save3ds(const ModelScene& scene, const std::filesystem::path& path);
