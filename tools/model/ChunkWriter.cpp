#include "model/ChunkWriter.h"

#include <cstring>
#include <limits>
#include <stdexcept>

void ChunkWriter::Begin(std::uint16_t id)
{
    openChunks.push_back(bytes.size());
    U16(id);
    U32(0);
}

void ChunkWriter::End()
{
    if (openChunks.empty()) {
        throw std::logic_error("No chunk is open");
    }
    const std::size_t start = openChunks.back();
    openChunks.pop_back();
    const std::size_t length = bytes.size() - start;
    if (length > std::numeric_limits<std::uint32_t>::max()) {
        throw std::length_error("A chunk grew past 4 GiB");
    }
    for (std::size_t i = 0; i < 4; ++i) {
        bytes[start + 2 + i] = static_cast<std::uint8_t>(length >> (8 * i));
    }
}

void ChunkWriter::U8(std::uint8_t value)
{
    bytes.push_back(value);
}

void ChunkWriter::U16(std::uint16_t value)
{
    U8(static_cast<std::uint8_t>(value));
    U8(static_cast<std::uint8_t>(value >> 8));
}

void ChunkWriter::U32(std::uint32_t value)
{
    U16(static_cast<std::uint16_t>(value));
    U16(static_cast<std::uint16_t>(value >> 16));
}

void ChunkWriter::F32(float value)
{
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    U32(bits);
}

void ChunkWriter::CString(const std::string& text)
{
    bytes.insert(bytes.end(), text.begin(), text.end());
    U8(0);
}

const std::vector<std::uint8_t>& ChunkWriter::Bytes() const
{
    if (!openChunks.empty()) {
        throw std::logic_error("A chunk is still open");
    }
    return bytes;
}
