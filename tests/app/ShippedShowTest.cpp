#include <gtest/gtest.h>

#include <FreeImage.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "support/TemporaryFolder.h"

namespace {

struct Window {
    std::uint32_t start;
    std::uint32_t end;
};

// The windows of the shipped script's entries with this keyword.
std::vector<Window> WindowsOf(const std::string& keyword)
{
    static const std::string script = ReadBytes(std::filesystem::path(SHOW_FOLDER) / "data/demo.txt");
    const std::regex entry("(^|\n)" + keyword + "\n([0-9]+)\n([0-9]+)");
    std::vector<Window> windows;
    for (auto match = std::sregex_iterator(script.begin(), script.end(), entry); match != std::sregex_iterator(); ++match) {
        windows.push_back({static_cast<std::uint32_t>(std::stoul((*match)[2])), static_cast<std::uint32_t>(std::stoul((*match)[3]))});
    }
    return windows;
}

// The share of pixels that read as a washed-out pale grey: bright (luma
// above 150 of 255) and nearly colourless (saturation below 0.15).
double PaleShare(const std::filesystem::path& file)
{
    const auto unload = [](FIBITMAP* bitmap) { FreeImage_Unload(bitmap); };
    const std::unique_ptr<FIBITMAP, decltype(unload)> loaded(FreeImage_Load(FIF_PNG, file.c_str()), unload);
    if (!loaded) {
        ADD_FAILURE() << "cannot read " << file;
        return 1.0;
    }
    const std::unique_ptr<FIBITMAP, decltype(unload)> picture(FreeImage_ConvertTo24Bits(loaded.get()), unload);
    const unsigned width = FreeImage_GetWidth(picture.get()), height = FreeImage_GetHeight(picture.get());
    std::size_t pale = 0;
    for (unsigned row = 0; row < height; ++row) {
        const BYTE* line = FreeImage_GetScanLine(picture.get(), static_cast<int>(row));
        for (unsigned x = 0; x < width; ++x) {
            const double r = line[x * 3 + FI_RGBA_RED], g = line[x * 3 + FI_RGBA_GREEN], b = line[x * 3 + FI_RGBA_BLUE];
            const double brightest = std::max({r, g, b}), darkest = std::min({r, g, b});
            const double luma = 0.299 * r + 0.587 * g + 0.114 * b;
            pale += luma > 150.0 && brightest > 0.0 && (brightest - darkest) / brightest < 0.15 ? 1 : 0;
        }
    }
    return static_cast<double>(pale) / (static_cast<double>(width) * height);
}

}  // namespace

// The built show, rendered as it plays and looked at every two seconds at
// 480 x 270: no scene may wash out to a pale grey, except while a flash of
// white is meant to. Ten frames a second are enough: the echoes feed back
// less often than on screen, but settle to the same brightness (the shares
// agree with thirty frames a second to a thousandth).
TEST(ShippedShow, NoFrameOutsideAFlashIsWashedOut)
{
    const std::vector<Window> ends = WindowsOf("EndDemo");
    const std::vector<Window> flashes = WindowsOf("FlashWhite");
    ASSERT_EQ(ends.size(), 1u);
    ASSERT_FALSE(flashes.empty());
    std::vector<std::uint32_t> times;
    std::ostringstream list;
    for (std::uint32_t time = 2000; time < ends.front().start; time += 2000) {
        if (std::none_of(flashes.begin(), flashes.end(), [time](Window flash) { return flash.start < time && time < flash.end; })) {
            list << (times.empty() ? "" : ",") << time;
            times.push_back(time);
        }
    }
    ASSERT_GT(times.size(), 80u);

    const TemporaryFolder frames;
    const std::filesystem::path log = frames.Path() / "stderr.txt";
    const std::string command = std::string("'") + KESTROVA_PROGRAM + "' --no-message-box --windowed --size 480x270 --fps 10 --data '" +
                                SHOW_FOLDER + "' --render " + list.str() + " --out '" + frames.Path().string() + "' 2> '" +
                                log.string() + "'";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << ReadBytes(log);
    for (const std::uint32_t time : times) {
        char name[32];
        std::snprintf(name, sizeof name, "%010u.png", static_cast<unsigned>(time));
        EXPECT_LE(PaleShare(frames.Path() / name), 0.25) << "the frame at " << time << " ms";
    }
}
