#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "core/AssetFolders.h"
#include "effects/Keywords.h"
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

// A show whose shader comes from the installed show, as a demo maker's
// folder has it before replacing it.
class LiveAssetTest : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        ASSERT_TRUE(WriteTwoBandPicture("data/card.png", FIF_PNG, 24, red, red, 16));
        std::filesystem::create_directories(installed.Path() / "data/shaders");
        std::ofstream(installed.Path() / "data/shaders/glow.fs") << SolidShader("1.0, 0.0, 0.0, 1.0");
        SetAssetFallback(installed.Path());
        folder.WriteScript("data/music.ogg\n0\n1\nShaderShow\n0\n1000\ndata/shaders/glow.fs\ndata/card.png\n");
        testing::internal::CaptureStderr();
        live.Load(window, musicFile, startOffset);
        told = testing::internal::GetCapturedStderr();
    }

    void TearDown() override
    {
        SetAssetFallback({});
        GlTest::TearDown();
    }

    Rgba Drawn()
    {
        glClear(GL_COLOR_BUFFER_BIT);
        effects[0].Draw(500, 0.0f);
        return ReadPixelAt(0.5, 0.5);
    }

    TemporaryFolder installed;
    ScriptFolder folder;
    NoWindow window;
    const KeywordTable keywords = DemoKeywords();
    EffectList effects;
    LiveShow live{keywords, effects, true};
    std::string musicFile;
    std::uint32_t startOffset = 0;
    std::string told;
};

}  // namespace

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
