#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <vector>

#include "app/NewShow.h"
#include "core/DemoMessage.h"
#include "support/TemporaryFolder.h"
#include "sync/RocketFile.h"

namespace {

void Write(const std::filesystem::path& file, const std::string& text)
{
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary | std::ios::trunc) << text;
}

// The script's values: every line that is not a comment.
std::vector<std::string> Values(const std::string& script)
{
    std::vector<std::string> values;
    std::istringstream lines(script);
    for (std::string line; std::getline(lines, line);) {
        if (!line.starts_with("#")) {
            values.push_back(line);
        }
    }
    return values;
}

bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

// Every file under a folder, relative to it.
std::vector<std::string> FilesIn(const std::filesystem::path& folder)
{
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file()) {
            files.push_back(entry.path().lexically_relative(folder).string());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

// An installed show with its music, and a place for the new one.
class NewShowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Write(installed.Path() / "data/demo.txt", "data/music/kestrova.ogg\n0\n0\n");
        Write(installed.Path() / "data/music/kestrova.ogg", "the shipped music");
    }

    TemporaryFolder installed;
    TemporaryFolder place;
    std::filesystem::path folder = place.Path() / "myshow";
};

// The glow keys must fall inside the ShaderShow entry's window, whatever
// the tempo turns music time into rows.
void ExpectGlowInsideTheShaderWindow(const SyncTracks& tracks)
{
    const SyncTrack* glow = tracks.Find("glow");
    ASSERT_NE(glow, nullptr);
    ASSERT_GE(glow->Keys().size(), 3u);
    for (const TrackKey& key : glow->Keys()) {
        const std::uint32_t time = tracks.tempo.StartOfRow(key.row);
        EXPECT_GE(time, 15484u - 20u) << "row " << key.row;
        EXPECT_LE(time, 30968u + 20u) << "row " << key.row;
    }
    float brightest = 0.0f;
    for (const TrackKey& key : glow->Keys()) {
        brightest = std::max(brightest, key.value);
    }
    EXPECT_GT(brightest, 0.5f) << "the glow shows";
}

}  // namespace

TEST_F(NewShowTest, MakesAShowWithTheShippedMusicItsTempoAndAShaderToEdit)
{
    const std::string report = NewShow(folder, installed.Path()).Make();

    EXPECT_EQ(FilesIn(folder), (std::vector<std::string>{"data/demo.rocket", "data/demo.txt", "data/music/kestrova.ogg",
                                                         "data/shaders/first.fs"}));
    EXPECT_EQ(ReadBytes(folder / "data/music/kestrova.ogg"), "the shipped music");

    const std::string script = ReadBytes(folder / "data/demo.txt");
    const std::vector<std::string> values = Values(script);
    ASSERT_GE(values.size(), 3u);
    EXPECT_EQ(values[0], "data/music/kestrova.ogg");
    EXPECT_EQ(values[1], "0");
    EXPECT_PRED2(Contains, script, "ShaderShow\n15484\n30968\ndata/shaders/first.fs\n");
    EXPECT_EQ(values.back(), "40000") << "it ends with its EndDemo window";
    EXPECT_EQ(values[values.size() - 3], "EndDemo");

    const std::string shader = ReadBytes(folder / "data/shaders/first.fs");
    EXPECT_TRUE(shader.starts_with("#version 110\n"));
    for (const char* uniform : {"uniform float time;", "uniform float beat;", "uniform float glow;"}) {
        EXPECT_PRED2(Contains, shader, uniform);
    }

    const SyncTracks tracks = ReadRocketFile((folder / "data/demo.rocket").string());
    EXPECT_EQ(tracks.tempo.beatsPerMinute, 124.0);
    EXPECT_EQ(tracks.tempo.rowsPerBeat, 8);
    ExpectGlowInsideTheShaderWindow(tracks);

    for (const char* file : {"data/demo.txt", "data/music/kestrova.ogg", "data/shaders/first.fs", "data/demo.rocket"}) {
        EXPECT_PRED2(Contains, report, file);
    }
    EXPECT_PRED2(Contains, report, "kestrova --windowed --watch --data " + folder.string() + "\n");
    EXPECT_PRED2(Contains, report, "kestrova --check --data " + folder.string() + "\n");
    EXPECT_PRED2(Contains, report, "come from the show in " + installed.Path().string());
    EXPECT_FALSE(Contains(report, "Kept"));
}

TEST_F(NewShowTest, OtherMusicIsKeptUnderItsOwnNameWithTheDefaultTempo)
{
    Write(place.Path() / "tunes/song one.wav", "another music");
    NewShow(folder, installed.Path(), place.Path() / "tunes/song one.wav").Make();

    EXPECT_EQ(ReadBytes(folder / "data/music/song one.wav"), "another music");
    EXPECT_FALSE(std::filesystem::exists(folder / "data/music/kestrova.ogg"));
    EXPECT_EQ(Values(ReadBytes(folder / "data/demo.txt"))[0], "data/music/song one.wav");
    const SyncTracks tracks = ReadRocketFile((folder / "data/demo.rocket").string());
    EXPECT_EQ(tracks.tempo.beatsPerMinute, 120.0);
    EXPECT_EQ(tracks.tempo.rowsPerBeat, 8);
    ExpectGlowInsideTheShaderWindow(tracks);
}

TEST_F(NewShowTest, AFolderWithAScriptIsRefusedAndNothingIsWritten)
{
    Write(folder / "data/demo.txt", "my own show");
    try {
        NewShow(folder, installed.Path()).Make();
        FAIL() << "no message";
    } catch (const DemoMessage& message) {
        EXPECT_PRED2(Contains, message.Text(), folder.string());
        EXPECT_PRED2(Contains, message.Text(), "never overwrites");
    }
    EXPECT_EQ(FilesIn(folder), std::vector<std::string>{"data/demo.txt"});
    EXPECT_EQ(ReadBytes(folder / "data/demo.txt"), "my own show");
}

TEST_F(NewShowTest, OtherFilesThereAlreadyAreKeptAndNamed)
{
    Write(folder / "data/shaders/first.fs", "my shader");
    Write(folder / "data/music/kestrova.ogg", "my music");
    const std::string report = NewShow(folder, installed.Path()).Make();
    EXPECT_EQ(ReadBytes(folder / "data/shaders/first.fs"), "my shader");
    EXPECT_EQ(ReadBytes(folder / "data/music/kestrova.ogg"), "my music");
    EXPECT_PRED2(Contains, report, "Kept data/shaders/first.fs as it was.\n");
    EXPECT_PRED2(Contains, report, "Kept data/music/kestrova.ogg as it was.\n");
    EXPECT_TRUE(std::filesystem::exists(folder / "data/demo.txt"));
    EXPECT_TRUE(std::filesystem::exists(folder / "data/demo.rocket"));
}

TEST_F(NewShowTest, WithoutAFallbackShowOrMusicNothingIsWritten)
{
    EXPECT_THROW(NewShow(folder, {}).Make(), DemoMessage) << "the effects' files would be missing";
    EXPECT_THROW(NewShow(folder, installed.Path(), place.Path() / "missing.ogg").Make(), DemoMessage);
    std::filesystem::remove(installed.Path() / "data/music/kestrova.ogg");
    EXPECT_THROW(NewShow(folder, installed.Path()).Make(), DemoMessage);
    EXPECT_FALSE(std::filesystem::exists(folder));
}

TEST_F(NewShowTest, AFolderNameTheShellWouldSplitIsQuotedInTheCommands)
{
    const std::filesystem::path spaced = place.Path() / "Kim's show";
    const std::string report = NewShow(spaced, installed.Path()).Make();
    EXPECT_PRED2(Contains, report, "--watch --data '" + place.Path().string() + "/Kim'\\''s show'\n");
    EXPECT_TRUE(std::filesystem::exists(spaced / "data/demo.txt"));
}
