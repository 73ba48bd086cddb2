#include "sync/SyncTracks.h"

#include <algorithm>

SyncTrack& SyncTracks::Track(std::string_view name)
{
    if (SyncTrack* found = Find(name)) {
        return *found;
    }
    SyncTrack& made = tracks.emplace_back(std::string(name));
    byName.emplace(made.Name(), &made);
    return made;
}

SyncTrack* SyncTracks::Find(std::string_view name)
{
    const auto found = byName.find(name);
    return found == byName.end() ? nullptr : found->second;
}

const SyncTrack* SyncTracks::Find(std::string_view name) const
{
    const auto found = byName.find(name);
    return found == byName.end() ? nullptr : found->second;
}

SyncTrack& SyncTracks::Drive(std::string_view name)
{
    SyncTrack& track = Track(name);
    if (std::find(driven.begin(), driven.end(), &track) == driven.end()) {
        driven.push_back(&track);
    }
    return track;
}

void SyncTracks::Adopt(SyncTracks&& read)
{
    const ModuleRows* moduleRows = tempo.moduleRows;  // the music's, which a file does not change
    tempo = read.tempo;
    tempo.moduleRows = moduleRows;
    tracksAttributes = std::move(read.tracksAttributes);
    editorMarks = std::move(read.editorMarks);
    for (SyncTrack& track : tracks) {
        if (read.Find(track.Name()) == nullptr) {
            track.ClearKeys();
            track.keptInFile = false;
            track.editorAttributes.clear();
        }
    }
    for (SyncTrack& from : read.tracks) {
        SyncTrack& track = Track(from.Name());
        track.ClearKeys();
        for (const TrackKey& key : from.Keys()) {
            track.SetKey(key);
        }
        track.keptInFile = from.keptInFile;
        track.editorAttributes = std::move(from.editorAttributes);
    }
}
