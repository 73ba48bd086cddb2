#include <gtest/gtest.h>

#include <fstream>

#include "core/AssetFolders.h"
#include "support/TemporaryFolder.h"

namespace {

void Write(const std::filesystem::path& file, const std::string& text)
{
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary | std::ios::trunc) << text;
}

// A show's folder as the working folder, and a fallback show beside it.
class AssetFoldersTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::current_path(show.Path());
        SetAssetFallback(installed.Path());
    }

    void TearDown() override
    {
        SetAssetFallback({});
        std::filesystem::current_path(previous);
    }

    std::filesystem::path previous = std::filesystem::current_path();
    TemporaryFolder show;
    TemporaryFolder installed;
};

}  // namespace

TEST_F(AssetFoldersTest, AFileInTheShowsFolderWinsAndIsNotMentioned)
{
    Write(show.Path() / "data/plasma/effekt2.fs", "mine");
    Write(installed.Path() / "data/plasma/effekt2.fs", "shipped");
    testing::internal::CaptureStderr();
    EXPECT_EQ(FindAsset("data/plasma/effekt2.fs"), "data/plasma/effekt2.fs");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

// Once per file, however often it is opened and whichever thread looked it
// up first; a new fallback tells every file anew.
TEST_F(AssetFoldersTest, AFileOnlyInTheFallbackComesFromThereAndIsSaidOnce)
{
    Write(installed.Path() / "data/plasma/effekt2.fs", "shipped");
    Write(installed.Path() / "data/rubber/simple.3ds", "model");
    const std::string shader = (installed.Path() / "data/plasma/effekt2.fs").string();
    const std::string model = (installed.Path() / "data/rubber/simple.3ds").string();
    const std::string told = "data/plasma/effekt2.fs comes from the show in " + installed.Path().string() + "\n";

    testing::internal::CaptureStderr();
    EXPECT_EQ(LocateAsset("data/plasma/effekt2.fs"), shader);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "reading ahead says nothing";

    testing::internal::CaptureStderr();
    EXPECT_EQ(FindAsset("data/plasma/effekt2.fs"), shader);
    EXPECT_EQ(FindAsset("data/plasma/effekt2.fs"), shader);
    EXPECT_EQ(FindAsset("data/rubber/simple.3ds"), model);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              told + "data/rubber/simple.3ds comes from the show in " + installed.Path().string() + "\n");

    SetAssetFallback(installed.Path());
    testing::internal::CaptureStderr();
    EXPECT_EQ(FindAsset("data/plasma/effekt2.fs"), shader);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), told);
}

// A demo maker replaces an asset by putting a file at its path, also while
// the show runs: the next load reads it.
TEST_F(AssetFoldersTest, AFilePutAtTheSamePathReplacesTheAsset)
{
    Write(installed.Path() / "data/banger/bang.jpg", "shipped");
    EXPECT_EQ(FindAsset("data/banger/bang.jpg"), (installed.Path() / "data/banger/bang.jpg").string());
    Write(show.Path() / "data/banger/bang.jpg", "mine");
    EXPECT_EQ(FindAsset("data/banger/bang.jpg"), "data/banger/bang.jpg");
    EXPECT_EQ(LocateAsset("data/banger/bang.jpg"), "data/banger/bang.jpg");
}

TEST_F(AssetFoldersTest, OtherPathsPassThroughUntouched)
{
    Write(installed.Path() / "data/plasma/effekt2.fs", "shipped");
    const std::string absolute = (installed.Path() / "data/plasma/effekt2.fs").string();
    testing::internal::CaptureStderr();
    EXPECT_EQ(FindAsset(absolute), absolute);
    EXPECT_EQ(FindAsset("data/nowhere/missing.jpg"), "data/nowhere/missing.jpg") << "missing in both";
    EXPECT_EQ(FindAsset("data/plasma"), "data/plasma") << "a folder is no asset";
    EXPECT_EQ(FindAsset(""), "");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST_F(AssetFoldersTest, WithoutAFallbackEveryPathIsAsNamed)
{
    Write(installed.Path() / "data/plasma/effekt2.fs", "shipped");
    SetAssetFallback({});
    testing::internal::CaptureStderr();
    EXPECT_EQ(FindAsset("data/plasma/effekt2.fs"), "data/plasma/effekt2.fs");
    EXPECT_EQ(LocateAsset("data/plasma/effekt2.fs"), "data/plasma/effekt2.fs");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}
