#pragma once

#include <filesystem>
#include <string>

// Where the show's files are opened from. The show's folder (the working
// folder) holds what its maker adds or replaces; any other file the show
// names, such as a built-in effect's pictures, shaders and models, comes
// from a fallback show (the installed or the built one) that holds it. So a
// demo maker's folder needs only its script, its music and its own files,
// and a file put at an asset's path replaces that asset.

// The fallback show's folder, the one that holds data/; empty for none.
// Set before the show loads; a new setting tells each file anew.
void SetAssetFallback(const std::filesystem::path& folder);

// The path to open for a file the show names: the fallback's copy when the
// path is relative, missing here and a file there, with a line in the debug
// output the first time for each file; else the path as it was. For the
// thread that builds the show, so that the lines come in its order.
std::string FindAsset(const std::string& path);

// The same without a word: for threads that only read ahead of the builder.
std::string LocateAsset(const std::string& path);
