#pragma once

#include <string>

// Whether something other than a regular file stands at path, links
// followed: a named pipe, a device, a socket or a folder. Opened by name, a
// pipe blocks until a writer comes and a device may never end, so the show
// opens none of them as music, script, picture, model or plug-in. False for
// a regular file and for nothing at all.
bool IsSpecialFile(const std::string& path);
