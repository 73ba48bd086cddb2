#include <variant>

#include "app/CommandLine.h"
#include "app/DemoRun.h"
#include "app/MemoryReuse.h"

int main(int argc, char** argv)
{
    KeepFreedMemoryForReuse();
    std::variant<RunOptions, int> parsed = ParseCommandLine(argc, argv);
    if (const int* exitCode = std::get_if<int>(&parsed)) {
        return *exitCode;
    }
    return RunDemo(std::get<RunOptions>(parsed));
}
