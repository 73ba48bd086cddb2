#pragma once

#include <string>
#include <string_view>

#include "sync/SyncTracks.h"

// The tracks file in the XML that GNU Rocket's editors read and write. Any of
// their forms is read: the original editor's <sync rows> with <tracks> and
// <bookmarks>, the RocketEditor's <tracks> root, and its newer <rootElement>
// with bookmarks, loop marks and folded groups beside <tracks>. Every <track>
// element of the document counts, however nested, as the editors gather
// them. What an editor keeps beside the keys (colours, folding, marks) is
// kept as read and written back, so that a file saved here opens there as it
// was.

// Reads a tracks file; throws DemoMessage naming the file and what is wrong.
SyncTracks ReadRocketFile(const std::string& path);
// The same from text already read; fileName only names it in messages.
SyncTracks ParseRocketXml(std::string_view text, const std::string& fileName);

// The whole file as Kestrova writes it: the RocketEditor's newer form with
// the tempo on <tracks> (beatsPerMin beside rowsPerBeat), tab-indented, and
// the rows on the root element too, where the original editor looks.
std::string RocketXml(const SyncTracks& tracks);

// Writes RocketXml to a temporary file beside the real file and renames it
// over: a crash never leaves half a file. A path that is a symbolic link (or
// a chain of them) stays a link: the file at its end is replaced, keeping
// its permission bits. Throws DemoMessage naming the file on failure,
// leaving the old file as it was and no temporary file behind. Gives the
// text written.
std::string WriteRocketFile(const SyncTracks& tracks, const std::string& path);

// Where unsaved keys go when a run ends: beside the tracks file (beside the
// file a link points to), e.g. data/demo.rocket -> data/demo.recovered.rocket.
std::string RecoveryPathFor(const std::string& path);
