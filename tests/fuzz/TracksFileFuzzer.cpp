// Feeds arbitrary bytes to the tracks file reader as data/demo.rocket.
// Whatever the bytes, it either reads a set of tracks or reports a message;
// and a set it reads, written out, reads back to the same file text: the
// writer's output is a form the reader takes whole and unchanged.

#include <cstdint>
#include <string>
#include <string_view>

#include "core/DemoMessage.h"
#include "sync/RocketFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string fileName = "data/demo.rocket";
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::string written;
    try {
        written = RocketXml(ParseRocketXml(text, fileName));
    } catch (const DemoMessage&) {
        return 0;
    }
    try {
        if (RocketXml(ParseRocketXml(written, fileName)) != written) {
            __builtin_trap();  // something read was lost or changed on the way back
        }
    } catch (const DemoMessage&) {
        __builtin_trap();  // own output refused
    }
    return 0;
}
