#include "app/ShowFolder.h"

#include <system_error>

namespace {

bool HoldsScript(const std::filesystem::path& folder)
{
    std::error_code error;
    return std::filesystem::is_regular_file(folder / "data/demo.txt", error);
}

}  // namespace

std::filesystem::path InstalledShowFolder(const std::filesystem::path& programFile)
{
    return (programFile.parent_path() / KESTROVA_SHOW_FROM_PROGRAM).lexically_normal();
}

std::filesystem::path RunningProgramFile()
{
    std::error_code error;
    return std::filesystem::read_symlink("/proc/self/exe", error);
}

std::filesystem::path ChooseShowFolder(const std::string& dataOption, const std::filesystem::path& workingFolder,
                                       const std::filesystem::path& programFile)
{
    if (!dataOption.empty()) {
        return std::filesystem::absolute(dataOption).lexically_normal();
    }
    if (HoldsScript(workingFolder) || programFile.empty()) {
        return workingFolder;
    }
    const std::filesystem::path installed = InstalledShowFolder(programFile);
    return HoldsScript(installed) ? installed : workingFolder;
}

std::filesystem::path FallbackShowFolder(const std::filesystem::path& programFile, const std::filesystem::path& showFolder)
{
    if (programFile.empty()) {
        return {};
    }
    for (const std::filesystem::path& candidate : {InstalledShowFolder(programFile), programFile.parent_path()}) {
        std::error_code error;
        if (HoldsScript(candidate) && !std::filesystem::equivalent(candidate, showFolder, error)) {
            return candidate;
        }
    }
    return {};
}
