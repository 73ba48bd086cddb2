#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "core/DemoMessage.h"
#include "support/TemporaryFolder.h"
#include "sync/RocketFile.h"
#include "sync/ShowSync.h"
#include "sync/TestEditor.h"

namespace fs = std::filesystem;

namespace {

// The show's tracks file, in a folder of the test's own, and what the run
// says about it.
class ShowSyncTest : public ::testing::Test {
protected:
    void SetUp() override { testing::internal::CaptureStderr(); }
    void TearDown() override { testing::internal::GetCapturedStderr(); }

    // What the debug output said since the last look.
    std::string Said()
    {
        std::string said = testing::internal::GetCapturedStderr();
        testing::internal::CaptureStderr();
        return said;
    }

    void WriteFile(const std::string& text) const { std::ofstream(file) << text; }

    static std::string TracksText(float value)
    {
        SyncTracks tracks;
        tracks.tempo = {124.0, 8};
        tracks.Track("glow").SetKey({16, value, KeyInterpolation::Linear});
        return RocketXml(tracks);
    }

    ShowSync::Options Options(bool named = false, bool offline = false) const
    {
        return {.file = file.string(), .named = named, .offline = offline, .editor = std::nullopt};
    }

    TemporaryFolder folder;
    const fs::path file = folder.Path() / "demo.rocket";
    const fs::path recovery = folder.Path() / "demo.recovered.rocket";
};

bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

}  // namespace

TEST_F(ShowSyncTest, WithoutAFileThereAreNoTracksAndNothingIsSaidOrWritten)
{
    {
        ShowSync sync(Options());
        EXPECT_EQ(sync.Tracks().Size(), 0u);
        EXPECT_EQ(sync.Tracks().tempo, SyncTempo{});
        sync.Tracks().Drive("glow");  // driven, never keyed
        EXPECT_FALSE(sync.Unsaved());
    }
    EXPECT_EQ(Said(), "");
    EXPECT_TRUE(fs::is_empty(folder.Path()));
}

TEST_F(ShowSyncTest, TheFileIsReadAtTheStartAndABrokenOneStopsIt)
{
    WriteFile(TracksText(0.5f));
    {
        ShowSync sync(Options());
        ASSERT_NE(sync.Tracks().Find("glow"), nullptr);
        EXPECT_EQ(sync.Tracks().Find("glow")->Keys().size(), 1u);
        EXPECT_EQ(sync.Tracks().tempo.beatsPerMinute, 124.0);
        EXPECT_FALSE(sync.Unsaved());
    }
    WriteFile("<tracks><track name=\"glow\"><key row=\"1\" value=\"x\" interpolation=\"0\"/></track></tracks>");
    try {
        ShowSync sync(Options());
        ADD_FAILURE() << "a broken file was taken";
    } catch (const DemoMessage& message) {
        EXPECT_PRED2(Contains, message.Text(), "Unable to read tracks file " + file.string() + ", line 1");
    }
}

TEST_F(ShowSyncTest, ANamedFileNotThereYetIsMadeByTheFirstSaveUnlessTheRunOnlyRenders)
{
    {
        ShowSync sync(Options(true));
        EXPECT_EQ(Said(), "There is no tracks file " + file.string() + " yet: Ctrl+S writes it\n");
        sync.Tracks().Track("glow").SetKey({0, 1.0f, KeyInterpolation::Step});
        EXPECT_TRUE(sync.Unsaved());
        EXPECT_TRUE(sync.Save());
        EXPECT_FALSE(sync.Unsaved());
        EXPECT_EQ(Said(), "Saved the tracks in " + file.string() + "\n");
    }
    EXPECT_EQ(ReadRocketFile(file.string()).Find("glow")->Keys().size(), 1u);
    fs::remove(file);
    EXPECT_THROW(ShowSync(Options(true, true)), DemoMessage);
}

TEST_F(ShowSyncTest, KeysNotSavedWhenTheRunEndsAreKeptBesideTheFile)
{
    WriteFile(TracksText(0.5f));
    {
        ShowSync sync(Options());
        sync.Tracks().Track("glow").SetKey({32, 2.0f, KeyInterpolation::Ramp});
    }
    EXPECT_EQ(Said(), "The tracks' unsaved keys are kept in " + recovery.string() + "\n");
    EXPECT_EQ(ReadRocketFile(recovery.string()).Find("glow")->Keys().size(), 2u);
    EXPECT_EQ(ReadRocketFile(file.string()).Find("glow")->Keys().size(), 1u) << "the file itself is as it was";
}

TEST_F(ShowSyncTest, AFailedSaveKeepsTheKeysAndSaysWhyAndWhereTheyAreKept)
{
    ShowSync::Options options = Options(true);
    options.file = (folder.Path() / "no/such/folder/show.rocket").string();
    const fs::path kept = fs::temp_directory_path() / "show.recovered.rocket";
    fs::remove(kept);
    {
        ShowSync sync(options);
        sync.Tracks().Track("glow").SetKey({0, 1.0f, KeyInterpolation::Step});
        Said();
        EXPECT_FALSE(sync.Save());
        EXPECT_PRED2(Contains, sync.SaveFailure(), "Unable to save tracks file " + options.file);
        EXPECT_EQ(Said(), sync.SaveFailure() + "\n");
        EXPECT_TRUE(sync.Unsaved());
    }
    // No room beside the file: the temporary folder takes the keys.
    EXPECT_PRED2(Contains, Said(), "The tracks' unsaved keys are kept in " + kept.string() + "\n");
    EXPECT_EQ(ReadRocketFile(kept.string()).Find("glow")->Keys().size(), 1u);
    fs::remove(kept);
}

TEST_F(ShowSyncTest, AFileSavedElsewhereIsReadAgainAndABrokenOneChangesNothing)
{
    WriteFile(TracksText(0.5f));
    ShowSync sync(Options());
    SyncTrack& glow = sync.Tracks().Track("glow");

    sync.Reload();
    EXPECT_EQ(Said(), "") << "the file as read: nothing to do";

    WriteFile(TracksText(0.75f));
    sync.Reload();
    EXPECT_EQ(Said(), "Read the tracks in " + file.string() + " again\n");
    EXPECT_EQ(&sync.Tracks().Track("glow"), &glow) << "a track stays where it was";
    EXPECT_EQ(glow.Keys()[0].value, 0.75f);
    EXPECT_FALSE(sync.Unsaved());

    WriteFile("not xml");
    EXPECT_THROW(sync.Reload(), DemoMessage);
    EXPECT_EQ(glow.Keys()[0].value, 0.75f);

    // Keys edited here and not saved are kept before the file replaces them.
    glow.SetKey({40, 9.0f, KeyInterpolation::Step});
    WriteFile(TracksText(0.25f));
    sync.Reload();
    EXPECT_PRED2(Contains, Said(), "The tracks' unsaved keys are kept in " + recovery.string());
    EXPECT_EQ(ReadRocketFile(recovery.string()).Find("glow")->Keys().size(), 2u);
    EXPECT_EQ(glow.Keys(), (std::vector<TrackKey>{{16, 0.25f, KeyInterpolation::Linear}}));

    fs::remove(file);
    sync.Reload();
    EXPECT_EQ(glow.Keys().size(), 1u) << "a file gone leaves the tracks as they are";
}

TEST_F(ShowSyncTest, ASeekToARowLandsInsideIt)
{
    WriteFile(TracksText(0.5f));
    const ShowSync sync(Options());
    // 124 beats a minute, 8 rows a beat: row 1 starts in millisecond 61.
    EXPECT_DOUBLE_EQ(sync.SeekSeconds(1), 0.0615);
    EXPECT_DOUBLE_EQ(sync.SeekSeconds(0), 0.0005);
}

// A seek from the editor or the panel, and the row told back, on a
// module's rows: rows of 120 ms, then of 60 from the fifth.
TEST_F(ShowSyncTest, OnAModulesRowsASeekLandsInsideTheRowAndMusicWithoutRowsIsSaid)
{
    const ModuleRows rows({{0, 0, 0, 0}, {5760, 0, 0, 1}, {11520, 0, 0, 2}, {17280, 0, 0, 3}, {23040, 0, 0, 4}, {25920, 0, 0, 5}},
                          48000, 28800);
    SyncTracks module;
    module.tempo.moduleGrid = true;
    WriteFile(RocketXml(module));
    ShowSync sync(Options());
    sync.UseModuleRows(rows);
    EXPECT_EQ(Said(), "");
    EXPECT_DOUBLE_EQ(sync.SeekSeconds(5), 0.5405);
    EXPECT_DOUBLE_EQ(sync.Tracks().RowAt(541), 5.0 + 1.0 / 60.0);

    module.Track("glow").SetKey({4, 1.0f, KeyInterpolation::Step});
    WriteFile(RocketXml(module));  // saved by an editor, with a key more
    sync.Reload();
    ASSERT_NE(sync.Tracks().Find("glow"), nullptr);
    EXPECT_EQ(Said(), "Read the tracks in " + file.string() + " again\n");
    EXPECT_DOUBLE_EQ(sync.SeekSeconds(5), 0.5405) << "a reload keeps the music's rows";

    const ModuleRows none;
    sync.UseModuleRows(none);
    EXPECT_EQ(Said(), file.string() + " keys the tracks on a module's rows, but the music is no module: they follow the tempo\n");
    EXPECT_DOUBLE_EQ(sync.SeekSeconds(1), 0.0635) << "120 beats a minute, 8 rows a beat: row 1 from 62.5 ms";
}

TEST_F(ShowSyncTest, UnsavedKeysAreKeptBeforeAnEditorsReplaceThem)
{
    TestEditor editor;
    ShowSync::Options options = Options();
    options.editor = EditorAddress{"127.0.0.1", editor.Port()};
    ShowSync sync(options);
    sync.Tracks().Drive("glow").SetKey({0, 3.0f, KeyInterpolation::Step});
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (editor.AskedTracks().empty() && std::chrono::steady_clock::now() < deadline) {
        sync.Poll(std::chrono::steady_clock::now());
        editor.Serve();
    }
    ASSERT_EQ(editor.AskedTracks(), std::vector<std::string>{"glow"});
    EXPECT_FALSE(sync.Tracks().Find("glow")->HasKeys()) << "the editor's keys are the truth";
    EXPECT_EQ(ReadRocketFile(recovery.string()).Find("glow")->Keys()[0].value, 3.0f);
}
