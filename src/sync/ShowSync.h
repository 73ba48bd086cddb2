#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "sync/EditorLink.h"
#include "sync/SyncTracks.h"

// The run's tracks: read from the tracks file beside the script, saved back
// to it, and, when an editor is named, kept in step with a Rocket editor.
// Keys are never lost without a word: those not saved when the run ends,
// or when a reload or an editor is about to replace them, go to a recovery
// file beside the tracks file, and the debug output says where.
class ShowSync {
public:
    static constexpr const char* defaultFile = "data/demo.rocket";

    struct Options {
        std::string file = defaultFile;
        // Named on the command line: the file is meant to be there. A run
        // that only renders fails without it; a live one makes it at the
        // first save.
        bool named = false;
        bool offline = false;
        std::optional<EditorAddress> editor;
    };

    // Reads the file when there is one; throws its message when it cannot
    // be read.
    explicit ShowSync(const Options& options);
    // Keeps unsaved keys in the recovery file.
    ~ShowSync();

    ShowSync(const ShowSync&) = delete;
    ShowSync& operator=(const ShowSync&) = delete;

    SyncTracks& Tracks() { return tracks; }
    const std::string& File() const { return file; }

    // The rows of the music, a module's or none, for a tracks file that
    // keys on them; they must outlive the run's tracks.
    void UseModuleRows(const ModuleRows& rows);

    // Where a seek to the row goes, in seconds of music: half a millisecond
    // into its first millisecond, so that the clock, read back and cut to
    // whole milliseconds, gives that row again.
    double SeekSeconds(int row) const { return (tracks.tempo.StartOfRow(row) + 0.5) / 1000.0; }

    // Once a frame, before the clock is read: takes what the editor sent
    // (its keys go straight into the tracks; a save it asks for is made
    // here) and gives the seek and pause it asks for. Never blocks.
    EditorRequests Poll(std::chrono::steady_clock::time_point now);
    // Once a frame, with the row the clock is at.
    void TellRow(double row);

    // Writes the tracks file. A failure is said in the debug output and
    // kept for the screen; the tracks stay as they are.
    bool Save();
    // Reads the tracks file again (it changed on disk, or F5): a file that
    // cannot be read throws its message and changes nothing; no file
    // changes nothing either.
    void Reload();

    // Keys differ from those last read or saved.
    bool Unsaved() const;
    // Writes unsaved keys to the recovery file (in the temporary folder when
    // the tracks file's own allows no new file) and says where.
    void KeepUnsaved();

    // The last save's failure, or empty.
    const std::string& SaveFailure() const { return saveFailure; }

private:
    std::string file;
    SyncTracks tracks;
    std::string savedText;  // the tracks as last read or saved, as written
    std::string saveFailure;
    std::unique_ptr<EditorLink> link;
};
