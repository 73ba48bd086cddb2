#include <dlfcn.h>

#include "core/DemoMessage.h"
#include "effects/Keywords.h"
#include "script/DemoScript.h"
#include "script/Overlays.h"
#include "script/PluginLoader.h"
#include "support/GlTestContext.h"
#include "support/ScriptFolder.h"

namespace {

const std::string recordingPlugin = TEST_PLUGIN_DIR "/recording_plugin.so";
const std::string tracksPlugin = TEST_PLUGIN_DIR "/tracks_plugin.so";
const std::string pluginWithoutDraw = TEST_PLUGIN_DIR "/plugin_without_draw.so";
const std::string pluginWithoutInit = TEST_PLUGIN_DIR "/plugin_without_init.so";
const std::string beatRingPlugin = SAMPLE_PLUGIN_DIR "/beat_ring.so";

class NoWindow : public FrameWindow {
public:
    void SwapAndPoll() override {}
};

// A variable a test plug-in exports; the library is already loaded.
template <class Type>
Type& PluginVariable(const char* name, const std::string& plugin = recordingPlugin)
{
    void* library = dlopen(plugin.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (library == nullptr) {
        throw std::runtime_error("the plug-in " + plugin + " is not loaded");
    }
    void* address = dlsym(library, name);
    dlclose(library);
    return *static_cast<Type*>(address);
}

// A count a test plug-in keeps, 0 while it is not loaded.
int CallsSoFar(const char* count, const std::string& plugin)
{
    void* library = dlopen(plugin.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (library == nullptr) {
        return 0;
    }
    dlclose(library);
    return PluginVariable<int>(count, plugin);
}

// Pixels lit red by the sample plug-in, as it draws in coral.
int LitPixels()
{
    int lit = 0;
    for (int y = 0; y < testHeight; ++y) {
        for (int x = 0; x < testWidth; ++x) {
            const Rgba pixel = ReadPixel(x, y);
            if (pixel.r > 32) {
                ++lit;
                EXPECT_GE(pixel.r, pixel.b) << "coral light at " << x << "," << y;
            }
        }
    }
    return lit;
}

class Plugins : public GlTest {
protected:
    void Load(const std::string& script, SyncTracks* tracks = nullptr)
    {
        folder.WriteScript(script);
        testing::internal::CaptureStderr();
        try {
            DemoScript::Load(DemoKeywords(tracks), effects, window, musicFile, startOffset);
        } catch (...) {
            testing::internal::GetCapturedStderr();
            throw;
        }
        testing::internal::GetCapturedStderr();
    }

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

    ScriptFolder folder;
    NoWindow window;
    EffectList effects;
    std::string musicFile;
    std::uint32_t startOffset = 0;
};

}  // namespace

TEST_F(Plugins, MissingLibraryCannotBeLoaded)
{
    EXPECT_EQ(LoadFailure("m.ogg\n0\n1\nPlugin\n0\n100\n./no/such/plugin.so"),
              "Unable to load plugin: ./no/such/plugin.so");
}

TEST_F(Plugins, LibraryWithoutDrawFailsBeforeInitRuns)
{
    // That library's Init aborts the process: getting the message proves it never ran.
    EXPECT_EQ(LoadFailure("m.ogg\n0\n1\nPlugin\n0\n100\n" + pluginWithoutDraw),
              "Unable to fint Draw function in plugin: " + pluginWithoutDraw);
}

TEST_F(Plugins, LibraryWithoutInitCannotBeUsed)
{
    EXPECT_EQ(LoadFailure("m.ogg\n0\n1\nPlugin\n0\n100\n" + pluginWithoutInit),
              "Unable to fint Init function in plugin: " + pluginWithoutInit);
}

TEST_F(Plugins, InitReadsItsOwnLinesAndTheLoaderGoesOnAfterThem)
{
    const int callsBefore = CallsSoFar("initCalls", recordingPlugin);
    Load("m.ogg\n0\n2\nPlugin\n1000\n9000\n" + recordingPlugin + "\n#2FD4E6\nsecond parameter\nOverlays\n5\n6");
    ASSERT_EQ(effects.Size(), 2u);
    EXPECT_EQ(PluginVariable<int>("initCalls"), callsBefore + 1);
    EXPECT_STREQ(&PluginVariable<char>("firstLine"), "#2FD4E6\n");
    EXPECT_STREQ(&PluginVariable<char>("secondLine"), "second parameter\n");
    EXPECT_EQ(PluginVariable<std::int32_t>("initStart"), 1000);
    EXPECT_EQ(PluginVariable<std::int32_t>("initEnd"), 9000);
    EXPECT_NE(dynamic_cast<Effekter::Overlays*>(&effects[1]), nullptr);
    EXPECT_EQ(effects[1].startTime, 5u);
}

TEST_F(Plugins, DrawIsForwardedWithTimeAndBeat)
{
    Load("m.ogg\n0\n1\nPlugin\n1000\n9000\n" + recordingPlugin + "\na\nb");
    effects[0].Draw(4321, 0.75f);
    EXPECT_EQ(PluginVariable<std::uint32_t>("drawnTime"), 4321u);
    EXPECT_EQ(PluginVariable<float>("drawnBeat"), 0.75f);
}

TEST_F(Plugins, SamplePluginDrawsInItsColourAndPutsTheStateBack)
{
    Load("m.ogg\n0\n2\nPlugin\n0\n10000\n" + beatRingPlugin + "\n#FF6B57\nOverlays\n0\n1");
    ASSERT_EQ(effects.Size(), 2u);
    effects[0].Draw(5000, 1.0f);
    EXPECT_TRUE(BetweenEffectsState());
    EXPECT_GT(LitPixels(), testWidth * testHeight / 50);
}

TEST_F(Plugins, APluginAsksForATrackAndReadsItsValueAtTheFramesTime)
{
    SyncTracks tracks;
    tracks.tempo = {120.0, 8};  // 16 rows a second
    Load("m.ogg\n0\n1\nPlugin\n0\n9000\n" + tracksPlugin, &tracks);
    ASSERT_EQ(tracks.Driven().size(), 1u);
    EXPECT_EQ(tracks.Driven()[0]->Name(), "plug:level") << "an editor is asked for it";

    effects[0].Draw(1000, 0.0f);
    EXPECT_EQ(PluginVariable<int>("hadValue", tracksPlugin), 0) << "no keys: the plug-in keeps its own value";
    EXPECT_EQ(PluginVariable<float>("drawnLevel", tracksPlugin), -1.0f);

    tracks.Track("plug:level").SetKey({0, 0.0f, KeyInterpolation::Linear});
    tracks.Track("plug:level").SetKey({16, 2.0f, KeyInterpolation::Step});
    effects[0].Draw(500, 0.0f);
    EXPECT_EQ(PluginVariable<int>("hadValue", tracksPlugin), 1);
    EXPECT_FLOAT_EQ(PluginVariable<float>("drawnLevel", tracksPlugin), 1.0f);
}

TEST_F(Plugins, InARunWithoutTracksAPluginStillGetsTracksOfItsOwn)
{
    const int before = CallsSoFar("initTracksCalls", tracksPlugin);
    Load("m.ogg\n0\n1\nPlugin\n0\n9000\n" + tracksPlugin);
    EXPECT_EQ(PluginVariable<int>("initTracksCalls", tracksPlugin), before + 1);
    effects[0].Draw(1000, 0.0f);
    EXPECT_EQ(PluginVariable<int>("hadValue", tracksPlugin), 0);
}

TEST_F(Plugins, TheSamplePluginsRaysReachAsItsTrackSays)
{
    SyncTracks tracks;
    Load("m.ogg\n0\n1\nPlugin\n0\n10000\n" + beatRingPlugin + "\n#FF6B57", &tracks);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    effects[0].Draw(5000, 1.0f);
    const std::vector<Rgba> unkeyed = ReadFrame();
    const int full = LitPixels();

    tracks.Track("beat_ring:reach").SetKey({0, 0.5f, KeyInterpolation::Step});
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    effects[0].Draw(5000, 1.0f);
    const int half = LitPixels();
    EXPECT_LT(half, full * 2 / 3) << "rays half as long light far fewer pixels";
    EXPECT_GT(half, 0);

    tracks.Track("beat_ring:reach").ClearKeys();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    effects[0].Draw(5000, 1.0f);
    EXPECT_EQ(ReadFrame(), unkeyed) << "without keys it draws as it always did";
}
