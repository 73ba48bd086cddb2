#include "app/ShowCapture.h"

#include <unistd.h>

#include <cmath>
#include <memory>

#include "app/OfflinePlayback.h"
#include "capture/CaptureProgress.h"
#include "capture/CaptureTimeline.h"
#include "capture/VideoCapture.h"
#include "core/DemoMessage.h"
#include "gfx/Screen.h"
#include "music/DecodedMusic.h"
#include "script/EndDemo.h"

namespace {

std::uint32_t CaptureEnd(const RunOptions& options, const EffectList& effects, const DecodedMusic& music)
{
    const std::optional<std::uint32_t> showEnd = ShowEndTime(effects, options.renderFrom);
    if (options.captureTo) {
        if (showEnd && *options.captureTo > *showEnd) {
            throw DemoMessage(FormatText("the show ends at %u ms, before --to %u ms", static_cast<unsigned>(*showEnd),
                                         static_cast<unsigned>(*options.captureTo)));
        }
        return *options.captureTo;
    }
    return showEnd ? *showEnd : static_cast<std::uint32_t>(std::llround(music.Seconds() * 1000.0));
}

}  // namespace

void CheckCaptureFile(const std::string& path)
{
    if (!VideoFormatFor(path)) {
        throw DemoMessage(FormatText("videos are written as %s", knownVideoExtensions));
    }
    VideoCapture::CheckWritable(path);
}

int CaptureShow(const RunOptions& options, const EffectList& effects, DemoWindow& window,
                const std::shared_ptr<const DecodedMusic>& music, const FrameSources& sources)
{
    const std::uint32_t to = CaptureEnd(options, effects, *music);
    const CaptureTimeline timeline(options.renderFrom, to, options.framesPerSecond, music->SampleRate());
    if (timeline.Frames() == 0) {
        throw DemoMessage(FormatText("the show holds nothing to capture between %u and %u ms",
                                     static_cast<unsigned>(options.renderFrom), static_cast<unsigned>(to)));
    }

    VideoCapture capture({.path = options.captureFile,
                          .width = screenWidth,
                          .height = screenHeight,
                          .framesPerSecond = options.framesPerSecond,
                          .quality = options.quality},
                         music, timeline);
    OfflinePlayback playback(effects, window, music, options.renderFrom, options.framesPerSecond, options.forcedBeat,
                             sources);
    CaptureProgress progress(options.captureFile, timeline.Frames(), options.framesPerSecond, isatty(STDERR_FILENO) != 0);
    for (long frame = 0; frame < timeline.Frames(); ++frame) {
        playback.Draw(frame);
        capture.AddFrame();
        progress.FramesDone(frame + 1);
        try {
            playback.Show();
        } catch (const DemoMessage& message) {
            if (!message.IsEnding()) {
                throw;
            }
            // SDL turns Ctrl+C and SIGTERM into a quit: the frames so far
            // still make a video worth keeping.
            const std::uintmax_t bytes = capture.Finish();
            progress.Stopped(capture.FramesAdded(), playback.Time(), bytes);
            return captureStoppedStatus;
        }
    }
    const std::uintmax_t bytes = capture.Finish();
    progress.Finished(capture.FramesAdded(), bytes);
    return 0;
}
