#include <gtest/gtest.h>

#include <stdexcept>

#include "model/ChunkWriter.h"

TEST(ChunkWriter, NestedLengthsCountHeaderDataAndSubChunks)
{
    ChunkWriter writer;
    writer.Begin(0x4D4D);
    writer.U8(7);
    writer.Begin(0x0002);
    writer.U32(0x01020304);
    writer.End();
    writer.CString("ab");
    writer.End();
    const std::vector<std::uint8_t> expected = {
        0x4D, 0x4D, 20, 0, 0, 0,  // main: 6 + 1 + 10 + 3
        7,
        0x02, 0x00, 10, 0, 0, 0,  // sub-chunk: 6 + 4
        0x04, 0x03, 0x02, 0x01,
        'a', 'b', 0,
    };
    EXPECT_EQ(writer.Bytes(), expected);
}

TEST(ChunkWriter, FloatsAreLittleEndianSinglePrecision)
{
    ChunkWriter writer;
    writer.F32(1.0f);
    writer.F32(-2.5f);
    writer.U16(0xA1B2);
    const std::vector<std::uint8_t> expected = {0x00, 0x00, 0x80, 0x3F, 0x00, 0x00, 0x20, 0xC0, 0xB2, 0xA1};
    EXPECT_EQ(writer.Bytes(), expected);
}

TEST(ChunkWriter, UnbalancedChunksAreRefused)
{
    ChunkWriter writer;
    EXPECT_THROW(writer.End(), std::logic_error);
    writer.Begin(0x3D3D);
    EXPECT_THROW(writer.Bytes(), std::logic_error);
    writer.End();
    EXPECT_EQ(writer.Bytes().size(), 6u);
}
