#include "app/DemoRun.h"

#include <unistd.h>

#include <cstdio>
#include <memory>
#include <optional>

#include "app/ErrorReport.h"
#include "app/FrameLoop.h"
#include "app/GlEntryPoints.h"
#include "app/LoadingSignals.h"
#include "app/OfflineRenderer.h"
#include "app/OpenMusic.h"
#include "app/ShowCapture.h"
#include "app/ShowCheck.h"
#include "app/ShowFolder.h"
#include "core/AssetFolders.h"
#include "core/DebugOutput.h"
#include "core/DemoMessage.h"
#include "effects/Keywords.h"
#include "gfx/Guards.h"
#include "music/DecodedMusic.h"
#include "music/MusicDecoding.h"
#include "script/DemoScript.h"
#include "script/EndDemo.h"
#include "sync/ShowSync.h"
#include "ui/DemoWindow.h"
#include "ui/DisplaySettings.h"
#include "ui/SetupDialog.h"
#include "ui/TweakPanel.h"
#include "ui/VisibleDisplay.h"
#include "watch/LiveShow.h"

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const
    {
        SetDebugLogFile(nullptr);
        std::fclose(file);
    }
};
using LogFile = std::unique_ptr<std::FILE, FileCloser>;

LogFile OpenLog(const std::string& path)
{
    if (path.empty()) {
        return nullptr;
    }
    LogFile file(std::fopen(path.c_str(), "w"));
    if (!file) {
        throw DemoMessage(FormatText("Unable to write %s", path.c_str()));
    }
    SetDebugLogFile(file.get());
    return file;
}

// The music loops, so a show whose end lies past the music's end only ends
// when the viewer stops it: worth a word to whoever wrote the script.
void WarnIfTheShowOutlastsTheMusic(const EffectList& effects, std::uint32_t startOffset, const DecodedMusic& music)
{
    const std::optional<std::uint32_t> end = ShowEndTime(effects, startOffset * 1000);
    const double musicEnd = music.Seconds() * 1000.0;
    if (end && *end >= musicEnd) {
        DebugOutput(FormatText("The show ends at %u ms, after the music's end at %.0f ms: the music loops until the show is stopped\n",
                               static_cast<unsigned>(*end), musicEnd));
    }
}

// Returns the exit status of a run that ends without a message.
int RunShow(const RunOptions& options, const DisplaySettings& settings)
{
    DemoWindow window;
    window.Open(settings.width, settings.height, settings.bitsPerPixel, !settings.windowed,
                {.verticalSync = settings.verticalSync,
                 .multisampling = settings.multisampling,
                 .alwaysOnTop = settings.alwaysOnTop,
                 .hidden = options.Offline()});
    std::optional<LoadingSignals> loading(std::in_place);
    LoadGlEntryPoints(options.Offline());
    RestoreScreenProjection();
    const CEnabler texturing(GL_TEXTURE_2D);

    ShowSync sync({.file = options.syncFile.empty() ? ShowSync::defaultFile : options.syncFile,
                   .named = !options.syncFile.empty(),
                   .offline = options.Offline(),
                   .editor = options.syncEditor});
    ShaderInputs shaderInputs;
    const KeywordTable keywords = DemoKeywords(&sync.Tracks(), &shaderInputs);
    EffectList effects;
    LiveShow live(keywords, effects, options.watch);
    std::string musicFile;
    std::uint32_t startOffset = 0;
    MusicDecoding music;
    const auto decodeMusic = [&music](const std::string& file) { music.Start(file); };
    if (options.Offline()) {
        DemoScript::Load(keywords, effects, window, musicFile, startOffset, nullptr, decodeMusic);
    } else {
        live.Load(window, musicFile, startOffset, decodeMusic);
    }
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);

    const std::shared_ptr<const DecodedMusic> decoded = music.Take(musicFile);
    loading.reset();
    shaderInputs.SetMusic(decoded);
    sync.UseModuleRows(decoded->Rows());
    int status = 0;
    if (options.Capturing()) {
        status = CaptureShow(options, effects, window, decoded, {&sync, &shaderInputs});
    } else if (options.Rendering()) {
        RenderOffline(options, effects, window, decoded, {&sync, &shaderInputs});
    } else {
        TweakPanel panel(window, effects);
        WarnIfTheShowOutlastsTheMusic(effects, startOffset, *decoded);
        const std::unique_ptr<MusicStream> stream = OpenMusicStream(decoded);
        stream->Play();
        stream->SetPosition(static_cast<double>(startOffset));
        FrameLoop loop(effects, window, *stream, &panel);
        loop.SetLiveShow(&live);
        loop.Use({&sync, &shaderInputs});
        live.OnListChange([&] { loop.ReleaseTracks(); }, [&] { loop.BindTracks(); });
        live.WatchAlso(sync.File(), [&] { sync.Reload(); });
        panel.ShowNotice(live.Failure());
        panel.EditTracks(sync, loop.Tweaks());
        panel.ShowTimeline(loop.Time(), decoded->Seconds());
        if (options.loop) {
            loop.Time().SetLoop(options.loop->first, options.loop->second);
            stream->SetPosition(options.loop->first / 1000.0);  // the part being worked on plays at once
        }
        if (options.watch) {
            loop.HoldAtTheEnd();
            panel.ShowEndNote(loop.EndNote());
        }
        loop.Run();
        panel.Terminate();
    }
    effects.Clear();
    return status;
}

}  // namespace

int RunDemo(const RunOptions& options)
{
    LogFile log;  // outlives the report, which goes into it too
    try {
        log = OpenLog(options.logFile);
        if (!options.dataDirectory.empty() && chdir(options.dataDirectory.c_str()) != 0) {
            throw DemoMessage(FormatText("Unable to enter %s", options.dataDirectory.c_str()));
        }
        // A show's folder holds only what it adds or replaces: the effects'
        // other files come from the installed or built show.
        SetAssetFallback(FallbackShowFolder(RunningProgramFile(), std::filesystem::current_path()));
        if (options.check) {
            return CheckShow(options);
        }
        std::optional<VisibleDisplay> display;
        if (options.Offline()) {
            PrepareOfflineOutput(options);
        } else {
            display.emplace();
        }
        DisplaySettings settings = SettingsWithoutDialog(options);
        if (options.showDialog && RunSetupDialog(settings) == 0) {
            return -1;
        }
        return RunShow(options, settings);
    } catch (const DemoMessage& message) {
        if (options.Capturing()) {
            // Only a quit can end a capture early (the show's end is where
            // it stops); every message names the video.
            ReportFatalMessage(FormatText("Unable to capture %s: %s", options.captureFile.c_str(), message.what()),
                               options.showMessageBox);
            return message.IsEnding() ? captureStoppedStatus : 1;
        }
        ReportFatalMessage(message.Text(), options.showMessageBox);
        return message.IsEnding() ? 0 : 1;
    } catch (const std::exception& failure) {
        ReportFatalMessage(failure.what(), options.showMessageBox);
        return 1;
    }
}
