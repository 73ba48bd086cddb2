#include <FreeImage.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <stdexcept>

#include "AssetList.h"
#include "TemporaryFolder.h"
#include "picture/Pictures.h"

namespace {

// What the build's assets target made: the files the show will load.
const std::filesystem::path builtData = BUILT_DATA_DIR;

struct BitmapDeleter {
    void operator()(FIBITMAP* bitmap) const { FreeImage_Unload(bitmap); }
};
using Bitmap = std::unique_ptr<FIBITMAP, BitmapDeleter>;

const PictureAsset& FindAsset(const std::filesystem::path& file)
{
    for (const PictureAsset& asset : PictureAssets()) {
        if (asset.file == file) {
            return asset;
        }
    }
    throw std::runtime_error("no such asset: " + file.string());
}

}  // namespace

TEST(BuiltPictures, AreFullSize24BitJpegs)
{
    for (const PictureAsset& asset : PictureAssets()) {
        const std::string path = (builtData / asset.file).string();
        SCOPED_TRACE(path);
        ASSERT_EQ(FreeImage_GetFileType(path.c_str(), 0), FIF_JPEG);
        const Bitmap bitmap(FreeImage_Load(FIF_JPEG, path.c_str(), 0));
        ASSERT_TRUE(bitmap);
        EXPECT_EQ(FreeImage_GetWidth(bitmap.get()), static_cast<unsigned>(Pictures::size));
        EXPECT_EQ(FreeImage_GetHeight(bitmap.get()), static_cast<unsigned>(Pictures::size));
        EXPECT_EQ(FreeImage_GetBPP(bitmap.get()), 24u);
    }
}

TEST(BuiltPictures, AreAllDifferent)
{
    const auto& assets = PictureAssets();
    for (std::size_t i = 0; i < assets.size(); ++i) {
        for (std::size_t j = i + 1; j < assets.size(); ++j) {
            EXPECT_NE(ReadBytes(builtData / assets[i].file), ReadBytes(builtData / assets[j].file)) << assets[i].file << " and " << assets[j].file;
        }
    }
}

TEST(BuiltPictures, IncludeTheLoadingScreenAndFourToSixPictures)
{
    int pictures = 0;
    for (const PictureAsset& asset : PictureAssets()) {
        pictures += asset.file.parent_path() == "pictures" ? 1 : 0;
    }
    EXPECT_NO_THROW(FindAsset("overlay/loader.jpg"));
    EXPECT_GE(pictures, 4);
    EXPECT_LE(pictures, 6);
}

// The build ran the generator in a process of its own: painting again here
// must give the very same bytes.
TEST(BuiltPictures, ComeOutTheSameOnEveryRun)
{
    const TemporaryFolder folder;
    for (const char* file : {"overlay/loader.jpg", "pictures/northern.jpg"}) {
        const PictureAsset& asset = FindAsset(file);
        WritePicture(asset, folder.Path());
        EXPECT_EQ(ReadBytes(folder.Path() / asset.file), ReadBytes(builtData / asset.file)) << file;
    }
}

// The name on the loading screen is its brightest ink: it must sit centred
// across, above the middle (the rule and caption come below it), with sky
// above and below.
TEST(BuiltPictures, LoadingScreenShowsTheNameAcrossItsMiddle)
{
    const std::string path = (builtData / "overlay/loader.jpg").string();
    const Bitmap bitmap(FreeImage_Load(FIF_JPEG, path.c_str(), 0));
    ASSERT_TRUE(bitmap);
    int left = Pictures::size;
    int right = 0;
    int top = Pictures::size;
    int bottom = 0;
    for (int row = 0; row < Pictures::size; ++row) {
        const BYTE* line = FreeImage_GetScanLine(bitmap.get(), Pictures::size - 1 - row);
        for (int x = 0; x < Pictures::size; ++x) {
            const BYTE* pixel = line + 3 * x;
            if (pixel[FI_RGBA_RED] > 220 && pixel[FI_RGBA_GREEN] > 210 && pixel[FI_RGBA_BLUE] > 200) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, row);
                bottom = std::max(bottom, row);
            }
        }
    }
    ASSERT_LT(left, right);
    EXPECT_NEAR(0.5 * (left + right), Pictures::size / 2.0, 8.0);
    EXPECT_GT(right - left, Pictures::size / 2);
    EXPECT_GT(top, Pictures::size / 4);
    EXPECT_LT(bottom, Pictures::size / 2 + 20);
}

TEST(BuiltData, HoldsTheShowScriptAsAuthored)
{
    EXPECT_EQ(ReadBytes(builtData / "demo.txt"), ReadBytes(std::filesystem::path(SOURCE_DATA_DIR) / "demo.txt"));
}
