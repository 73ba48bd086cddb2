#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Builds the bytes of a 3D Studio file: nested chunks of a 2-byte id and a
// 4-byte length that counts the header, the data and all sub-chunks.
// Values are little-endian, floats IEEE single, strings zero-terminated.
class ChunkWriter {
public:
    // Opens a chunk; its length is filled in when it ends.
    void Begin(std::uint16_t id);
    // Ends the innermost open chunk. Throws std::logic_error if none is open.
    void End();

    void U8(std::uint8_t value);
    void U16(std::uint16_t value);
    void U32(std::uint32_t value);
    void F32(float value);
    void CString(const std::string& text);

    // The bytes so far. Throws std::logic_error while a chunk is open.
    const std::vector<std::uint8_t>& Bytes() const;

private:
    std::vector<std::uint8_t> bytes;
    std::vector<std::size_t> openChunks;
};
