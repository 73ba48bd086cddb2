#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "effects/Keywords.h"
#include "AssetList.h"
#include "support/TemporaryFolder.h"
#include "music/Arrangement.h"
#include "music/Tempo.h"
#include "script/ScriptReader.h"
#include "sync/RocketFile.h"

namespace {

const std::filesystem::path scriptPath = std::filesystem::path(SOURCE_DATA_DIR) / "demo.txt";

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

struct Entry {
    std::string keyword;
    std::int32_t start = 0;
    std::int32_t end = 0;
    std::string image;
    std::string mode;
    std::string shader;
    std::int32_t seed = 0;
};

struct Script {
    std::string music;
    std::int32_t offset = 0;
    std::int32_t count = 0;
    std::vector<Entry> entries;
};

// Reads the script the way the show does: the header, then entries whose
// extra values depend on the keyword.
Script ReadScript()
{
    const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(scriptPath.c_str(), "r"));
    if (!file) {
        throw std::runtime_error("cannot open " + scriptPath.string());
    }
    ScriptReader reader(file.get());
    Script script{reader.RequireLine(), reader.RequireNumber(), reader.RequireNumber(), {}};
    while (const std::optional<std::string> keyword = reader.ReadLine()) {
        reader.BeginEntry(*keyword);
        Entry entry{*keyword, reader.RequireNumber(), reader.RequireNumber(), {}, {}, {}, 0};
        if (entry.keyword == "AlphaBlendImage") {
            entry.image = reader.RequireLine();
            entry.mode = reader.RequireLine();
        } else if (entry.keyword == "ShaderShow") {
            entry.shader = reader.RequireLine();
            entry.image = reader.RequireLine();
        } else if (entry.keyword == "Plasma2D") {
            entry.seed = reader.RequireNumber();
        }
        script.entries.push_back(entry);
    }
    return script;
}

std::set<std::string> GeneratedPictures()
{
    std::set<std::string> paths;
    for (const PictureAsset& asset : PictureAssets()) {
        paths.insert((std::filesystem::path("data") / asset.file).string());
    }
    return paths;
}

}  // namespace

TEST(ShowScript, EndsWithoutALineBreak)
{
    const std::string bytes = ReadBytes(scriptPath);
    ASSERT_FALSE(bytes.empty());
    EXPECT_NE(bytes.back(), '\n');
}

TEST(ShowScript, PlaysTheGeneratedTrackFromTheStart)
{
    const Script script = ReadScript();
    EXPECT_EQ(script.music, (std::filesystem::path("data") / musicAsset).string());
    EXPECT_EQ(script.offset, 0);
}

TEST(ShowScript, CountsItsEntriesExactly)
{
    const Script script = ReadScript();
    EXPECT_EQ(script.count, static_cast<std::int32_t>(script.entries.size()));
}

TEST(ShowScript, UsesOnlyKnownEffectsAndGeneratedPictures)
{
    // The program's own keyword table: every keyword it can build.
    std::set<std::string> keywords;
    for (const KeywordEntry& entry : DemoKeywords()) {
        keywords.insert(entry.keyword);
    }
    const std::set<std::string> modes{"UP", "DOWN", "LEFT", "RIGHT", "UPCENTER", "BEATUP", "BEATBACK", "RANDOM"};
    const std::set<std::string> pictures = GeneratedPictures();
    for (const Entry& entry : ReadScript().entries) {
        EXPECT_TRUE(keywords.count(entry.keyword)) << entry.keyword;
        if (entry.keyword == "AlphaBlendImage") {
            EXPECT_TRUE(pictures.count(entry.image)) << entry.image;
            EXPECT_TRUE(modes.count(entry.mode)) << entry.mode;
        }
        if (entry.keyword == "ShaderShow") {
            EXPECT_TRUE(pictures.count(entry.image)) << entry.image;
            const std::filesystem::path shader(entry.shader);
            ASSERT_EQ(*shader.begin(), "data") << entry.shader;
            EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::path(SOURCE_DATA_DIR) / shader.lexically_relative("data")))
                << entry.shader << " is not an authored file";
        }
    }
}

// Every shader effect shows at least once, each ShaderShow scene with its
// own shader, and the two plasmas with different seeds.
TEST(ShowScript, ShowsEveryShaderEffect)
{
    std::set<std::string> keywords;
    std::set<std::string> shaders;
    std::set<std::int32_t> seeds;
    int shaderShows = 0;
    int plasmas = 0;
    for (const Entry& entry : ReadScript().entries) {
        keywords.insert(entry.keyword);
        if (entry.keyword == "ShaderShow") {
            shaders.insert(entry.shader);
            ++shaderShows;
        }
        if (entry.keyword == "Plasma2D") {
            seeds.insert(entry.seed);
            ++plasmas;
        }
    }
    for (const char* keyword : {"Plasma2D", "PolarCoords", "ShaderShow", "Banger", "Circles", "Faces", "TwistBox"}) {
        EXPECT_TRUE(keywords.count(keyword)) << keyword;
    }
    EXPECT_GE(shaders.size(), 2u);
    EXPECT_EQ(static_cast<int>(shaders.size()), shaderShows);
    EXPECT_EQ(static_cast<int>(seeds.size()), plasmas);
}

TEST(ShowScript, ShowsEveryModeAndSeveralFlashes)
{
    std::set<std::string> modes;
    int flashes = 0;
    for (const Entry& entry : ReadScript().entries) {
        if (entry.keyword == "AlphaBlendImage") {
            modes.insert(entry.mode);
        }
        flashes += entry.keyword == "FlashWhite" ? 1 : 0;
    }
    EXPECT_EQ(modes.size(), 8u);
    EXPECT_GE(flashes, 3);
}

TEST(ShowScript, TimesRunForwardWithinTheTrackAndEndTheShowLast)
{
    const Script script = ReadScript();
    ASSERT_FALSE(script.entries.empty());
    const auto trackMilliseconds = static_cast<std::int32_t>(Arrangement::LengthSeconds() * 1000.0);
    std::int32_t previousStart = 0;
    for (const Entry& entry : script.entries) {
        EXPECT_LT(entry.start, entry.end) << entry.keyword << " at " << entry.start;
        EXPECT_LE(entry.end, trackMilliseconds) << entry.keyword << " at " << entry.start;
        EXPECT_GE(entry.start, previousStart) << entry.keyword << " at " << entry.start;
        previousStart = entry.start;
    }
    const Entry& last = script.entries.back();
    EXPECT_EQ(last.keyword, "EndDemo");
    for (std::size_t i = 0; i + 1 < script.entries.size(); ++i) {
        const Entry& entry = script.entries[i];
        EXPECT_LE(entry.end, last.start) << entry.keyword << " at " << entry.start << " runs past the end of the show";
    }
}

namespace {

// Where bar n (counted from 1) starts, in whole milliseconds.
std::int32_t BarStart(int bar)
{
    return static_cast<std::int32_t>(std::lround((bar - 1) * Tempo::SecondsPerBar() * 1000.0));
}

// The bar an entry starts on, or 0 when it starts between bars.
int BarOf(std::int32_t time)
{
    for (int bar = 1; bar <= Arrangement::barCount; ++bar) {
        if (std::abs(time - BarStart(bar)) <= 1) {
            return bar;
        }
    }
    return 0;
}

}  // namespace

// The second act, bars 33 to 56, belongs to the image effects: every one of
// them is shown there, each starting on a bar and ending within the act.
TEST(ShowScript, ShowsEveryImageEffectOnTheBarsOfTheSecondAct)
{
    const std::set<std::string> imageEffects{"Stroboskop", "Tunnel", "Zoomba", "Zoombb", "ColorBox", "Solaris", "NanoBall"};
    const std::int32_t actStart = BarStart(33);
    const std::int32_t actEnd = BarStart(57);
    std::set<std::string> shown;
    for (const Entry& entry : ReadScript().entries) {
        if (imageEffects.count(entry.keyword) != 0) {
            shown.insert(entry.keyword);
            EXPECT_GE(entry.start, actStart) << entry.keyword;
            EXPECT_LE(entry.end, actEnd) << entry.keyword;
            EXPECT_NE(BarOf(entry.start), 0) << entry.keyword << " at " << entry.start;
            EXPECT_NE(BarOf(entry.end), 0) << entry.keyword << " until " << entry.end;
        } else if (entry.keyword != "FlashWhite" && entry.keyword != "EndDemo") {
            EXPECT_TRUE(entry.end <= actStart || entry.start >= actEnd) << entry.keyword << " at " << entry.start << " reaches into the second act";
        }
    }
    EXPECT_EQ(shown, imageEffects);
}

// The first act's cards change where the music moves on: every card starts
// and ends on a four-bar line, every sliding card fills the screen on one,
// at the middle of its eight bars, and no card leaves the screen but under
// a card that fills it or in a flash.
TEST(ShowScript, TheFirstActsCardsChangeOnFourBarLines)
{
    const std::set<std::string> slides{"UP", "DOWN", "LEFT", "RIGHT", "BEATUP"};
    std::set<std::int32_t> cardEnds;
    std::set<std::int32_t> covered;  // where a slide fills the screen, or a flash starts
    for (const Entry& entry : ReadScript().entries) {
        if (entry.keyword == "FlashWhite") {
            covered.insert(entry.start);
        }
        if (entry.keyword != "AlphaBlendImage" || entry.start >= BarStart(33)) {
            continue;
        }
        for (const std::int32_t time : {entry.start, entry.end}) {
            EXPECT_EQ((BarOf(time) - 1) % 4, 0) << entry.image << " at " << time;
        }
        cardEnds.insert(entry.end);
        if (slides.count(entry.mode) != 0) {
            EXPECT_EQ(BarOf(entry.end) - BarOf(entry.start), 8) << entry.image;
            covered.insert(BarStart((BarOf(entry.start) + BarOf(entry.end)) / 2));
        }
    }
    EXPECT_GE(cardEnds.size(), 5u);
    for (const std::int32_t end : cardEnds) {
        EXPECT_EQ(covered.count(end), 1u) << "a card ends in plain sight at " << end;
    }
}

// The tracks' rows fall on the music's own beats, so that keys set on a beat
// land on it.
TEST(ShowScript, TheShippedTracksFollowTheMusicsTempo)
{
    const SyncTracks tracks = ReadRocketFile((std::filesystem::path(SOURCE_DATA_DIR) / "demo.rocket").string());
    EXPECT_EQ(tracks.tempo.beatsPerMinute, Tempo::beatsPerMinute);
    EXPECT_EQ(tracks.tempo.rowsPerBeat, 8);
}
