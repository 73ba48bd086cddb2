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
const std::string pluginWithoutDraw = TEST_PLUGIN_DIR "/plugin_without_draw.so";
const std::string pluginWithoutInit = TEST_PLUGIN_DIR "/plugin_without_init.so";
const std::string beatRingPlugin = SAMPLE_PLUGIN_DIR "/beat_ring.so";

class NoWindow : public FrameWindow {
public:
    void SwapAndPoll() override {}
};

// A variable the recording plug-in exports; the library is already loaded.
template <class Type>
Type& PluginVariable(const char* name)
{
    void* library = dlopen(recordingPlugin.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (library == nullptr) {
        throw std::runtime_error("the recording plug-in is not loaded");
    }
    void* address = dlsym(library, name);
    dlclose(library);
    return *static_cast<Type*>(address);
}

int InitCallsSoFar()
{
    void* library = dlopen(recordingPlugin.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (library == nullptr) {
        return 0;
    }
    dlclose(library);
    return PluginVariable<int>("initCalls");
}

class Plugins : public GlTest {
protected:
    void Load(const std::string& script)
    {
        folder.WriteScript(script);
        testing::internal::CaptureStderr();
        try {
            DemoScript::Load(DemoKeywords(), effects, window, musicFile, startOffset);
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
    const int callsBefore = InitCallsSoFar();
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

    int lit = 0;
    for (int y = 0; y < testHeight; ++y) {
        for (int x = 0; x < testWidth; ++x) {
            const Rgba pixel = ReadPixel(x, y);
            if (pixel.r > 32) {
                ++lit;
                ASSERT_GE(pixel.r, pixel.b) << "coral light at " << x << "," << y;
            }
        }
    }
    EXPECT_GT(lit, testWidth * testHeight / 50);
}
