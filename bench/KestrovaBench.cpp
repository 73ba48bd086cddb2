// Measures the show: how long start-up takes (and how much of it is loading
// the script's assets and decoding the music), and what each script entry
// costs per frame, drawn offline with the GPU finished after every draw.
#include <CLI/CLI.hpp>

#include <cxxabi.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <numeric>
#include <vector>

#include "app/DemoWindow.h"
#include "app/FrameLoop.h"
#include "core/BeatLevel.h"
#include "core/DemoMessage.h"
#include "effects/Keywords.h"
#include "gfx/Guards.h"
#include "music/DecodedMusic.h"
#include "music/SteppedMusicStream.h"
#include "script/DemoScript.h"
#include "script/EndDemo.h"

namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsBetween(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// Milliseconds since the kernel started this process (at clock-tick resolution).
double MillisecondsSinceProcessStart()
{
    std::ifstream stat("/proc/self/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    // Field 22, counted after the command name in parentheses (field 2).
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::string field;
    for (int index = 3; index <= 22; ++index) {
        fields >> field;
    }
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    const double started = std::stod(field) / static_cast<double>(sysconf(_SC_CLK_TCK));
    return (static_cast<double>(now.tv_sec) + now.tv_nsec * 1e-9 - started) * 1000.0;
}

std::string ClassName(const Effekt& effect)
{
    int status = 0;
    const std::unique_ptr<char, void (*)(void*)> name(abi::__cxa_demangle(typeid(effect).name(), nullptr, nullptr, &status),
                                                      std::free);
    return status == 0 ? name.get() : typeid(effect).name();
}

struct Figures {
    double mean = 0.0;
    double p95 = 0.0;
};

Figures Summarise(std::vector<double> samples)
{
    if (samples.empty()) {
        return {};
    }
    std::sort(samples.begin(), samples.end());
    const double sum = std::accumulate(samples.begin(), samples.end(), 0.0);
    const std::size_t index = std::min(samples.size() - 1, static_cast<std::size_t>(0.95 * static_cast<double>(samples.size())));
    return {sum / static_cast<double>(samples.size()), samples[index]};
}

// Draws one entry alone over frames spread across its window.
Figures TimeEntry(Effekt& effect, DemoWindow& window, SteppedMusicStream& music, int frames)
{
    std::vector<double> samples;
    std::array<float, spectrumBins> spectrum{};
    const double first = effect.startTime + 1.0;
    const double span = static_cast<double>(effect.endTime) - 1.0 - first;
    for (int frame = 0; frame < frames; ++frame) {
        const double time = first + span * frame / std::max(1, frames - 1);
        music.SetPosition(time / 1000.0);
        music.FillSpectrum(spectrum);
        const std::uint32_t milliseconds = MillisecondsOf(music.Position());
        if (!effect.IsActiveAt(milliseconds)) {
            continue;
        }
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glFinish();
        const Clock::time_point start = Clock::now();
        effect.Draw(milliseconds, BeatLevel(spectrum));
        glFinish();
        samples.push_back(MillisecondsBetween(start, Clock::now()));
        window.SwapAndPoll();
    }
    return Summarise(samples);
}

int Bench(const std::string& dataDirectory, int width, int height, int frames)
{
    const Clock::time_point mainEntered = Clock::now();
    const double processStartToMain = MillisecondsSinceProcessStart();
    if (chdir(dataDirectory.c_str()) != 0) {
        throw DemoMessage(FormatText("Unable to enter %s", dataDirectory.c_str()));
    }

    DemoWindow window;
    window.Open(width, height, 32, false, {.hidden = true});
    if (glewInit() != GLEW_OK && !GLEW_VERSION_2_0) {
        throw DemoMessage("Opengl 2.0 not supported");
    }
    RestoreScreenProjection();
    const CEnabler texturing(GL_TEXTURE_2D);
    const Clock::time_point windowOpen = Clock::now();

    EffectList effects;
    std::string musicFile;
    std::uint32_t startOffset = 0;
    DemoScript::Load(DemoKeywords(), effects, window, musicFile, startOffset);
    const Clock::time_point scriptLoaded = Clock::now();

    SteppedMusicStream music(std::make_shared<const DecodedMusic>(DecodedMusic::Load(musicFile)));
    music.Play();
    music.SetPosition(startOffset);
    const Clock::time_point musicDecoded = Clock::now();

    FrameLoop loop(effects, window, music);
    loop.DrawFrame();
    glFinish();
    window.SwapAndPoll();
    const Clock::time_point firstFrame = Clock::now();

    std::printf("Start-up at %d x %d, ms: window and GL %.1f, script and assets %.1f, music decoding %.1f, first frame %.1f\n",
                width, height, MillisecondsBetween(mainEntered, windowOpen), MillisecondsBetween(windowOpen, scriptLoaded),
                MillisecondsBetween(scriptLoaded, musicDecoded), MillisecondsBetween(musicDecoded, firstFrame));
    std::printf("Process start to first frame: %.1f ms\n\n", processStartToMain + MillisecondsBetween(mainEntered, firstFrame));

    std::printf("Draw time per entry, %d frames across each window, ms:\n", frames);
    std::printf("%3s  %-28s %16s %9s %9s\n", "#", "effect", "window", "mean", "p95");
    int index = 0;
    for (const auto& effect : effects) {
        ++index;
        const std::string window_ = FormatText("%u-%u", effect->startTime, effect->endTime);
        if (dynamic_cast<const Effekter::EndDemo*>(effect.get()) != nullptr) {
            std::printf("%3d  %-28s %16s %9s %9s\n", index, ClassName(*effect).c_str(), window_.c_str(), "-", "-");
            continue;
        }
        const Figures figures = TimeEntry(*effect, window, music, frames);
        std::printf("%3d  %-28s %16s %9.3f %9.3f\n", index, ClassName(*effect).c_str(), window_.c_str(), figures.mean,
                    figures.p95);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    CLI::App app{"Start-up and per-entry frame times of the Kestrova show.", "kestrova-bench"};
    std::string dataDirectory = ".";
    std::string size = "1280x720";
    int frames = 120;
    app.add_option("--data", dataDirectory, "Folder that holds data/")->check(CLI::ExistingDirectory);
    app.add_option("--size", size, "Window size, WIDTHxHEIGHT");
    app.add_option("--frames", frames, "Frames drawn per entry")->check(CLI::Range(1, 100000));
    CLI11_PARSE(app, argc, argv);

    int width = 0;
    int height = 0;
    if (std::sscanf(size.c_str(), "%dx%d", &width, &height) != 2 || width < 1 || height < 1) {
        std::fprintf(stderr, "--size: expected WIDTHxHEIGHT\n");
        return 2;
    }
    try {
        return Bench(dataDirectory, width, height, frames);
    } catch (const DemoMessage& message) {
        std::fprintf(stderr, "%s\n", message.what());
        return 1;
    }
}
