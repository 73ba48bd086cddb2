#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "core/AssetFolders.h"
#include "core/DemoMessage.h"
#include "effects/Keywords.h"
#include "effects/ShaderShow.h"
#include "script/PluginLoader.h"
#include "support/GlTestContext.h"
#include "support/Pictures.h"
#include "support/ScriptFolder.h"
#include "support/TemporaryFolder.h"
#include "watch/LiveShow.h"

namespace {

class NoWindow : public FrameWindow {
public:
    void SwapAndPoll() override {}
};

std::string SolidShader(const char* colour)
{
    return std::string("#version 110\nuniform float time;\nuniform float beat;\nvoid main() { gl_FragColor = vec4(") +
           colour + ") + vec4(0.0 * time * beat); }\n";
}

const Rgba red{255, 0, 0, 255};
const Rgba green{0, 255, 0, 255};
const Rgba blue{0, 0, 255, 255};

// A watched show in a folder of its own, loaded quietly.
class WatchedShow : public GlTest {
protected:
    // The debug output of the load.
    std::string Load()
    {
        testing::internal::CaptureStderr();
        live.Load(window, musicFile, startOffset);
        return testing::internal::GetCapturedStderr();
    }

    // The centre pixel when entry n alone draws.
    Rgba Drawn(std::size_t n = 0)
    {
        glClear(GL_COLOR_BUFFER_BIT);
        effects[n].Draw(500, 0.0f);
        return ReadPixelAt(0.5, 0.5);
    }

    ScriptFolder folder;
    NoWindow window;
    const KeywordTable keywords = DemoKeywords();
    EffectList effects;
    LiveShow live{keywords, effects, true};
    std::string musicFile;
    std::uint32_t startOffset = 0;
};

// A show of two shader entries that share a picture, and an entry that
// reads no file at all.
class LiveShowTest : public WatchedShow {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        ASSERT_TRUE(WriteTwoBandPicture("data/card.png", FIF_PNG, 24, red, blue, 16));
        folder.WriteFile("data/a.fs", SolidShader("1.0, 0.0, 0.0, 1.0"));
        folder.WriteFile("data/b.fs", SolidShader("0.0, 0.0, 1.0, 1.0"));
        folder.WriteScript(script);
        Load();
        ASSERT_EQ(effects.Size(), 3u);
    }

    std::vector<const Effekt*> Entries() const
    {
        std::vector<const Effekt*> entries;
        for (const auto& effect : effects) {
            entries.push_back(effect.get());
        }
        return entries;
    }

    const std::string script =
        "data/music.ogg\n0\n3\n"
        "ShaderShow\n0\n1000\ndata/a.fs\ndata/card.png\n"
        "# a comment inside the show\n"
        "ShaderShow\n0\n1000\ndata/b.fs\ndata/card.png\n"
        "FlashWhite\n2000\n3000\n";
};

// A show whose shader comes from the installed show, as a demo maker's
// folder has it before replacing it.
class LiveAssetTest : public WatchedShow {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        ASSERT_TRUE(WriteTwoBandPicture("data/card.png", FIF_PNG, 24, red, red, 16));
        std::filesystem::create_directories(installed.Path() / "data/shaders");
        std::ofstream(installed.Path() / "data/shaders/glow.fs") << SolidShader("1.0, 0.0, 0.0, 1.0");
        SetAssetFallback(installed.Path());
        folder.WriteScript("data/music.ogg\n0\n1\nShaderShow\n0\n1000\ndata/shaders/glow.fs\ndata/card.png\n");
        told = Load();
    }

    void TearDown() override
    {
        SetAssetFallback({});
        GlTest::TearDown();
    }

    TemporaryFolder installed;
    std::string told;
};

}  // namespace

TEST_F(LiveShowTest, ItWatchesEveryFileTheShowRead)
{
    EXPECT_EQ(live.Files(), (std::vector<std::string>{"data/demo.txt", "data/a.fs", "data/b.fs", "data/card.png"}));
}

// The frame after a shader is saved shows the new shader; the other entries
// are the very same objects.
TEST_F(LiveShowTest, AChangedFileRebuildsOnlyTheEntriesThatReadIt)
{
    const std::vector<const Effekt*> before = Entries();
    ASSERT_EQ(Drawn(0), red);
    folder.WriteFile("data/a.fs", SolidShader("0.0, 1.0, 0.0, 1.0"));
    testing::internal::CaptureStderr();
    EXPECT_TRUE(live.RebuildChanged({"data/a.fs"}));
    EXPECT_EQ(Drawn(0), green);
    EXPECT_NE(Entries()[0], before[0]);
    EXPECT_EQ(Entries()[1], before[1]);
    EXPECT_EQ(Entries()[2], before[2]);

    const std::vector<const Effekt*> middle = Entries();
    EXPECT_TRUE(live.RebuildChanged({"data/card.png"}));
    testing::internal::GetCapturedStderr();
    const std::vector<const Effekt*> after = Entries();
    EXPECT_NE(after[0], middle[0]) << "both shader entries read the picture";
    EXPECT_NE(after[1], middle[1]);
    EXPECT_EQ(after[2], middle[2]);
    EXPECT_EQ(Drawn(0), green) << "in its place, with its new shader";
    EXPECT_TRUE(BetweenEffectsState());
}

// A broken save keeps the last good show and its message until a good one.
TEST_F(LiveShowTest, AFailedRebuildChangesNothingAndSaysWhy)
{
    const std::vector<const Effekt*> before = Entries();
    folder.WriteFile("data/a.fs", "#version 110\nvoid main() { gl_FragColor = vec4(0.0) }\n");
    testing::internal::CaptureStderr();
    EXPECT_FALSE(live.RebuildChanged({"data/a.fs"}));
    EXPECT_PRED_FORMAT2(testing::IsSubstring, "Reload failed: data/demo.txt line 4 (ShaderShow): Compiler error",
                        testing::internal::GetCapturedStderr());
    EXPECT_PRED_FORMAT2(testing::IsSubstring, "Compiler error", live.Failure());
    EXPECT_EQ(Entries(), before);
    EXPECT_EQ(Drawn(0), red);

    folder.WriteFile("data/a.fs", SolidShader("0.0, 1.0, 0.0, 1.0"));
    folder.WriteScript(script + "SpinningCube\n0\n10\n");
    testing::internal::CaptureStderr();
    EXPECT_FALSE(live.RebuildChanged({"data/demo.txt"}));
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(live.Failure(), "data/demo.txt line 18 (SpinningCube): Unknown entry 'SpinningCube' in file, please correct");
    EXPECT_EQ(Entries(), before);
    EXPECT_EQ(Drawn(0), red);

    folder.WriteScript(script);
    testing::internal::CaptureStderr();
    EXPECT_TRUE(live.RebuildChanged({"data/demo.txt"}));
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(live.Failure(), "");
    EXPECT_EQ(Drawn(0), green);
    EXPECT_EQ(effects.Size(), 3u);
}

// The message names the script's line of the entry that failed, whether it
// was rebuilt alone or with the whole script.
TEST_F(LiveShowTest, AFailedRebuildNamesTheLineOfTheEntry)
{
    folder.WriteFile("data/b.fs", "#version 110\nvoid main() { gl_FragColor = vec4(0.0) }\n");
    testing::internal::CaptureStderr();
    EXPECT_FALSE(live.RebuildChanged({"data/b.fs"}));
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(live.Failure().rfind("data/demo.txt line 10 (ShaderShow): Compiler error", 0), 0u) << live.Failure();

    folder.WriteScript("# moved down\n" + script);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(live.RebuildChanged({"data/demo.txt"}));
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(live.Failure().rfind("data/demo.txt line 11 (ShaderShow): Compiler error", 0), 0u) << live.Failure();

    folder.WriteScript("data/music.ogg\n0\n1\nShaderShow\n0\n1000\n");
    testing::internal::CaptureStderr();
    EXPECT_FALSE(live.RebuildChanged({"data/demo.txt"}));
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(live.Failure(), "data/demo.txt line 4 (ShaderShow): The script ends inside the entry 'ShaderShow', please correct");
}

// A picture that cannot be read fails a rebuild as a broken shader does,
// and its repair is seen like any save; the first load went on without it.
TEST_F(LiveShowTest, AnUnreadablePictureFailsTheRebuildUntilItIsMended)
{
    const std::vector<const Effekt*> before = Entries();
    folder.WriteFile("data/card.png", "not a picture");
    testing::internal::CaptureStderr();
    EXPECT_FALSE(live.RebuildChanged({"data/card.png"}));
    EXPECT_PRED_FORMAT2(testing::IsSubstring, "Unable to load image: data/card.png", testing::internal::GetCapturedStderr());
    EXPECT_EQ(live.Failure(), "data/demo.txt line 4 (ShaderShow): Unable to load data/card.png");
    EXPECT_EQ(Entries(), before);
    EXPECT_EQ(Drawn(0), red);

    // A new entry's missing picture is watched though no entry holds it yet.
    ASSERT_TRUE(WriteTwoBandPicture("data/card.png", FIF_PNG, 24, green, green, 16));
    folder.WriteScript(script + "ShaderShow\n0\n1000\ndata/b.fs\ndata/new.png\n");
    testing::internal::CaptureStderr();
    EXPECT_FALSE(live.RebuildChanged({"data/card.png", "data/demo.txt"}));
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(live.Failure(), "data/demo.txt line 18 (ShaderShow): Unable to load data/new.png");
    EXPECT_EQ(Entries(), before);
    const std::vector<std::string> watched = live.Files();
    EXPECT_NE(std::find(watched.begin(), watched.end(), "data/new.png"), watched.end());

    ASSERT_TRUE(WriteTwoBandPicture("data/new.png", FIF_PNG, 24, green, green, 16));
    testing::internal::CaptureStderr();
    EXPECT_TRUE(live.RebuildChanged({"data/new.png"}));
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(live.Failure(), "");
    EXPECT_EQ(effects.Size(), 4u);
}

// The list changes only between the two hooks, which is when whoever holds
// on to the effects must let go of them.
TEST_F(LiveShowTest, TheScriptRebuildsTheWholeShowBetweenTheHooks)
{
    std::vector<std::size_t> sizesSeen;
    live.OnListChange([&] { sizesSeen.push_back(effects.Size()); }, [&] { sizesSeen.push_back(effects.Size()); });
    folder.WriteScript("data/music.ogg\n0\n1\nShaderShow\n0\n1000\ndata/b.fs\ndata/card.png\n");
    testing::internal::CaptureStderr();
    EXPECT_TRUE(live.RebuildChanged({"data/demo.txt"}));
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(sizesSeen, (std::vector<std::size_t>{3, 1}));
    EXPECT_EQ(Drawn(0), blue);
    EXPECT_EQ(live.Files(), (std::vector<std::string>{"data/demo.txt", "data/b.fs", "data/card.png"}));
}

// From a save on disk to the rebuilt entry, as the frame loop sees it.
TEST_F(LiveShowTest, ASaveOnDiskIsRebuiltWithinHalfASecond)
{
    folder.WriteFile("data/b.fs", SolidShader("0.0, 1.0, 0.0, 1.0"));
    testing::internal::CaptureStderr();
    const auto start = std::chrono::steady_clock::now();
    while (Drawn(1) != green && std::chrono::steady_clock::now() - start < std::chrono::seconds(5)) {
        live.Update(false);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    const auto took = std::chrono::steady_clock::now() - start;
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(Drawn(1), green);
    EXPECT_LT(took, std::chrono::milliseconds(500));
}

// A plug-in library changed on disk is loaded afresh; loading its path again
// would give back the version already loaded.
TEST_F(LiveShowTest, AChangedPluginLibraryIsLoadedAfresh)
{
    const std::string library = TEST_PLUGIN_DIR "/recording_plugin.so";
    folder.WriteScript("data/music.ogg\n0\n1\nPlugin\n0\n1000\n" + library + "\nfirst\nsecond\n");
    testing::internal::CaptureStderr();
    ASSERT_TRUE(live.RebuildChanged({"data/demo.txt"}));
    const void* loaded = dynamic_cast<const Effekter::PluginLoader&>(effects[0]).library;
    ASSERT_TRUE(live.RebuildChanged({library}));
    testing::internal::GetCapturedStderr();
    const void* reloaded = dynamic_cast<const Effekter::PluginLoader&>(effects[0]).library;
    EXPECT_NE(reloaded, loaded);
    EXPECT_EQ(live.Files(), (std::vector<std::string>{"data/demo.txt", library}));
}

// A file outside the entries, the tracks file: its saves on disk, and F5,
// run its own rebuild; a failure shows as any rebuild's does.
TEST_F(LiveShowTest, AnotherWatchedFileRebuildsWhatItMakes)
{
    folder.WriteFile("data/demo.rocket", "1");
    std::vector<std::string> readings;
    live.WatchAlso("data/demo.rocket", [&] {
        const std::string text = ReadBytes(folder.Root() / "data/demo.rocket");
        if (text == "broken") {
            throw DemoMessage("Unable to read tracks file data/demo.rocket: broken");
        }
        readings.push_back(text);
    });
    EXPECT_EQ(live.Files(),
              (std::vector<std::string>{"data/demo.txt", "data/a.fs", "data/b.fs", "data/card.png", "data/demo.rocket"}));
    const std::vector<const Effekt*> before = Entries();

    folder.WriteFile("data/demo.rocket", "2");
    const auto start = std::chrono::steady_clock::now();
    while (readings.empty() && std::chrono::steady_clock::now() - start < std::chrono::seconds(5)) {
        live.Update(false);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(readings, std::vector<std::string>{"2"});
    EXPECT_EQ(Entries(), before) << "no entry reads it";

    folder.WriteFile("data/demo.rocket", "broken");
    testing::internal::CaptureStderr();
    live.Update(true);
    EXPECT_PRED_FORMAT2(testing::IsSubstring, "Reload failed: Unable to read tracks file",
                        testing::internal::GetCapturedStderr());
    EXPECT_EQ(live.Failure(), "Unable to read tracks file data/demo.rocket: broken");

    folder.WriteFile("data/demo.rocket", "3");
    testing::internal::CaptureStderr();
    live.Update(true);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(readings.back(), "3");
    EXPECT_EQ(live.Failure(), "") << "the next good rebuild clears it";
}

// The replacement is made with its folder while the show plays: the entry
// that read the installed file is rebuilt from it.
TEST_F(LiveAssetTest, AReplacementPutInANewFolderRebuildsTheEntry)
{
    EXPECT_PRED_FORMAT2(testing::IsSubstring, "data/shaders/glow.fs comes from the show in " + installed.Path().string(), told);
    ASSERT_EQ(Drawn(), red);
    EXPECT_EQ(live.Files(), (std::vector<std::string>{"data/demo.txt", "data/card.png", "data/shaders/glow.fs"}))
        << "watched where the show names it";

    folder.WriteFile("data/shaders/glow.fs", SolidShader("0.0, 1.0, 0.0, 1.0"));
    testing::internal::CaptureStderr();
    const auto start = std::chrono::steady_clock::now();
    while (Drawn() != green && std::chrono::steady_clock::now() - start < std::chrono::seconds(5)) {
        live.Update(false);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(Drawn(), green);
    EXPECT_TRUE(live.Failure().empty()) << live.Failure();
}
