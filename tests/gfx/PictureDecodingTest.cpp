#include <gtest/gtest.h>

#include <FreeImage.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "gfx/PicturePrefetch.h"
#include "support/TemporaryFolder.h"

namespace {

std::vector<char> Bytes(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::filesystem::path& file, const std::vector<char>& bytes)
{
    std::ofstream(file, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Where a JPEG's baseline frame header starts, walking its segments; 0
// when there is none.
std::size_t FrameHeaderAt(const std::vector<char>& bytes)
{
    for (std::size_t at = 2; at + 4 <= bytes.size();) {
        const auto byte = [&bytes](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
        if (byte(at) != 0xFF) {
            return 0;
        }
        if (byte(at + 1) == 0xC0) {
            return at;
        }
        at += 2 + (static_cast<std::size_t>(byte(at + 2)) << 8 | byte(at + 3));
    }
    return 0;
}

// A JPEG of a gradient, so that every row holds data to be cut.
std::filesystem::path WriteJpeg(const std::filesystem::path& file, int width, int height)
{
    FIBITMAP* bitmap = FreeImage_Allocate(width, height, 24);
    for (int y = 0; y < height; ++y) {
        BYTE* line = FreeImage_GetScanLine(bitmap, y);
        for (int x = 0; x < width * 3; ++x) {
            line[x] = static_cast<BYTE>((x * 7 + y * 13) & 0xFF);
        }
    }
    EXPECT_TRUE(FreeImage_Save(FIF_JPEG, bitmap, file.c_str(), JPEG_QUALITYSUPERB));
    FreeImage_Unload(bitmap);
    return file;
}

// Sets the largest texture side for one test.
class LargestSide {
public:
    explicit LargestSide(int side) : previous(LargestTextureSide()) { SetLargestTextureSide(side); }
    ~LargestSide() { SetLargestTextureSide(previous); }
    LargestSide(const LargestSide&) = delete;
    LargestSide& operator=(const LargestSide&) = delete;

private:
    int previous;
};

}  // namespace

TEST(PictureDecoding, AnIntactPictureHasNoProblem)
{
    const TemporaryFolder folder;
    const DecodedPicture picture = DecodePicture(WriteJpeg(folder.Path() / "whole.jpg", 64, 48));
    ASSERT_EQ(picture.levels.size(), 1u);
    EXPECT_EQ(picture.levels.front().width, 64);
    EXPECT_EQ(picture.problem, "");
    EXPECT_EQ(DecodePicture((folder.Path() / "missing.jpg").string()).problem, "") << "a missing file is no damage";
}

// The decoder fills the rows a cut JPEG lacks with grey; the show draws
// them, but the picture is damaged and must say so.
TEST(PictureDecoding, ACutJpegDecodesButSaysItIsDamaged)
{
    const TemporaryFolder folder;
    const std::filesystem::path file = WriteJpeg(folder.Path() / "cut.jpg", 64, 64);
    std::vector<char> bytes = Bytes(file);
    bytes.resize(bytes.size() / 3);
    WriteBytes(file, bytes);
    const DecodedPicture picture = DecodePicture(file.string());
    ASSERT_FALSE(picture.levels.empty());
    EXPECT_EQ(picture.levels.front().height, 64);
    EXPECT_EQ(picture.problem, "Premature end of JPEG file");
}

// Cut inside its tables, a JPEG's header reading and its decoding meet the
// same faults: each is said once.
TEST(PictureDecoding, EachOfTheDecodersWordsIsSaidOnce)
{
    const TemporaryFolder folder;
    const std::filesystem::path file = WriteJpeg(folder.Path() / "cut.jpg", 64, 64);
    std::vector<char> bytes = Bytes(file);
    const std::size_t frame = FrameHeaderAt(bytes);
    ASSERT_NE(frame, 0u);
    bytes.resize(frame + 4);
    WriteBytes(file, bytes);
    const DecodedPicture picture = DecodePicture(file.string());
    EXPECT_TRUE(picture.levels.empty());
    ASSERT_FALSE(picture.problem.empty());
    for (std::size_t start = 0; start < picture.problem.size();) {
        const std::size_t end = std::min(picture.problem.find("; ", start), picture.problem.size());
        const std::string said = picture.problem.substr(start, end - start);
        EXPECT_EQ(picture.problem.find(said), start) << said << " in " << picture.problem;
        start = end + 2;
    }
}

TEST(PictureDecoding, APictureLargerThanAnyTextureIsRefusedFromItsHeader)
{
    const TemporaryFolder folder;
    {
        const LargestSide largest(64);
        const DecodedPicture wide = DecodePicture(WriteJpeg(folder.Path() / "wide.jpg", 100, 40));
        EXPECT_TRUE(wide.levels.empty());
        EXPECT_EQ(wide.problem, "100 x 40 pixels, larger than the largest texture, 64 x 64");
        EXPECT_EQ(DecodePicture(WriteJpeg(folder.Path() / "tall.jpg", 10, 65)).problem,
                  "10 x 65 pixels, larger than the largest texture, 64 x 64");
        EXPECT_EQ(DecodePicture(WriteJpeg(folder.Path() / "fits.jpg", 64, 64)).levels.size(), 7u);
    }

    // A header that claims 20000 x 20000 over a few bytes of data: decoding
    // would take seconds and gigabytes before finding the data cut short.
    const std::filesystem::path file = WriteJpeg(folder.Path() / "huge.jpg", 16, 16);
    std::vector<char> bytes = Bytes(file);
    const std::size_t frame = FrameHeaderAt(bytes);
    ASSERT_NE(frame, 0u) << "a baseline JPEG";
    char* sides = bytes.data() + frame + 5;  // marker, length, precision
    sides[0] = sides[2] = static_cast<char>(20000 >> 8);
    sides[1] = sides[3] = static_cast<char>(20000 & 0xFF);
    WriteBytes(file, bytes);
    const auto start = std::chrono::steady_clock::now();
    const DecodedPicture huge = DecodePicture(file.string());
    EXPECT_TRUE(huge.levels.empty());
    EXPECT_EQ(huge.problem, "20000 x 20000 pixels, larger than the largest texture, 16384 x 16384");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
}

// Opened by name, a named pipe would block the decoding thread until some
// writer came, and the loader with it.
TEST(PictureDecoding, ANamedPipeIsNeverOpened)
{
    const TemporaryFolder folder;
    const std::filesystem::path pipe = folder.Path() / "pipe.jpg";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    const DecodedPicture picture = DecodePicture(pipe.string());
    EXPECT_TRUE(picture.levels.empty());
    EXPECT_EQ(picture.problem, "not a regular file");
    EXPECT_EQ(DecodePicture(folder.Path().string()).problem, "not a regular file");
}
