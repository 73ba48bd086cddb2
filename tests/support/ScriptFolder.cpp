#include "support/ScriptFolder.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>

ScriptFolder::ScriptFolder() : previous(std::filesystem::current_path())
{
    std::filesystem::create_directories(Root() / "data");
    std::filesystem::current_path(Root());
}

ScriptFolder::~ScriptFolder()
{
    std::error_code ignored;
    std::filesystem::current_path(previous, ignored);
}

void ScriptFolder::WriteScript(const std::string& text) const
{
    WriteFile("data/demo.txt", text);
}

void ScriptFolder::WriteFile(const std::filesystem::path& relative, const std::string& bytes) const
{
    const std::filesystem::path path = Root() / relative;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    out << bytes;
    if (!out) {
        throw std::runtime_error("cannot write " + path.string());
    }
}
