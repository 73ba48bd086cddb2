#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "model3ds/LImporter.h"

// A chunk of a 3DS file: its id and where its data begins and ends. A
// header whose length cannot cover the header itself, or whose end lies
// past 4 GiB, is not well formed: it ends the scan of its parent, since a
// scan could otherwise come back to it forever.
struct Chunk {
    std::uint16_t id = 0;
    std::uint32_t dataStart = 0;
    std::uint32_t dataEnd = 0;
    bool wellFormed = false;
};

// Reads a 3D Studio file whole into memory and walks its chunk tree into
// meshes, materials and lights; every mesh is then given normals by
// smoothing group and a tangent frame. Damaged files never make it read
// outside the file's bytes: reads past the end give 0 and leave the cursor
// where it was, and the scene keeps whatever records were completed.
class L3DS : public LImporter {
public:
    // Loads the file at once; a file that cannot be read gives no meshes.
    explicit L3DS(const std::string& fileName);
    ~L3DS() override;

    bool LoadModel(const std::string& fileName) override;

    // Reads a scene from a whole file's bytes, as LoadModel does once the
    // file is read; true when the scene was read.
    bool LoadFromBytes(std::vector<std::uint8_t> bytes);

private:
    bool ReadScene();

    // Each read succeeds only while at least one byte of the file remains
    // after it, so the file's last byte is never read; a failed read gives
    // 0 and leaves the cursor in place.
    std::uint8_t ReadU8();
    std::uint16_t ReadU16();
    std::uint32_t ReadU32();
    float ReadF32();
    // Keeps at most limit - 1 characters and a terminating zero in dest;
    // reads the whole string.
    std::size_t ReadCString(std::span<char> dest, std::size_t limit);
    std::string ReadName(std::size_t limit);

    void SeekTo(std::uint32_t position);
    std::uint32_t Tell() const { return cursor; }
    bool CanRead(std::uint32_t bytes) const;

    Chunk ReadChunkHeader();
    void EnterChunk(const Chunk& chunk) { SeekTo(chunk.dataStart); }
    void SkipChunk(const Chunk& chunk) { SeekTo(chunk.dataEnd); }
    // Scans siblings from the cursor for the first chunk with the target's
    // id inside parent and fills the target's positions.
    bool FindChunk(Chunk& target, const Chunk& parent);
    // Calls handle for each well-formed sub-chunk from the cursor on that
    // ends within parent, skipping it afterwards; handle returning false
    // ends the scan.
    template <typename Handler>
    void ForEachSubChunk(const Chunk& parent, Handler handle);

    Float3 ReadColour(const Chunk& chunk);
    float ReadPercentage(const Chunk& chunk);
    void ReadMapBlock(const Chunk& chunk, MapInfo& map);
    void ReadMaterialBlock(const Chunk& entry);
    bool ReadReflectionMap(const Chunk& chunk, MapInfo& map);
    void ReadMeshBlock(const Chunk& chunk);
    void ReadFaceBlock(const Chunk& chunk, LMesh& mesh);
    void ReadMaterialGroup(LMesh& mesh);
    void ReadLightBlock(const Chunk& chunk);

    std::array<char, 100> objectName{};
    std::vector<std::uint8_t> buffer;
    std::uint32_t bufferSize = 0;
    std::uint32_t cursor = 0;
    bool cutShort = false;  // the file ends before its chunks do
};
