#include "app/ShowCheck.h"

#include <cstdio>
#include <filesystem>
#include <memory>

#include "app/GlEntryPoints.h"
#include "app/LoadingSignals.h"
#include "core/DemoMessage.h"
#include "effects/Keywords.h"
#include "gfx/Guards.h"
#include "gfx/ShaderInputs.h"
#include "music/MusicDecoding.h"
#include "script/DemoScript.h"
#include "sync/RocketFile.h"
#include "sync/ShowSync.h"
#include "ui/DemoWindow.h"

namespace {

// The tracks the show plays with: its tracks file's when there is one. A
// file named on the command line that is not there yet is what a live run
// makes at its first save, but --render and --capture need it.
SyncTracks ReadTracks(const RunOptions& options, ScriptProblems& problems)
{
    const std::string file = options.syncFile.empty() ? ShowSync::defaultFile : options.syncFile;
    std::error_code error;
    if (!std::filesystem::exists(file, error)) {
        if (!options.syncFile.empty()) {
            problems.WarningIn(file, "there is no such tracks file yet: the show plays without tracks, and --render and "
                                     "--capture refuse to start");
        }
        return {};
    }
    try {
        return ReadRocketFile(file);
    } catch (const DemoMessage& message) {
        problems.ErrorIn(file, message.Text());
        return {};
    }
}

}  // namespace

int CheckShow(const RunOptions& options)
{
    const DisplaySettings settings = SettingsWithoutDialog(options);
    DemoWindow window;
    window.Open(settings.width, settings.height, settings.bitsPerPixel, false, {.verticalSync = false, .hidden = true});
    const LoadingSignals loading;  // a check is all loading
    LoadGlEntryPoints(true);
    RestoreScreenProjection();
    const CEnabler texturing(GL_TEXTURE_2D);

    ScriptCheck check;
    SyncTracks tracks = ReadTracks(options, check.problems);
    ShaderInputs shaderInputs;
    const KeywordTable keywords = DemoKeywords(&tracks, &shaderInputs);
    EffectList effects;
    MusicDecoding music;
    DemoScript::Check(keywords, effects, check, [&music](const std::string& file) { music.Start(file); });
    if (!check.musicFile.empty()) {
        try {
            const std::shared_ptr<const DecodedMusic> decoded = music.Take(check.musicFile);
            CheckWindowsWithinMusic(check, decoded->Seconds() * 1000.0, check.problems);
        } catch (const DemoMessage& message) {
            check.problems.Error(check.musicLine, message.Text());
        }
    }
    effects.Clear();

    std::fputs(check.problems.Report().c_str(), stdout);
    std::fflush(stdout);
    return check.problems.Count(ScriptProblems::Severity::error) > 0 ? 1 : 0;
}
