#include "core/AssetFolders.h"

#include <mutex>
#include <set>
#include <system_error>

#include "core/DebugOutput.h"
#include "core/DemoMessage.h"

namespace {

// Read-ahead threads look up files while the builder does.
std::mutex mutex;
std::filesystem::path fallback;
std::set<std::string> told;

// The fallback's copy of path, or nothing; with the lock held.
std::filesystem::path FallbackCopy(const std::string& path)
{
    const std::filesystem::path named(path);
    if (fallback.empty() || path.empty() || named.is_absolute()) {
        return {};
    }
    std::error_code error;
    if (std::filesystem::exists(named, error)) {
        return {};
    }
    const std::filesystem::path copy = fallback / named;
    return std::filesystem::is_regular_file(copy, error) ? copy : std::filesystem::path();
}

}  // namespace

void SetAssetFallback(const std::filesystem::path& folder)
{
    const std::lock_guard lock(mutex);
    fallback = folder;
    told.clear();
}

std::string FindAsset(const std::string& path)
{
    const std::lock_guard lock(mutex);
    const std::filesystem::path copy = FallbackCopy(path);
    if (copy.empty()) {
        return path;
    }
    if (told.insert(path).second) {
        DebugOutput(FormatText("%s comes from the show in %s\n", path.c_str(), fallback.c_str()));
    }
    return copy.string();
}

std::string LocateAsset(const std::string& path)
{
    const std::lock_guard lock(mutex);
    const std::filesystem::path copy = FallbackCopy(path);
    return copy.empty() ? path : copy.string();
}
