#pragma once

#include <cstddef>
#include <deque>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "sync/SyncTempo.h"
#include "sync/SyncTrack.h"

// The show's tracks by name, with the tempo their rows follow. A track,
// once made, stays for the life of the set at the same address, so that
// whatever it drives may hold on to it; reading a file again changes keys,
// never tracks.
class SyncTracks {
public:
    SyncTracks() = default;
    SyncTracks(SyncTracks&&) = default;
    SyncTracks& operator=(SyncTracks&&) = default;
    SyncTracks(const SyncTracks&) = delete;
    SyncTracks& operator=(const SyncTracks&) = delete;

    // The track of this name, made without keys when there is none.
    SyncTrack& Track(std::string_view name);
    SyncTrack* Find(std::string_view name);
    const SyncTrack* Find(std::string_view name) const;

    // The track of this name as one a value of the show follows: an editor
    // is asked for the driven tracks, in the order they were first driven.
    SyncTrack& Drive(std::string_view name);
    const std::vector<SyncTrack*>& Driven() const { return driven; }

    // Every track, in the order made.
    std::size_t Size() const { return tracks.size(); }
    SyncTrack& operator[](std::size_t index) { return tracks[index]; }
    const SyncTrack& operator[](std::size_t index) const { return tracks[index]; }

    double RowAt(std::uint32_t milliseconds) const { return tempo.RowAt(milliseconds); }

    // Takes the tempo, the keys and the editor's records of a set read from
    // a file: tracks it holds get its keys, the others lose theirs, and
    // tracks new to this set are made.
    void Adopt(SyncTracks&& read);

    SyncTempo tempo;
    // The editor's records kept as read: the attributes of its <tracks>
    // element besides the tempo, and its marks (bookmarks, folded groups) as
    // XML elements, so that a file saved here opens there as it was.
    XmlAttributes tracksAttributes;
    std::vector<std::string> editorMarks;

private:
    std::deque<SyncTrack> tracks;
    std::map<std::string, SyncTrack*, std::less<>> byName;
    std::vector<SyncTrack*> driven;
};
