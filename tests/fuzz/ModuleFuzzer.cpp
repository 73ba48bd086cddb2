// Any bytes named as the music, as far as the module renderer goes: told
// apart from other files by their start, then rendered. Nothing may crash,
// hang or read out of bounds.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>

#include "music/ModuleRendering.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::byte> bytes(reinterpret_cast<const std::byte*>(data), size);
    if (ModuleRendering::LooksLikeModule(bytes.first(std::min(size, ModuleRendering::ProbeSize())), size)) {
        // Short songs only: a long one costs time, not coverage.
        constexpr double longest = 20.0;
        ModuleRendering::Render(bytes, longest);
    }
    return 0;
}
