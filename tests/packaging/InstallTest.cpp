#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <regex>
#include <set>
#include <string>

#include "support/TemporaryFolder.h"

namespace {

namespace fs = std::filesystem;

struct Outcome {
    int exitCode;
    std::string output;  // standard output and error together
};

Outcome Shell(const std::string& command, const fs::path& outputFile)
{
    const int status = std::system((command + " > '" + outputFile.string() + "' 2>&1").c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadBytes(outputFile)};
}

bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

// One installation of this build into a temporary prefix, shared by the
// tests; the prefix is moved once installed, as a relocated installation.
class Installed : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        folder = std::make_unique<TemporaryFolder>();
        const Outcome install = Shell(std::string("'") + CMAKE_PROGRAM + "' --install '" + BUILD_DIR + "' --prefix '" +
                                          (folder->Path() / "staging").string() + "'",
                                      folder->Path() / "install.txt");
        ASSERT_EQ(install.exitCode, 0) << install.output;
        fs::rename(folder->Path() / "staging", Prefix());
    }
    static void TearDownTestSuite() { folder.reset(); }

    static fs::path Prefix() { return folder->Path() / "moved"; }

    // The installed program, started in startFolder.
    Outcome RunInstalled(const fs::path& startFolder, const std::string& arguments) const
    {
        return Shell("cd '" + startFolder.string() + "' && '" + (Prefix() / "bin/kestrova").string() + "' " + arguments,
                     folder->Path() / "run.txt");
    }

    // A fresh empty folder to start the program in.
    fs::path EmptyFolder(const std::string& name) const
    {
        const fs::path path = folder->Path() / name;
        fs::create_directories(path);
        return path;
    }

    static std::unique_ptr<TemporaryFolder> folder;
};

std::unique_ptr<TemporaryFolder> Installed::folder;

}  // namespace

TEST_F(Installed, HoldsTheProgramTheShowTheDesktopFilesTheManualAndThePluginKit)
{
    for (const char* file : {"bin/kestrova", "share/kestrova/data/demo.txt", "share/kestrova/data/music/kestrova.ogg",
                             "share/kestrova/data/overlay/loader.jpg", "share/kestrova/data/rubber/simple.3ds",
                             "share/kestrova/data/bump.fs", "share/applications/kestrova.desktop",
                             "share/icons/hicolor/256x256/apps/kestrova.png", "share/icons/hicolor/48x48/apps/kestrova.png",
                             "share/man/man6/kestrova.6", "include/kestrova/PluginInterface.h",
                             "lib/pkgconfig/kestrova-plugin.pc", "share/doc/kestrova/examples/beat_ring/BeatRing.cpp",
                             "share/doc/kestrova/README.md", "share/doc/kestrova/LICENSE"}) {
        EXPECT_TRUE(fs::is_regular_file(Prefix() / file)) << file;
    }
    for (const unsigned side : {256u, 48u}) {
        // A PNG's header chunk holds its width and height, big-endian, from byte 16.
        const std::string png =
            ReadBytes(Prefix() / ("share/icons/hicolor/" + std::to_string(side) + "x" + std::to_string(side) + "/apps/kestrova.png"));
        ASSERT_GT(png.size(), 24u);
        EXPECT_EQ(png.substr(1, 3), "PNG");
        const auto bigEndian = [&](std::size_t at) {
            return (static_cast<unsigned char>(png[at]) << 24) | (static_cast<unsigned char>(png[at + 1]) << 16) |
                   (static_cast<unsigned char>(png[at + 2]) << 8) | static_cast<unsigned char>(png[at + 3]);
        };
        EXPECT_EQ(bigEndian(16), side);
        EXPECT_EQ(bigEndian(20), side);
    }
    const Outcome validation = Shell("desktop-file-validate '" + (Prefix() / "share/applications/kestrova.desktop").string() + "'",
                                     folder->Path() / "validate.txt");
    EXPECT_EQ(validation.exitCode, 0) << validation.output;
    EXPECT_EQ(validation.output, "");
}

TEST_F(Installed, FromAFolderWithoutAScriptItPlaysTheInstalledShow)
{
    const fs::path start = EmptyFolder("anywhere");
    const Outcome help = RunInstalled(start, "--help");
    EXPECT_PRED2(Contains, help.output, "read from " + (Prefix() / "share/kestrova").string() + "/data/demo.txt");

    const Outcome run = RunInstalled(start, "--no-message-box --render 5000 --out frames --size 160x120");
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_PRED2(Contains, run.output, "Loaded EndDemo");
    EXPECT_GT(fs::file_size(start / "frames/0000005000.png"), 1000u) << "the frame goes where the program was started";
}

TEST_F(Installed, AFolderWithItsOwnScriptIsUsedAsItIs)
{
    const fs::path start = EmptyFolder("demo-maker");
    fs::create_directories(start / "data/music");
    fs::copy_file(Prefix() / "share/kestrova/data/music/kestrova.ogg", start / "data/music/kestrova.ogg");
    std::FILE* script = std::fopen((start / "data/demo.txt").c_str(), "w");
    ASSERT_NE(script, nullptr);
    std::fputs("data/music/kestrova.ogg\n0\n1\nFlashWhite\n0\n1000\n", script);
    std::fclose(script);

    const Outcome run = RunInstalled(start, "--no-message-box --render 500 --out frames --size 160x120");
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_PRED2(Contains, run.output, "Loaded FlashWhite with start time 0 and end time 1000\n");
    EXPECT_FALSE(Contains(run.output, "EndDemo")) << "the installed show was loaded";
    EXPECT_TRUE(fs::exists(start / "frames/0000000500.png"));
}

// A demo maker's folder made with --new takes the music and every effect's
// files it lacks from the installed show, wherever that was moved.
TEST_F(Installed, ANewShowPlaysWithTheInstalledShowsFiles)
{
    const fs::path start = EmptyFolder("new-show");
    const Outcome made = RunInstalled(start, "--new mine");
    ASSERT_EQ(made.exitCode, 0) << made.output;
    EXPECT_EQ(ReadBytes(start / "mine/data/music/kestrova.ogg"), ReadBytes(Prefix() / "share/kestrova/data/music/kestrova.ogg"));

    const Outcome run = RunInstalled(start, "--no-message-box --data mine --render 10000,20000 --out frames --size 160x120");
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_PRED2(Contains, run.output,
                 "data/plasma/effekt2.fs comes from the show in " + (Prefix() / "share/kestrova").string() + "\n");
    EXPECT_FALSE(Contains(run.output, "Unable to load image")) << run.output;
    EXPECT_TRUE(fs::exists(start / "frames/0000020000.png"));
}

// The manual cannot drift from the program: every option --help lists is in it.
TEST_F(Installed, TheManualPageNamesEveryOptionOfTheHelp)
{
    const Outcome help = RunInstalled(EmptyFolder("help"), "--help");
    std::string manual = ReadBytes(Prefix() / "share/man/man6/kestrova.6");
    manual = std::regex_replace(manual, std::regex(R"(\\-)"), "-");

    const std::regex option(R"((?:^|[ ,])(--[a-z][a-z-]*))");
    std::set<std::string> options;
    for (auto match = std::sregex_iterator(help.output.begin(), help.output.end(), option); match != std::sregex_iterator();
         ++match) {
        options.insert((*match)[1]);
    }
    EXPECT_GE(options.size(), 14u);
    for (const std::string& name : options) {
        EXPECT_TRUE(std::regex_search(manual, std::regex("(^|\\n)\\.(B|BI|BR) [^\\n]*" + name + "\\b"))) << name << " is not described";
    }
}

TEST_F(Installed, TheSamplePluginBuildsAgainstTheKitAlone)
{
    const fs::path plugin = folder->Path() / "beat_ring.so";
    const Outcome build = Shell("export PKG_CONFIG_PATH='" + (Prefix() / "lib/pkgconfig").string() + "' && c++ -shared -fPIC -o '" +
                                    plugin.string() + "' '" +
                                    (Prefix() / "share/doc/kestrova/examples/beat_ring/BeatRing.cpp").string() +
                                    "' $(pkg-config --cflags kestrova-plugin)",
                                folder->Path() / "build.txt");
    EXPECT_EQ(build.exitCode, 0) << build.output;
    const Outcome symbols = Shell("nm -D --defined-only '" + plugin.string() + "'", folder->Path() / "nm.txt");
    EXPECT_PRED2(Contains, symbols.output, " T Init\n");
    EXPECT_PRED2(Contains, symbols.output, " T Draw\n");
}
