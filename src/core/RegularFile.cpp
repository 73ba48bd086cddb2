#include "core/RegularFile.h"

#include <sys/stat.h>

bool IsSpecialFile(const std::string& path)
{
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && !S_ISREG(status.st_mode);
}
