#include "model3ds/ModelFiles.h"

#include <unistd.h>

#include <atomic>
#include <fstream>
#include <stdexcept>

namespace {

// The damaged-file tests write thousands of files: memory-backed storage
// keeps them quick where the system has it.
std::filesystem::path TemporaryFolder()
{
    const std::filesystem::path memory = "/dev/shm";
    std::error_code error;
    if (std::filesystem::is_directory(memory, error)) {
        return memory;
    }
    return std::filesystem::temp_directory_path();
}

std::filesystem::path FreshPath()
{
    static std::atomic<int> counter{0};
    const std::string name = "kestrova-model-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + ".3ds";
    return TemporaryFolder() / name;
}

}  // namespace

TemporaryModelFile::TemporaryModelFile(const std::vector<std::uint8_t>& bytes) : path(FreshPath())
{
    Rewrite(bytes);
}

TemporaryModelFile::~TemporaryModelFile()
{
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
}

void TemporaryModelFile::Rewrite(const std::vector<std::uint8_t>& bytes) const
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!file) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

ModelMesh SquareMesh(const std::string& name, float x, float depth, float h)
{
    ModelMesh mesh;
    mesh.name = name;
    mesh.positions = {{x - h, -h, depth}, {x + h, -h, depth}, {x + h, h, depth}, {x - h, h, depth}};
    mesh.uvs = {{0.0f, 0.0f}, {0.0f, 1.0f}, {1.0f, 1.0f}, {1.0f, 0.0f}};
    mesh.faces = {{0, 1, 2, 1}, {0, 2, 3, 1}};
    return mesh;
}

ModelMesh CubeMesh(const std::array<std::uint32_t, 6>& sideGroups)
{
    ModelMesh mesh;
    mesh.name = "Cube";
    // Corner i has x = bit 0, y = bit 1, z = bit 2.
    for (int i = 0; i < 8; ++i) {
        mesh.positions.push_back({static_cast<float>(i & 1), static_cast<float>((i >> 1) & 1), static_cast<float>((i >> 2) & 1)});
        mesh.uvs.push_back({static_cast<float>(i & 1), static_cast<float>((i >> 1) & 1)});
    }
    // Each side's corners counter-clockwise seen from outside.
    const std::array<std::array<std::uint16_t, 4>, 6> sides = {{
        {0, 4, 6, 2},  // -x
        {1, 3, 7, 5},  // +x
        {0, 1, 5, 4},  // -y
        {2, 6, 7, 3},  // +y
        {0, 2, 3, 1},  // -z
        {4, 5, 7, 6},  // +z
    }};
    for (std::size_t side = 0; side < sides.size(); ++side) {
        const auto& q = sides[side];
        mesh.faces.push_back({q[0], q[1], q[2], sideGroups[side]});
        mesh.faces.push_back({q[0], q[2], q[3], sideGroups[side]});
    }
    return mesh;
}

ModelScene SampleScene()
{
    ModelScene scene;
    ModelMaterial chrome;
    chrome.name = "Chrome";
    chrome.ambient = {0.1f, 0.2f, 0.3f};
    chrome.diffuse = {0.5f, 0.6f, 0.7f};
    chrome.specular = {1.0f, 1.0f, 1.0f};
    chrome.shininess = 0.75f;
    chrome.textureFile = "ENV.JPG";
    ModelMaterial coral;
    coral.name = "Coral";
    coral.diffuse = {1.0f, 0.42f, 0.34f};
    scene.materials = {chrome, coral};

    ModelMesh cube = CubeMesh({1, 2, 4, 8, 16, 32});
    cube.groups = {{"Chrome", {0, 1, 2, 3, 4, 5, 6, 7}}, {"Coral", {8, 9, 10, 11}}};
    scene.meshes = {cube, SquareMesh("Tile", 3.0f, 0.0f, 0.5f)};
    return scene;
}
