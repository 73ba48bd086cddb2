#include "support/ScriptFolder.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>

ScriptFolder::ScriptFolder() : previous(std::filesystem::current_path())
{
    std::string pattern = (std::filesystem::temp_directory_path() / "kestrova-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed");
    }
    root = pattern;
    std::filesystem::create_directories(root / "data");
    std::filesystem::current_path(root);
}

ScriptFolder::~ScriptFolder()
{
    std::error_code ignored;
    std::filesystem::current_path(previous, ignored);
    std::filesystem::remove_all(root, ignored);
}

void ScriptFolder::WriteScript(const std::string& text) const
{
    WriteFile("data/demo.txt", text);
}

void ScriptFolder::WriteFile(const std::filesystem::path& relative, const std::string& bytes) const
{
    const std::filesystem::path path = root / relative;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    out << bytes;
    if (!out) {
        throw std::runtime_error("cannot write " + path.string());
    }
}
