#include <gtest/gtest.h>

#include <fstream>

#include "app/ShowFolder.h"
#include "support/TemporaryFolder.h"

namespace {

void HoldScript(const std::filesystem::path& show)
{
    std::filesystem::create_directories(show / "data");
    std::ofstream(show / "data/demo.txt") << "data/music/kestrova.ogg\n0\n0\n";
}

// A program in a build folder, and where its installation would keep the show.
class FallbackShowFolderTest : public ::testing::Test {
protected:
    TemporaryFolder root;
    std::filesystem::path program = root.Path() / "bin/kestrova";
    std::filesystem::path installed = InstalledShowFolder(program);
    std::filesystem::path build = program.parent_path();
    std::filesystem::path mine = root.Path() / "mine";
};

}  // namespace

TEST_F(FallbackShowFolderTest, TheInstalledShowComesFirstThenTheBuildBesideTheProgram)
{
    EXPECT_EQ(FallbackShowFolder(program, mine), std::filesystem::path()) << "neither holds a script";
    HoldScript(build);
    EXPECT_EQ(FallbackShowFolder(program, mine), build);
    HoldScript(installed);
    EXPECT_EQ(FallbackShowFolder(program, mine), installed);
}

TEST_F(FallbackShowFolderTest, AShowIsNeverItsOwnFallback)
{
    HoldScript(installed);
    EXPECT_EQ(FallbackShowFolder(program, installed), std::filesystem::path());
    EXPECT_EQ(FallbackShowFolder(program, installed / "data/.."), std::filesystem::path()) << "the same folder, spelt otherwise";
    HoldScript(build);
    EXPECT_EQ(FallbackShowFolder(program, installed), build);
    EXPECT_EQ(FallbackShowFolder(program, build), installed);
}

TEST_F(FallbackShowFolderTest, WithoutTheProgramsFileThereIsNone)
{
    HoldScript(build);
    EXPECT_EQ(FallbackShowFolder({}, mine), std::filesystem::path());
}
