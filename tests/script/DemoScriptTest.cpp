
#include <FreeImage.h>

#include <filesystem>

#include "core/DebugOutput.h"
#include "core/DemoMessage.h"
#include "effects/Keywords.h"
#include "gfx/Screen.h"
#include "script/DemoScript.h"
#include "script/Overlays.h"
#include "support/GlTestContext.h"
#include "support/ScriptFolder.h"

namespace {

// Stands in for the display window: remembers where the loading picture was
// in each progress frame, and can play a viewer closing the window.
class RecordingWindow : public FrameWindow {
public:
    void SwapAndPoll() override
    {
        frameHeights.push_back(CurrentMatrix(GL_MODELVIEW_MATRIX)[13]);
        centrePixels.push_back(ReadPixelAt(0.5, 0.5));
        if (static_cast<int>(frameHeights.size()) == closeAtFrame) {
            throw DemoMessage("You quit?");
        }
    }

    std::vector<GLfloat> frameHeights;
    std::vector<Rgba> centrePixels;
    int closeAtFrame = 0;
};

// An effect that says when it is constructed, and what it was given.
class Recorded : public Effekt {
public:
    Recorded(std::uint32_t startTime, std::uint32_t endTime, std::string extra = "")
        : Effekt(startTime, endTime), extra(std::move(extra))
    {
        DebugOutput("constructing\n");
    }
    void Draw(std::uint32_t, float) override {}

    std::string extra;
};

KeywordTable TestKeywords()
{
    KeywordTable keywords = DemoKeywords();
    keywords.push_back({"Recorder", WindowOnly<Recorded>()});
    keywords.push_back({"Picture", [](std::uint32_t start, std::uint32_t end, ScriptReader& extras) -> std::unique_ptr<Effekt> {
                            std::string path = extras.RequireLine();
                            std::string mode = extras.RequireLine();
                            return std::make_unique<Recorded>(start, end, path + "|" + mode);
                        }});
    return keywords;
}

// An amber loading picture.
void WriteLoaderPicture(const ScriptFolder& folder)
{
    FIBITMAP* picture = FreeImage_Allocate(8, 8, 24);
    RGBQUAD amber{0x47, 0xB3, 0xFF, 0};
    for (unsigned y = 0; y < 8; ++y) {
        for (unsigned x = 0; x < 8; ++x) {
            FreeImage_SetPixelColor(picture, x, y, &amber);
        }
    }
    std::filesystem::create_directories(folder.Root() / "data/overlay");
    const bool saved = FreeImage_Save(FIF_PNG, picture, (folder.Root() / "data/overlay/loader.jpg").c_str(), 0);
    FreeImage_Unload(picture);
    ASSERT_TRUE(saved);
}

class DemoScriptLoading : public GlTest {
protected:
    // Loads the script text; the debug output of the load is kept in log.
    void Load(const std::string& script)
    {
        folder.WriteScript(script);
        testing::internal::CaptureStderr();
        try {
            DemoScript::Load(TestKeywords(), effects, window, musicFile, startOffset);
        } catch (...) {
            log = testing::internal::GetCapturedStderr();
            throw;
        }
        log = testing::internal::GetCapturedStderr();
    }

    // Loads a script that must fail, and returns the message.
    std::string LoadFailure(const std::string& script)
    {
        try {
            Load(script);
        } catch (const DemoMessage& message) {
            return message.Text();
        }
        ADD_FAILURE() << "the script loaded";
        return "";
    }

    const Recorded& RecordedAt(std::size_t index) const { return dynamic_cast<const Recorded&>(effects[index]); }

    ScriptFolder folder;
    RecordingWindow window;
    EffectList effects;
    std::string musicFile;
    std::uint32_t startOffset = 0;
    std::string log;
};

}  // namespace

TEST_F(DemoScriptLoading, ReadsTheHeaderAndEveryEntryInOrder)
{
    Load("music/track.ogg\n30\n3\nRecorder\n1000\n2000\nOverlays\n1500\n2500\nRecorder\n0\n99999");
    EXPECT_EQ(musicFile, "music/track.ogg");
    EXPECT_EQ(startOffset, 30u);
    ASSERT_EQ(effects.Size(), 3u);
    EXPECT_EQ(effects[0].startTime, 1000u);
    EXPECT_EQ(effects[0].endTime, 2000u);
    EXPECT_NE(dynamic_cast<Effekter::Overlays*>(&effects[1]), nullptr);
    EXPECT_EQ(effects[2].endTime, 99999u);
    EXPECT_EQ(window.frameHeights.size(), 3u);
    EXPECT_TRUE(BetweenEffectsState());
}

TEST_F(DemoScriptLoading, CommentsMayStandBetweenTheValuesOfAnEntry)
{
    Load("# the music\nm.ogg\n0\n# one entry\n1\nRecorder\n# its window\n100\n# ends\n200");
    ASSERT_EQ(effects.Size(), 1u);
    EXPECT_EQ(effects[0].startTime, 100u);
    EXPECT_EQ(effects[0].endTime, 200u);
}

TEST_F(DemoScriptLoading, TrailingBlanksOfAKeywordDoNotMatter)
{
    Load("m.ogg\n0\n1\nRecorder \t\r\n100\n200");
    EXPECT_EQ(effects.Size(), 1u);
}

TEST_F(DemoScriptLoading, LeadingBlankOrOtherCaseIsUnknown)
{
    EXPECT_EQ(LoadFailure("m.ogg\n0\n1\n Recorder\n100\n200"), "Unknown entry ' Recorder' in file, please correct");
    EXPECT_EQ(LoadFailure("m.ogg\n0\n1\nrecorder\n100\n200"), "Unknown entry 'recorder' in file, please correct");
}

TEST_F(DemoScriptLoading, UnknownEntryStopsAfterItsProgressFrame)
{
    EXPECT_EQ(LoadFailure("m.ogg\n0\n3\nRecorder\n1\n2\nKaleidoskop\n3\n4\nRecorder\n5\n6"),
              "Unknown entry 'Kaleidoskop' in file, please correct");
    EXPECT_EQ(effects.Size(), 1u);
    EXPECT_EQ(window.frameHeights.size(), 2u);
}

// A script of binary junk, or a line of a megabyte, gives one short line
// that says where to look; a word of text stands as it is.
TEST_F(DemoScriptLoading, AnUnknownEntryOfJunkIsShownEscapedAndCutWithItsLine)
{
    const std::string keyword = std::string(60, 'Z');
    EXPECT_EQ(LoadFailure("m.ogg\n0\n1\n" + keyword + "\n1\n2"), "Unknown entry '" + keyword + "' in file, please correct");
    EXPECT_EQ(LoadFailure("m.ogg\n0\n1\nZöomer\n1\n2"), "Unknown entry 'Zöomer' in file, please correct");

    EXPECT_EQ(LoadFailure("m.ogg\n0\n2\nRecorder\n1\n2\n" + std::string(3000, 'Z') + "\n1\n2"),
              "Unknown entry '" + keyword + "...' in file, please correct (data/demo.txt line 7)");
    EXPECT_EQ(LoadFailure("m.ogg\n0\n1\nPK\x03\x04\xFF\x01\x7F\tok\n1\n2"),
              "Unknown entry 'PK\\x03\\x04\\xFF\\x01\\x7F\\x09ok' in file, please correct (data/demo.txt line 4)");
}

TEST_F(DemoScriptLoading, NumbersFollowAtoi)
{
    Load("m.ogg\n0\n1\nRecorder\n2500 and letters\nletters only");
    EXPECT_EQ(effects[0].startTime, 2500u);
    EXPECT_EQ(effects[0].endTime, 0u);
}

TEST_F(DemoScriptLoading, LogsEachEntryAfterItsConstructor)
{
    WriteLoaderPicture(folder);
    Load("m.ogg\n0\n2\nRecorder\n-5\n2000\nRecorder\n3000\n4000");
    EXPECT_EQ(log,
              "constructing\nLoaded Recorder with start time -5 and end time 2000\n"
              "constructing\nLoaded Recorder with start time 3000 and end time 4000\n");
}

TEST_F(DemoScriptLoading, ExtraValuesGoToTheirOwnEffect)
{
    Load("m.ogg\n0\n2\nPicture\n0\n10\ndata/a.jpg\nBEAT\nPicture\n5\n15\n# comment\ndata/b.jpg\nSLIDE");
    ASSERT_EQ(effects.Size(), 2u);
    EXPECT_EQ(RecordedAt(0).extra, "data/a.jpg|BEAT");
    EXPECT_EQ(RecordedAt(1).extra, "data/b.jpg|SLIDE");
}

TEST_F(DemoScriptLoading, LoadingPictureRisesOneStepPerEntry)
{
    folder.WriteFile("data/overlay/loader.jpg", "");
    Load("m.ogg\n0\n4\nRecorder\n0\n1\nRecorder\n0\n1\nRecorder\n0\n1\nRecorder\n0\n1");
    ASSERT_EQ(window.frameHeights.size(), 4u);
    EXPECT_FLOAT_EQ(window.frameHeights[0], -0.5f);
    EXPECT_FLOAT_EQ(window.frameHeights[1], -0.25f);
    EXPECT_FLOAT_EQ(window.frameHeights[2], 0.0f);
    EXPECT_FLOAT_EQ(window.frameHeights[3], 0.25f);
}

TEST_F(DemoScriptLoading, NoAnnouncedEntriesKeepsTheFirstPosition)
{
    Load("m.ogg\n0\n0\nRecorder\n0\n1\nRecorder\n0\n1");
    ASSERT_EQ(window.frameHeights.size(), 2u);
    EXPECT_FLOAT_EQ(window.frameHeights[0], -0.5f);
    EXPECT_FLOAT_EQ(window.frameHeights[1], -0.5f);
}

TEST_F(DemoScriptLoading, LoadingScreenShowsItsPicture)
{
    WriteLoaderPicture(folder);
    // The first frame's picture spans y from -1.7 to 0.7 around the centre.
    Load("m.ogg\n0\n2\nRecorder\n0\n1\nRecorder\n0\n1");
    EXPECT_EQ(window.centrePixels[0], (Rgba{0xFF, 0xB3, 0x47, 0xFF}));
    EXPECT_TRUE(BetweenEffectsState());
}

TEST_F(DemoScriptLoading, ALineBreakOrCommentsAfterTheLastValueLoadNormally)
{
    Load("m.ogg\n0\n1\nRecorder\n100\n200\n");
    EXPECT_EQ(effects.Size(), 1u);
    effects.Clear();
    Load("m.ogg\n0\n1\nRecorder\n100\n200\n# the end\n");
    EXPECT_EQ(effects.Size(), 1u);
    effects.Clear();
    Load("m.ogg\n0\n1\nRecorder\n100\n200\n\n\n");
    EXPECT_EQ(effects.Size(), 1u);
    effects.Clear();
    Load("m.ogg\n0\n1\nRecorder\n100\n200\n\n\n\n\n  \t\n\n# the end\n\n");
    EXPECT_EQ(effects.Size(), 1u);
}

TEST_F(DemoScriptLoading, ABlankKeywordBeforeMoreEntriesIsUnknown)
{
    EXPECT_EQ(LoadFailure("m.ogg\n0\n2\nRecorder\n100\n200\n\n\n\nRecorder\n300\n400\n"),
              "Unknown entry '' in file, please correct");
}

TEST_F(DemoScriptLoading, AScriptWithoutItsMusicLineNamesWhatIsMissing)
{
    const std::string expected = "The script data/demo.txt does not name its music file on its first line, please correct";
    EXPECT_EQ(LoadFailure(""), expected);
    EXPECT_EQ(LoadFailure("# only a comment\n"), expected);
    EXPECT_EQ(LoadFailure("\n0\n1\nRecorder\n100\n200\n"), expected);
    EXPECT_EQ(window.frameHeights.size(), 0u);
}

TEST_F(DemoScriptLoading, AnUnfinishedEntryNamesItsKeywordAndBuildsNothing)
{
    EXPECT_EQ(LoadFailure("m.ogg\n0\n2\nRecorder\n1\n2\nRecorder\n100\n"),
              "The script ends inside the entry 'Recorder', please correct");
    EXPECT_EQ(effects.Size(), 1u);
    EXPECT_EQ(LoadFailure("m.ogg\n0\n1\nPicture\n0\n10\ndata/a.jpg"),
              "The script ends inside the entry 'Picture', please correct");
}

TEST_F(DemoScriptLoading, MissingScriptCannotBeLoaded)
{
    std::filesystem::remove(folder.Root() / "data/demo.txt");
    try {
        DemoScript::Load(TestKeywords(), effects, window, musicFile, startOffset);
        FAIL() << "loaded without a script";
    } catch (const DemoMessage& message) {
        EXPECT_EQ(message.Text(), "Unable to load data/demo.txt in " + std::filesystem::current_path().string())
            << "the folder it looked in follows";
    }
}

TEST_F(DemoScriptLoading, ClosingTheWindowDuringLoadingEndsIt)
{
    window.closeAtFrame = 2;
    EXPECT_EQ(LoadFailure("m.ogg\n0\n3\nRecorder\n1\n2\nRecorder\n3\n4\nRecorder\n5\n6"), "You quit?");
    EXPECT_EQ(effects.Size(), 1u);
    EXPECT_TRUE(BetweenEffectsState());
}

TEST_F(DemoScriptLoading, OverlaysAndEndDemoMakeAShow)
{
    Load("m.ogg\n0\n3\nOverlays\n0\n1000\nOverlays\n500\n1500\nEndDemo\n1500\n2000");
    ASSERT_EQ(effects.Size(), 3u);

    glClearColor(0.2f, 0.4f, 0.6f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    const Rgba before = ReadPixelAt(0.5, 0.5);
    effects[0].Draw(700, 1.0f);
    effects[1].Draw(700, 1.0f);
    EXPECT_EQ(ReadPixelAt(0.5, 0.5), before);
    EXPECT_TRUE(BetweenEffectsState());

    try {
        effects[2].Draw(1501, 0.0f);
        FAIL() << "EndDemo did not end the show";
    } catch (const DemoMessage& message) {
        EXPECT_EQ(message.Text(), "End of show");
    }
}
