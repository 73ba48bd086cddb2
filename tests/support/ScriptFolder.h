#pragma once

#include <filesystem>
#include <string>

#include "support/TemporaryFolder.h"

// A fresh temporary folder that becomes the working directory for the
// lifetime of the object, with a data/ folder for scripts and assets. The
// previous working directory is restored and the folder removed afterwards.
class ScriptFolder {
public:
    ScriptFolder();
    ~ScriptFolder();

    ScriptFolder(const ScriptFolder&) = delete;
    ScriptFolder& operator=(const ScriptFolder&) = delete;

    // Writes data/demo.txt byte for byte.
    void WriteScript(const std::string& text) const;

    // Writes a file at a path relative to the folder, creating folders.
    void WriteFile(const std::filesystem::path& relative, const std::string& bytes) const;

    const std::filesystem::path& Root() const { return folder.Path(); }

private:
    TemporaryFolder folder;
    std::filesystem::path previous;
};
