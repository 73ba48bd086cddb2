#include "ui/ResolutionList.h"

#include "core/DemoMessage.h"

int ColourDepth(int bitsOfColour, int bytesPerPixel)
{
    return bitsOfColour == 24 && bytesPerPixel == 4 ? 32 : bitsOfColour;
}

ResolutionList::ResolutionList(std::span<const DisplayMode> modes, int bitsPerPixel, Resolution fallback)
{
    if (modes.empty()) {
        Append(fallback);
        return;
    }
    for (const DisplayMode& mode : modes) {
        if (entries.size() == capacity) {
            break;
        }
        if (mode.bitsPerPixel != bitsPerPixel) {
            continue;
        }
        const Resolution resolution{mode.width, mode.height};
        if (entries.empty() || entries.back() != resolution) {
            Append(resolution);
        }
    }
}

std::optional<std::size_t> ResolutionList::LastIndexOf(const Resolution& resolution) const
{
    for (std::size_t index = entries.size(); index > 0; --index) {
        if (entries[index - 1] == resolution) {
            return index - 1;
        }
    }
    return std::nullopt;
}

void ResolutionList::Append(const Resolution& resolution)
{
    entries.push_back(resolution);
    items.push_back(FormatText("%d * %d", resolution.width, resolution.height));
}
