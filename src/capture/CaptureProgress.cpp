#include "capture/CaptureProgress.h"

#include "core/DebugOutput.h"
#include "core/DemoMessage.h"

namespace {

constexpr auto redrawInterval = std::chrono::milliseconds(100);
constexpr int barWidth = 30;

double Megabytes(std::uintmax_t bytes)
{
    return static_cast<double>(bytes) / (1024.0 * 1024.0);
}

}  // namespace

CaptureProgress::CaptureProgress(std::string file, long totalFrames, int framesPerSecond, bool terminal)
    : file(std::move(file)), totalFrames(totalFrames), framesPerSecond(framesPerSecond), terminal(terminal),
      start(std::chrono::steady_clock::now()), lastDrawn(start - redrawInterval)
{
}

double CaptureProgress::SecondsSinceStart() const
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void CaptureProgress::FramesDone(long frames)
{
    const double share = totalFrames > 0 ? static_cast<double>(frames) / totalFrames : 1.0;
    if (!terminal) {
        const int tenths = static_cast<int>(share * 10.0);
        if (tenths > tenthsReported) {
            tenthsReported = tenths;
            char line[160];
            std::snprintf(line, sizeof line, "Capturing: %d%% (%ld of %ld frames)\n", tenths * 10, frames, totalFrames);
            DebugOutput(line);
        }
        return;
    }
    const auto now = std::chrono::steady_clock::now();
    if (now - lastDrawn < redrawInterval && frames < totalFrames) {
        return;
    }
    lastDrawn = now;
    recent.Add(SecondsSinceStart(), frames);
    const double rate = recent.FramesPerSecond();
    const long secondsLeft = recent.SecondsLeft(totalFrames - frames);
    char bar[barWidth + 1];
    const int filled = static_cast<int>(share * barWidth);
    for (int i = 0; i < barWidth; ++i) {
        bar[i] = i < filled ? '#' : '.';
    }
    bar[barWidth] = '\0';
    std::fprintf(stderr, "\r%3d%% [%s] %ld/%ld frames  %.1f fps  %ld:%02ld left ", static_cast<int>(share * 100.0), bar,
                 frames, totalFrames, rate, secondsLeft / 60, secondsLeft % 60);
    std::fflush(stderr);
    barDrawn = true;
}

void CaptureProgress::EndBar()
{
    if (barDrawn) {
        std::fputc('\n', stderr);
        barDrawn = false;
    }
}

void CaptureProgress::Finished(long frames, std::uintmax_t bytes)
{
    EndBar();
    DebugOutput(FormatText("Captured %s: %.2f s of video, %ld frames, %.1f MB, in %.1f s\n", file.c_str(),
                           static_cast<double>(frames) / framesPerSecond, frames, Megabytes(bytes), SecondsSinceStart()));
}

void CaptureProgress::Stopped(long frames, std::uint32_t musicTime, std::uintmax_t bytes)
{
    EndBar();
    DebugOutput(FormatText("Capture stopped at music time %u ms: %s holds the first %ld of %ld frames (%.2f s of video, "
                           "%.1f MB), in %.1f s\n",
                           static_cast<unsigned>(musicTime), file.c_str(), frames, totalFrames,
                           static_cast<double>(frames) / framesPerSecond, Megabytes(bytes), SecondsSinceStart()));
}
