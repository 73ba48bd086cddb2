#include "app/OfflineRenderer.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>

#include "app/OfflinePlayback.h"
#include "app/ShowCapture.h"
#include "core/DemoMessage.h"
#include "gfx/FrameCapture.h"
#include "gfx/Screen.h"
#include "music/DecodedMusic.h"

long FrameIndexOf(std::uint32_t time, std::uint32_t from, int framesPerSecond)
{
    return std::lround(static_cast<double>(time - from) * framesPerSecond / 1000.0);
}

std::string FrameFileName(std::uint32_t time)
{
    return FormatText("%010u.png", static_cast<unsigned>(time));
}

void PrepareOfflineOutput(const RunOptions& options)
{
    if (options.Capturing()) {
        CheckCaptureFile(options.captureFile);
        return;
    }
    std::error_code error;
    std::filesystem::create_directories(options.renderDirectory, error);
    if (error || access(options.renderDirectory.c_str(), W_OK | X_OK) != 0) {
        throw DemoMessage(FormatText("Unable to write %s", options.renderDirectory.c_str()));
    }
}

void RenderOffline(const RunOptions& options, const EffectList& effects, DemoWindow& window,
                   std::shared_ptr<const DecodedMusic> music, const FrameSources& sources)
{

    OfflinePlayback playback(effects, window, std::move(music), options.renderFrom, options.framesPerSecond,
                             options.forcedBeat, sources);

    long lastFrame = 0;
    for (const std::uint32_t time : options.renderTimes) {
        lastFrame = std::max(lastFrame, FrameIndexOf(time, options.renderFrom, options.framesPerSecond));
    }
    long frame = 0;
    try {
        for (; frame <= lastFrame; ++frame) {
            playback.Draw(frame);
            for (const std::uint32_t time : options.renderTimes) {
                if (FrameIndexOf(time, options.renderFrom, options.framesPerSecond) == frame) {
                    const std::filesystem::path path = std::filesystem::path(options.renderDirectory) / FrameFileName(time);
                    SaveFramePng(path.string(), screenWidth, screenHeight);
                }
            }
            playback.Show();
        }
    } catch (const DemoMessage& message) {
        if (!message.IsEnding()) {
            throw;
        }
        // The show ended before the last requested frame: a silent success
        // would leave the caller with frames missing.
        std::string missing;
        for (const std::uint32_t time : options.renderTimes) {
            if (FrameIndexOf(time, options.renderFrom, options.framesPerSecond) >= frame) {
                missing += (missing.empty() ? "" : ", ") + std::to_string(time);
            }
        }
        throw DemoMessage(FormatText("The show ended (%s) at %u ms, before these times could be rendered: %s",
                                     message.Text().c_str(), static_cast<unsigned>(playback.Time()),
                                     missing.c_str()));
    }
}
