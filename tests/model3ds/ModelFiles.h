#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "model/Model3dsWriter.h"

// A file under the temporary folder holding the given bytes, removed with
// the object; each object gets a name of its own.
class TemporaryModelFile {
public:
    explicit TemporaryModelFile(const std::vector<std::uint8_t>& bytes);
    ~TemporaryModelFile();

    TemporaryModelFile(const TemporaryModelFile&) = delete;
    TemporaryModelFile& operator=(const TemporaryModelFile&) = delete;

    // Replaces the file's contents.
    void Rewrite(const std::vector<std::uint8_t>& bytes) const;

    std::string Path() const { return path.string(); }

private:
    std::filesystem::path path;
};

// A square of half size h in the plane z = depth, centred at (x, 0), facing
// +z, as two faces of smoothing group 1; u follows y and v follows x, each
// from 0 to 1 over the square.
ModelMesh SquareMesh(const std::string& name, float x, float depth, float h);

// A unit cube of 8 corners and 12 faces, wound outwards, its six sides
// given the smoothing-group values in sideGroups.
ModelMesh CubeMesh(const std::array<std::uint32_t, 6>& sideGroups);

// A scene with something in every kind of block the reader knows: two
// materials (one with a texture map), a cube mesh with texture coordinates,
// material groups and smoothing groups, and a second, small mesh.
ModelScene SampleScene();
