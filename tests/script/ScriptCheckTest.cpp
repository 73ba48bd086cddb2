#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "core/DemoMessage.h"
#include "core/FileReads.h"
#include "effects/Keywords.h"
#include "script/DemoScript.h"
#include "script/KeywordSuggestion.h"
#include "script/ScriptCheck.h"

namespace {

class StandIn : public Effekt {
public:
    using Effekt::Effekt;
    void Draw(std::uint32_t, float) override {}
};

std::unique_ptr<Effekt> Built(std::uint32_t start, std::uint32_t end)
{
    return std::make_unique<StandIn>(start, end);
}

// Keywords that stand in for the effects without GL, each failing as its
// original may.
KeywordTable StandInKeywords()
{
    return {
        {"FlashWhite", WindowOnly<StandIn>()},
        {"EndDemo", WindowOnly<StandIn>()},
        {"Plasma2D",
         [](std::uint32_t start, std::uint32_t end, ScriptReader& extras) {
             extras.RequireNumber();
             return Built(start, end);
         }},
        // A picture that cannot be read leaves the entry built, as a texture does.
        {"Picture",
         [](std::uint32_t start, std::uint32_t end, ScriptReader& extras) {
             const std::string path = extras.RequireLine();
             NoteFileRead(path);
             if (path.find("missing") != std::string::npos) {
                 NoteUnreadableFile(path);
                 NoteUnreadableFile(path);
             }
             return Built(start, end);
         }},
        // A shader that does not compile, with a message naming the file or not.
        {"Shader",
         [](std::uint32_t start, std::uint32_t end, ScriptReader& extras) -> std::unique_ptr<Effekt> {
             const std::string path = extras.RequireLine();
             NoteFileRead(path);
             if (path.find("broken") != std::string::npos) {
                 throw DemoMessage("Compiler error 0:1(5): syntax error\n");
             }
             if (path.find("missing") != std::string::npos) {
                 throw DemoMessage(FormatText("Error opening: %s", path.c_str()));
             }
             return Built(start, end);
         }},
        // A plug-in's Init reads its two lines straight from the stream; one
        // without Draw fails before it reads any.
        {"Plugin",
         [](std::uint32_t start, std::uint32_t end, ScriptReader& extras) -> std::unique_ptr<Effekt> {
             const std::string library = extras.RequireLine();
             NoteFileRead(library);
             if (library == "./without_draw.so") {
                 throw DemoMessage("Unable to fint Draw function in plugin: ./without_draw.so");
             }
             char line[64];
             for (int lines = 0; lines < 2 && std::fgets(line, sizeof line, extras.Stream()) != nullptr; ++lines) {
             }
             return Built(start, end);
         }},
        {"Quit", [](std::uint32_t, std::uint32_t, ScriptReader&) -> std::unique_ptr<Effekt> {
             throw DemoMessage::Ending("You quit?");
         }},
    };
}

// A check of the script's text, its debug output kept.
struct Checked {
    ScriptCheck check;
    EffectList effects;
    std::string debugOutput;
};

std::unique_ptr<Checked> Check(const std::string& script)
{
    auto checked = std::make_unique<Checked>();
    testing::internal::CaptureStderr();
    DemoScript::CheckText(StandInKeywords(), checked->effects, script, checked->check);
    checked->debugOutput = testing::internal::GetCapturedStderr();
    return checked;
}

const std::string header = "data/m.ogg\n0\n5\n";

}  // namespace

TEST(KeywordSuggestion, EditDistanceCountsInsertionsRemovalsAndReplacementsWhateverTheCase)
{
    EXPECT_EQ(EditDistance("Plasm2D", "Plasma2D"), 1u);
    EXPECT_EQ(EditDistance("FlashWhitee", "FlashWhite"), 1u);
    EXPECT_EQ(EditDistance("Tumnel", "Tunnel"), 1u);
    EXPECT_EQ(EditDistance("Tunnle", "Tunnel"), 2u) << "two letters swapped are two edits";
    EXPECT_EQ(EditDistance("plasma2d", "Plasma2D"), 0u);
    EXPECT_EQ(EditDistance("", "Faces"), 5u);
    EXPECT_EQ(EditDistance("Faces", ""), 5u);
    EXPECT_EQ(EditDistance("kitten", "sitting"), 3u);
}

TEST(KeywordSuggestion, OnlyNearMissesOfTheRealKeywordsAreSuggested)
{
    const KeywordTable keywords = DemoKeywords();
    EXPECT_EQ(NearestKeyword(keywords, "Plasm2D"), "Plasma2D");
    EXPECT_EQ(NearestKeyword(keywords, "plasma2d"), "Plasma2D");
    EXPECT_EQ(NearestKeyword(keywords, " FlashWhite"), "FlashWhite");
    EXPECT_EQ(NearestKeyword(keywords, "AlphaBlendImag"), "AlphaBlendImage");
    EXPECT_EQ(NearestKeyword(keywords, "Tunel"), "Tunnel");
    EXPECT_EQ(NearestKeyword(keywords, "Zoombc"), "Zoomba") << "the first of two as near";
    EXPECT_EQ(NearestKeyword(keywords, "SpinningCube"), std::nullopt);
    EXPECT_EQ(NearestKeyword(keywords, "Fac"), std::nullopt) << "two edits are too many for three letters";
    EXPECT_EQ(NearestKeyword(keywords, "Tuxxel"), "Tunnel") << "two edits in six letters are near";
    EXPECT_EQ(NearestKeyword(keywords, "Tuxxxl"), std::nullopt) << "three are not";
    EXPECT_EQ(NearestKeyword(keywords, "1977"), std::nullopt);
    EXPECT_EQ(NearestKeyword(keywords, ""), std::nullopt);
}

TEST(KeywordSuggestion, TheNoteSuggestsWhereItCan)
{
    const KeywordTable keywords = DemoKeywords();
    EXPECT_EQ(UnknownKeywordNote(keywords, "Plasm2D"), "unknown keyword 'Plasm2D' (did you mean Plasma2D?)");
    EXPECT_EQ(UnknownKeywordNote(keywords, "SpinningCube"), "unknown keyword 'SpinningCube'");
    EXPECT_EQ(UnknownKeywordNote(keywords, ""), "a blank line stands where a keyword should");
}

TEST(ScriptProblemsReport, ListsTheScriptsProblemsByLineThenOtherFilesThenASummary)
{
    ScriptProblems problems("data/demo.txt");
    EXPECT_EQ(problems.Report(), "data/demo.txt: no problems\n");
    problems.Error(40, "ShaderShow: Compiler error in data/x.fs (GLSL 4.50): 0:1(1): error\n\n");
    problems.ErrorIn("data/demo.rocket", "Unable to read tracks file data/demo.rocket, line 3: broken");
    problems.Warning(12, "'13OOO' is read as 13");
    problems.Error(0, "the script cannot be read");
    problems.Warning(40, "the window of ShaderShow ends at 300000, after the music's end");
    EXPECT_EQ(problems.Report(),
              "data/demo.txt: error: the script cannot be read\n"
              "data/demo.txt:12: warning: '13OOO' is read as 13\n"
              "data/demo.txt:40: error: ShaderShow: Compiler error in data/x.fs (GLSL 4.50): 0:1(1): error\n"
              "data/demo.txt:40: warning: the window of ShaderShow ends at 300000, after the music's end\n"
              "data/demo.rocket: error: Unable to read tracks file data/demo.rocket, line 3: broken\n"
              "data/demo.txt: 3 errors, 2 warnings\n");
    EXPECT_EQ(problems.Count(ScriptProblems::Severity::error), 3);
}

TEST(ScriptProblemsReport, CountsInTheSingularAndLeavesOutWhatThereIsNone)
{
    ScriptProblems warned("data/demo.txt");
    warned.Warning(3, "'5x' is read as 5");
    EXPECT_EQ(warned.Report(), "data/demo.txt:3: warning: '5x' is read as 5\ndata/demo.txt: 1 warning\n");
    ScriptProblems failed("data/demo.txt");
    failed.Error(3, "unknown keyword 'X'");
    EXPECT_EQ(failed.Report(), "data/demo.txt:3: error: unknown keyword 'X'\ndata/demo.txt: 1 error\n");
}

// One of each problem the script itself can hold, each at its line, and
// every good entry among them built.
TEST(ScriptCheckText, FindsEveryProblemAtItsLineAndBuildsEveryGoodEntry)
{
    const auto checked = Check(header +                                    // lines 1-3
                               "Plasm2D\n0\n1000\n1977\n"                  // 4
                               "FlashWhite\n13000\n12000\n"                // 8
                               "# a picture\nPicture\n0\n1000\ndata/missing.jpg\n"  // 12
                               "Shader\n0\n1000\ndata/broken.fs\n"         // 16
                               "Shader\n0\n1000\ndata/missing.fs\n"        // 20
                               "Plugin\n0\n1000\n./without_draw.so\n1 0 0\n0.5\n"  // 24
                               "FlashWhite\n100\n200ms\n"                  // 30
                               "\n"                                        // 33
                               "EndDemo\n5000\n6000\n");                   // 34
    EXPECT_EQ(checked->check.problems.Report(),
              "data/demo.txt:4: error: unknown keyword 'Plasm2D' (did you mean Plasma2D?)\n"
              "data/demo.txt:8: error: the window of FlashWhite ends at 12000, before it starts at 13000: it is never drawn\n"
              "data/demo.txt:12: error: Picture: the picture data/missing.jpg cannot be read\n"
              "data/demo.txt:16: error: Shader: data/broken.fs: Compiler error 0:1(5): syntax error\n"
              "data/demo.txt:20: error: Shader: Error opening: data/missing.fs\n"
              "data/demo.txt:24: error: Plugin: Unable to fint Draw function in plugin: ./without_draw.so\n"
              "data/demo.txt:32: warning: '200ms' is read as 200\n"
              "data/demo.txt:33: error: a blank line stands where a keyword should\n"
              "data/demo.txt: 7 errors, 1 warning\n");
    ASSERT_EQ(checked->effects.Size(), 4u) << "FlashWhite (never drawn), Picture, FlashWhite, EndDemo";
    EXPECT_EQ(checked->effects[3].startTime, 5000u);
    EXPECT_PRED_FORMAT2(testing::IsSubstring, "data/demo.txt line 32: '200ms' is read as 200\n", checked->debugOutput);
}

// The lines after an unknown keyword are its values until a keyword comes:
// a misspelt one is reported too, any other line passed over.
TEST(ScriptCheckText, AfterAnUnknownKeywordOnlyTheNextKeywordIsRead)
{
    const auto checked = Check(header + "Plasm2D\n0\n100\n1977\nFlashWite\n0\n100\nSpinningCube\n0\n100\n"
                                        "FlashWhite\n0\n100\n");
    EXPECT_EQ(checked->check.problems.Report(),
              "data/demo.txt:4: error: unknown keyword 'Plasm2D' (did you mean Plasma2D?)\n"
              "data/demo.txt:8: error: unknown keyword 'FlashWite' (did you mean FlashWhite?)\n"
              "data/demo.txt: 2 errors\n");
    ASSERT_EQ(checked->effects.Size(), 1u);
    ASSERT_EQ(checked->check.windows.size(), 1u);
    EXPECT_EQ(checked->check.windows[0].line, 14);
}

// A plug-in's Init takes its own lines: the lines after them still have
// their numbers.
TEST(ScriptCheckText, LinesAfterAPluginsOwnLinesAreRight)
{
    const auto checked = Check(header + "Plugin\n0\n1000\n./ring.so\n1 0 0\n# a comment it reads\n"
                                        "Plasma2D\n0\n1000\n19x77\nFlashWhit\n0\n10\n");
    EXPECT_EQ(checked->check.problems.Report(),
              "data/demo.txt:13: warning: '19x77' is read as 19\n"
              "data/demo.txt:14: error: unknown keyword 'FlashWhit' (did you mean FlashWhite?)\n"
              "data/demo.txt: 1 error, 1 warning\n");
    EXPECT_EQ(checked->effects.Size(), 2u);
}

// Windows open at both ends hold no whole millisecond unless the end lies
// two past the start.
TEST(ScriptCheckText, AWindowWithoutTimeInItIsAnError)
{
    const auto checked = Check(header + "FlashWhite\n500\n500\nFlashWhite\n500\n501\nFlashWhite\n500\n502\nEndDemo\n9000\n10\n");
    EXPECT_EQ(checked->check.problems.Report(),
              "data/demo.txt:4: error: the window of FlashWhite from 500 to 500 holds no time (it is open while 500 < t < 500): "
              "it is never drawn\n"
              "data/demo.txt:7: error: the window of FlashWhite from 500 to 501 holds no time (it is open while 500 < t < 501): "
              "it is never drawn\n"
              "data/demo.txt:13: error: the window of EndDemo ends at 10, before it starts at 9000: it never ends the show\n"
              "data/demo.txt: 3 errors\n");
}

// The values are unsigned as the effects hold them: a negative start lies
// after any end.
TEST(ScriptCheckText, WindowsCompareAsTheEffectsHoldThem)
{
    const auto checked = Check(header + "FlashWhite\n-5\n2000\n");
    EXPECT_EQ(checked->check.problems.Report(),
              "data/demo.txt:4: error: the window of FlashWhite ends at 2000, before it starts at 4294967291: it is never "
              "drawn\n"
              "data/demo.txt: 1 error\n");
}

TEST(ScriptCheckText, AnEntryCutShortByTheEndOfTheFileIsAnError)
{
    const auto checked = Check(header + "FlashWhite\n0\n100\n\n\nPlasma2D\n0\n100\n");
    EXPECT_EQ(checked->check.problems.Report(),
              "data/demo.txt:7: error: a blank line stands where a keyword should\n"
              "data/demo.txt:9: error: Plasma2D: The script ends inside the entry 'Plasma2D', please correct\n"
              "data/demo.txt: 2 errors\n");
}

TEST(ScriptCheckText, BlankLinesAndCommentsAfterTheLastEntryAreNoProblem)
{
    const auto checked = Check(header + "FlashWhite\n0\n100\n\n  \n# the end\n\n");
    EXPECT_EQ(checked->check.problems.Report(), "data/demo.txt: no problems\n");
    EXPECT_EQ(checked->effects.Size(), 1u);
}

TEST(ScriptCheckText, RecordsTheMusicItsLineAndEveryWindow)
{
    const auto checked = Check("# the music\ndata/m.ogg\n12\n2\nFlashWhite\n0\n100\n# the end\nEndDemo\n100\n200\n");
    EXPECT_EQ(checked->check.musicFile, "data/m.ogg");
    EXPECT_EQ(checked->check.musicLine, 2);
    EXPECT_EQ(checked->check.startOffset, 12u);
    ASSERT_EQ(checked->check.windows.size(), 2u);
    EXPECT_EQ(checked->check.windows[1].keyword, "EndDemo");
    EXPECT_EQ(checked->check.windows[1].line, 9);
    EXPECT_EQ(checked->check.windows[1].start, 100u);
    EXPECT_EQ(checked->check.windows[1].end, 200u);
}

TEST(ScriptCheckText, AScriptWithoutItsMusicIsOneErrorWithoutALine)
{
    for (const std::string script : {"", "\n0\n1\nFlashWhite\n0\n100\n"}) {
        const auto checked = Check(script);
        EXPECT_EQ(checked->check.problems.Report(),
                  "data/demo.txt: error: The script data/demo.txt does not name its music file on its first line, please "
                  "correct\ndata/demo.txt: 1 error\n");
    }
}

// Files read while an entry is built are still told to whoever listened.
TEST(ScriptCheckText, PassesFileNoticesOn)
{
    class Listener : public FileReadListener {
    public:
        void FileRead(const std::string& path) override { read.push_back(path); }
        void FileUnreadable(const std::string& path) override { unreadable.push_back(path); }
        std::vector<std::string> read;
        std::vector<std::string> unreadable;
    } listener;
    FileReadListener* previous = SetFileReadListener(&listener);
    Check(header + "Picture\n0\n10\ndata/a.jpg\nPicture\n0\n10\ndata/missing.jpg\n");
    SetFileReadListener(previous);
    EXPECT_EQ(listener.read, (std::vector<std::string>{"data/a.jpg", "data/missing.jpg"}));
    EXPECT_EQ(listener.unreadable, (std::vector<std::string>{"data/missing.jpg", "data/missing.jpg"}));
}

namespace {

ScriptCheck WithWindows(std::uint32_t startOffset, std::vector<EntryWindow> windows)
{
    ScriptCheck check;
    check.startOffset = startOffset;
    check.windows = std::move(windows);
    return check;
}

std::string MusicReport(const ScriptCheck& check, double musicMilliseconds)
{
    ScriptProblems problems(ScriptReader::scriptPath);
    CheckWindowsWithinMusic(check, musicMilliseconds, problems);
    return problems.Report();
}

}  // namespace

TEST(ScriptCheckMusic, AShowEndingBeforeTheMusicDoesLosesNothing)
{
    const ScriptCheck check = WithWindows(0, {{4, "Tunnel", 0, 999999}, {8, "EndDemo", 9000, 10000}});
    EXPECT_EQ(MusicReport(check, 9000.5), "data/demo.txt: no problems\n");
}

TEST(ScriptCheckMusic, WhatThePlayingShowCannotReachIsWarnedOf)
{
    const ScriptCheck check = WithWindows(0, {{4, "Tunnel", 0, 10000},
                                              {8, "Faces", 9000, 12000},
                                              {12, "Banger", 11000, 13000},
                                              {16, "Circles", 15000, 16000},
                                              {20, "EndDemo", 14000, 20000}});
    EXPECT_EQ(MusicReport(check, 10000.0),
              "data/demo.txt:8: warning: the window of Faces ends at 12000, after the music's end at 10000 ms: as the music "
              "loops, only --render and --capture draw its end\n"
              "data/demo.txt:12: warning: the window of Banger starts at 11000, after the music's end at 10000 ms: as the "
              "music loops, only --render and --capture draw it\n"
              "data/demo.txt:20: warning: the show ends at 14000, after the music's end at 10000 ms: the music loops until "
              "the show is stopped\n"
              "data/demo.txt: 3 warnings\n");
}

// The show's end is the first EndDemo reached from the start offset on.
TEST(ScriptCheckMusic, TheShowEndsAtTheFirstEndDemoReachedFromItsStart)
{
    const ScriptCheck check =
        WithWindows(10, {{4, "EndDemo", 0, 5000}, {8, "EndDemo", 30000, 40000}, {12, "EndDemo", 20000, 20001}});
    EXPECT_EQ(MusicReport(check, 25000.0),
              "data/demo.txt:8: warning: the show ends at 30000, after the music's end at 25000 ms: the music loops until the "
              "show is stopped\n"
              "data/demo.txt: 1 warning\n");
    EXPECT_EQ(MusicReport(WithWindows(0, {{4, "EndDemo", 0, 5000}}), 4000.0), "data/demo.txt: no problems\n")
        << "inside its window at once";
}

TEST(ScriptCheckMusic, AShowWithoutAnEndLosesWhatLiesPastTheMusic)
{
    EXPECT_EQ(MusicReport(WithWindows(0, {{4, "Tunnel", 5000, 20000}}), 10000.0),
              "data/demo.txt:4: warning: the window of Tunnel ends at 20000, after the music's end at 10000 ms: as the music "
              "loops, only --render and --capture draw its end\n"
              "data/demo.txt: 1 warning\n");
    EXPECT_EQ(MusicReport(WithWindows(0, {{4, "Tunnel", 5000, 10000}}), 10000.0), "data/demo.txt: no problems\n");
}

namespace {

// A show loaded as a rebuild loads it, with its message when it fails.
std::string LoadFailure(const std::string& script, std::vector<EntrySource>& sources)
{
    EffectList effects;
    std::string musicFile;
    std::uint32_t startOffset = 0;
    testing::internal::CaptureStderr();
    try {
        DemoScript::ReadRecorded(StandInKeywords(), effects, script, DemoScript::NoProgress(), musicFile, startOffset,
                                 sources);
    } catch (const DemoMessage& message) {
        testing::internal::GetCapturedStderr();
        return message.Text();
    }
    testing::internal::GetCapturedStderr();
    return "";
}

std::string RebuildFailure(EntrySource& source)
{
    testing::internal::CaptureStderr();
    try {
        DemoScript::BuildEntry(StandInKeywords(), source);
    } catch (const DemoMessage& message) {
        testing::internal::GetCapturedStderr();
        return message.Text();
    }
    testing::internal::GetCapturedStderr();
    return "";
}

}  // namespace

TEST(MessagesNamingLines, AreLeftAsTheyAreOutsideTheirScope)
{
    std::vector<EntrySource> sources;
    EXPECT_EQ(LoadFailure(header + "FlashWhite\n0\n10\nShader\n0\n10\ndata/broken.fs\n", sources),
              "Compiler error 0:1(5): syntax error\n");
    EXPECT_EQ(LoadFailure(header + "FlashWhite\n0\n10\nSpinningCube\n0\n10\n", sources),
              "Unknown entry 'SpinningCube' in file, please correct");
}

TEST(MessagesNamingLines, NameTheFailedEntrysLineAndKeyword)
{
    const DemoScript::MessagesNameLines naming;
    std::vector<EntrySource> sources;
    EXPECT_EQ(LoadFailure(header + "FlashWhite\n0\n10\n# the shader\nShader\n0\n10\ndata/broken.fs\n", sources),
              "data/demo.txt line 8 (Shader): Compiler error 0:1(5): syntax error\n");
    EXPECT_EQ(LoadFailure(header + "FlashWhite\n0\n10\nSpinningCube\n0\n10\n", sources),
              "data/demo.txt line 7 (SpinningCube): Unknown entry 'SpinningCube' in file, please correct");
    EXPECT_EQ(LoadFailure(header + "Quit\n0\n10\n", sources), "You quit?") << "an ending is no entry's failure";
    EXPECT_EQ(LoadFailure("\n0\n1\n", sources),
              "The script data/demo.txt does not name its music file on its first line, please correct");
}

// An entry built again alone, its comments before it, keeps its lines.
TEST(MessagesNamingLines, NameTheLineOfAnEntryRebuiltAlone)
{
    std::vector<EntrySource> sources;
    ASSERT_EQ(LoadFailure(header + "FlashWhite\n0\n10\n# the shader\n# to edit\nShader\n0\n10\ndata/good.fs\n", sources), "");
    ASSERT_EQ(sources.size(), 2u);
    EXPECT_EQ(sources[1].firstLine, 7);
    EntrySource edited = sources[1];
    edited.text = "# the shader\n# to edit\nShader\n0\n10x\ndata/broken.fs\n";
    const DemoScript::MessagesNameLines naming;
    testing::internal::CaptureStderr();
    try {
        DemoScript::BuildEntry(StandInKeywords(), edited);
        ADD_FAILURE() << "the broken shader was built";
    } catch (const DemoMessage& message) {
        EXPECT_EQ(message.Text(), "data/demo.txt line 9 (Shader): Compiler error 0:1(5): syntax error\n");
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "data/demo.txt line 11: '10x' is read as 10\n");
    EXPECT_EQ(RebuildFailure(sources[1]), "") << "the good one builds";
}
