#include <FreeImage.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <numeric>
#include <vector>
#include <stdexcept>

#include "AssetList.h"
#include "support/TemporaryFolder.h"
#include "picture/EffectPictures.h"
#include "picture/FirstActScene.h"
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

// Full-screen pictures are 1024 pixels square, sprites and tiles 512.
TEST(BuiltPictures, AreSquare24BitJpegsOfTheShowsSizes)
{
    int sprites = 0;
    for (const PictureAsset& asset : PictureAssets()) {
        const std::string path = (builtData / asset.file).string();
        SCOPED_TRACE(path);
        ASSERT_EQ(FreeImage_GetFileType(path.c_str(), 0), FIF_JPEG);
        const Bitmap bitmap(FreeImage_Load(FIF_JPEG, path.c_str(), 0));
        ASSERT_TRUE(bitmap);
        const unsigned width = FreeImage_GetWidth(bitmap.get());
        EXPECT_EQ(FreeImage_GetHeight(bitmap.get()), width);
        EXPECT_TRUE(width == static_cast<unsigned>(Pictures::size) || width == static_cast<unsigned>(EffectPictures::spriteSize)) << width;
        EXPECT_EQ(FreeImage_GetBPP(bitmap.get()), 24u);
        sprites += width == static_cast<unsigned>(EffectPictures::spriteSize) ? 1 : 0;
    }
    EXPECT_GT(sprites, 0);
}

// Additive sprites must fade to black before their edges, or the square of
// the quad shows.
TEST(BuiltPictures, EffectSpritesAreBlackAlongTheirEdges)
{
    for (const char* file : {"strobo/twist.jpg", "sky/clouds.jpg", "zoomer/zoomer2.jpg", "zoomer/zoomer2-old.jpg", "colorbox/colorbox1.jpg",
                             "colorbox/colorbox2.jpg", "solaris/solaris1.jpg", "solaris/solaris2.jpg", "nanoball/flare.jpg"}) {
        const std::string path = (builtData / file).string();
        const Bitmap bitmap(FreeImage_Load(FIF_JPEG, path.c_str(), 0));
        ASSERT_TRUE(bitmap) << file;
        const int side = static_cast<int>(FreeImage_GetWidth(bitmap.get()));
        int brightest = 0;
        int light = 0;
        for (int row = 0; row < side; ++row) {
            const BYTE* line = FreeImage_GetScanLine(bitmap.get(), row);
            for (int x = 0; x < side; ++x) {
                const int level = std::max({line[3 * x + FI_RGBA_RED], line[3 * x + FI_RGBA_GREEN], line[3 * x + FI_RGBA_BLUE]});
                if (row < 4 || row >= side - 4 || x < 4 || x >= side - 4) {
                    brightest = std::max(brightest, level);
                }
                light = std::max(light, level);
            }
        }
        EXPECT_LE(brightest, 6) << file;
        EXPECT_GT(light, 100) << file << " has bright light inside";
    }
}

// The Tunnel shows its lights layer upside down, so it is painted flipped:
// turned back, its brightness from row to row follows the landscape's (the
// lit sky above, the dark ridges below), and as it stands it does not.
TEST(BuiltPictures, LandscapeLightsArePaintedUpsideDown)
{
    const auto rowBrightness = [](const char* file, bool turned) {
        const std::string path = (builtData / file).string();
        const Bitmap bitmap(FreeImage_Load(FIF_JPEG, path.c_str(), 0));
        std::vector<double> rows;
        for (int row = 0; row < Pictures::size; ++row) {
            // The image library stores the bottom row first.
            const BYTE* line = FreeImage_GetScanLine(bitmap.get(), turned ? row : Pictures::size - 1 - row);
            double sum = 0.0;
            for (int x = 0; x < 3 * Pictures::size; ++x) {
                sum += line[x];
            }
            rows.push_back(sum);
        }
        return rows;
    };
    const auto correlation = [](const std::vector<double>& a, const std::vector<double>& b) {
        const double n = static_cast<double>(a.size());
        const double meanA = std::accumulate(a.begin(), a.end(), 0.0) / n;
        const double meanB = std::accumulate(b.begin(), b.end(), 0.0) / n;
        double ab = 0.0, aa = 0.0, bb = 0.0;
        for (std::size_t i = 0; i < a.size(); ++i) {
            ab += (a[i] - meanA) * (b[i] - meanB);
            aa += (a[i] - meanA) * (a[i] - meanA);
            bb += (b[i] - meanB) * (b[i] - meanB);
        }
        return ab / std::sqrt(aa * bb);
    };
    const std::vector<double> landscape = rowBrightness("sky/landskab1.jpg", false);
    const double turnedBack = correlation(landscape, rowBrightness("sky/landskab1_add.jpg", true));
    const double asItStands = correlation(landscape, rowBrightness("sky/landskab1_add.jpg", false));
    EXPECT_GT(turnedBack, 0.6) << turnedBack;
    EXPECT_GT(turnedBack, asItStands + 0.25) << turnedBack << " against " << asItStands;
}

TEST(BuiltPictures, AreAllDifferent)
{
    const auto& assets = PictureAssets();
    std::vector<std::string> bytes;
    for (const PictureAsset& asset : assets) {
        bytes.push_back(ReadBytes(builtData / asset.file));
    }
    for (std::size_t i = 0; i < assets.size(); ++i) {
        for (std::size_t j = i + 1; j < assets.size(); ++j) {
            EXPECT_NE(bytes[i], bytes[j]) << assets[i].file << " and " << assets[j].file;
        }
    }
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

// The first act's cards are one place from night to dawn: in every one the
// same dark hills stand on the horizon, their tops at the same height in
// each column at the sides, whatever the sky above them does.
TEST(BuiltPictures, TheFirstActsCardsShareTheirHills)
{
    const int horizon = static_cast<int>(FirstActScene::horizon);
    const auto hillTop = [horizon](FIBITMAP* bitmap, int x) {
        for (int row = horizon - 130; row < horizon; ++row) {
            const BYTE* pixel = FreeImage_GetScanLine(bitmap, Pictures::size - 1 - row) + 3 * x;
            if (0.299 * pixel[FI_RGBA_RED] + 0.587 * pixel[FI_RGBA_GREEN] + 0.114 * pixel[FI_RGBA_BLUE] < 22.0) {
                return row;
            }
        }
        return horizon;
    };
    std::vector<int> first;
    for (const char* card : {"kestrova", "northern", "horizon", "signal", "echo", "sun", "kestrova-dawn"}) {
        const std::string path = (builtData / "pictures" / (std::string(card) + ".jpg")).string();
        const Bitmap bitmap(FreeImage_Load(FIF_JPEG, path.c_str(), 0));
        ASSERT_TRUE(bitmap) << path;
        std::vector<int> tops;
        for (const int x : {20, 90, 160, 870, 940, 1010}) {
            tops.push_back(hillTop(bitmap.get(), x));
            EXPECT_LT(tops.back(), horizon - 8) << card << " has no hill at column " << x;
        }
        if (first.empty()) {
            first = tops;
        }
        for (std::size_t i = 0; i < tops.size(); ++i) {
            EXPECT_NEAR(tops[i], first[i], 2) << card << ", probe " << i;
        }
    }
}

TEST(BuiltData, HoldsTheShowScriptAsAuthored)
{
    EXPECT_EQ(ReadBytes(builtData / "demo.txt"), ReadBytes(std::filesystem::path(SOURCE_DATA_DIR) / "demo.txt"));
}
