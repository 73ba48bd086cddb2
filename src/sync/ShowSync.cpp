#include "sync/ShowSync.h"

#include <cmath>
#include <filesystem>

#include "core/DebugOutput.h"
#include "core/DemoMessage.h"
#include "sync/RocketFile.h"

namespace {

bool Exists(const std::string& path)
{
    std::error_code error;
    return std::filesystem::exists(path, error);
}

}  // namespace

ShowSync::ShowSync(const Options& options) : file(options.file)
{
    if (Exists(file) || (options.named && options.offline)) {
        tracks = ReadRocketFile(file);
    } else if (options.named) {
        DebugOutput(FormatText("There is no tracks file %s yet: Ctrl+S writes it\n", file.c_str()));
    }
    savedText = RocketXml(tracks);
    if (options.editor) {
        link = std::make_unique<EditorLink>(*options.editor, tracks);
        link->OnConnect([this] {
            if (Unsaved()) {
                KeepUnsaved();
            }
        });
    }
}

ShowSync::~ShowSync()
{
    try {
        if (Unsaved()) {
            KeepUnsaved();
        }
    } catch (const DemoMessage& message) {
        DebugOutput(FormatText("%s\n", message.what()));
    }
}

void ShowSync::UseModuleRows(const ModuleRows& rows)
{
    tracks.tempo.moduleRows = &rows;
    if (tracks.tempo.moduleGrid && rows.Empty()) {
        DebugOutput(FormatText("%s keys the tracks on a module's rows, but the music is no module: they follow the tempo\n",
                               file.c_str()));
    }
}

EditorRequests ShowSync::Poll(std::chrono::steady_clock::time_point now)
{
    if (!link) {
        return {};
    }
    const EditorRequests requests = link->Poll(now);
    if (requests.save) {
        Save();
    }
    return requests;
}

void ShowSync::TellRow(double row)
{
    if (link) {
        link->TellRow(static_cast<int>(std::floor(row)));
    }
}

bool ShowSync::Save()
{
    try {
        savedText = WriteRocketFile(tracks, file);
        saveFailure.clear();
        DebugOutput(FormatText("Saved the tracks in %s\n", file.c_str()));
        return true;
    } catch (const DemoMessage& message) {
        saveFailure = message.Text();
        DebugOutput(FormatText("%s\n", saveFailure.c_str()));
        return false;
    }
}

void ShowSync::Reload()
{
    if (!Exists(file)) {
        return;  // nothing to read; the tracks stay until a save writes them
    }
    SyncTracks read = ReadRocketFile(file);
    const std::string text = RocketXml(read);
    if (text == savedText) {
        return;  // our own save, or a save that changed nothing
    }
    if (link && link->Connected()) {
        DebugOutput(FormatText("%s changed while an editor is connected: the editor's keys stay\n", file.c_str()));
        return;
    }
    if (Unsaved()) {
        KeepUnsaved();
    }
    tracks.Adopt(std::move(read));
    savedText = text;
    DebugOutput(FormatText("Read the tracks in %s again\n", file.c_str()));
}

bool ShowSync::Unsaved() const
{
    return RocketXml(tracks) != savedText;
}

void ShowSync::KeepUnsaved()
{
    std::string recovery = RecoveryPathFor(file);
    try {
        WriteRocketFile(tracks, recovery);
    } catch (const DemoMessage& message) {
        // Beside an installed show there is no room: the keys go where there is.
        DebugOutput(FormatText("%s\n", message.what()));
        recovery = (std::filesystem::temp_directory_path() / std::filesystem::path(recovery).filename()).string();
        WriteRocketFile(tracks, recovery);
    }
    DebugOutput(FormatText("The tracks' unsaved keys are kept in %s\n", recovery.c_str()));
}
