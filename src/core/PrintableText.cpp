#include "core/PrintableText.h"

#include <cstdio>

namespace {

// The length of the UTF-8 character of printable text at the start of the
// bytes; 0 for a control character or a byte that starts none.
std::size_t PrintableCharacterLength(std::string_view bytes)
{
    const auto byte = [&bytes](std::size_t at) { return static_cast<unsigned char>(bytes[at]); };
    const unsigned char lead = byte(0);
    if (lead >= 0x20 && lead < 0x7F) {
        return 1;
    }
    const std::size_t length = lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3 : lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
    if (length == 0 || bytes.size() < length) {
        return 0;
    }
    for (std::size_t at = 1; at < length; ++at) {
        if ((byte(at) & 0xC0) != 0x80) {
            return 0;
        }
    }
    // C2 80 to C2 9F are the C1 control characters.
    return lead == 0xC2 && byte(1) < 0xA0 ? 0 : length;
}

}  // namespace

std::string PrintableText(std::string_view bytes, std::size_t longest)
{
    std::string shown;
    std::size_t characters = 0;
    while (!bytes.empty()) {
        if (characters == longest) {
            return shown + "...";
        }
        const std::size_t length = PrintableCharacterLength(bytes);
        if (length > 0) {
            shown.append(bytes.substr(0, length));
            bytes.remove_prefix(length);
        } else {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned char>(bytes.front()));
            shown += escaped;
            bytes.remove_prefix(1);
        }
        ++characters;
    }
    return shown;
}
