#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <vector>

// One mode of a display as the platform reports it.
struct DisplayMode {
    int width;
    int height;
    int bitsPerPixel;  // colour depth, see ColourDepth
};

struct Resolution {
    int width;
    int height;
    bool operator==(const Resolution&) const = default;
};

// The colour depth a mode counts as: 24 bits of colour stored in 32-bit
// pixels count as 32, like a desktop's "true colour" mode.
int ColourDepth(int bitsOfColour, int bytesPerPixel);

// The resolutions the setup dialog offers, one item per entry: the modes of
// the demo's colour depth in the order the display reports them, where a
// mode that repeats the entry just before (the same size at another refresh
// rate) adds nothing. At most `capacity` entries.
class ResolutionList {
public:
    static constexpr std::size_t capacity = 4096;

    // When the display reports no mode at all, the list holds `fallback`
    // alone, so that the viewer always has a choice.
    ResolutionList(std::span<const DisplayMode> modes, int bitsPerPixel, Resolution fallback);

    std::size_t Size() const { return entries.size(); }
    const Resolution& operator[](std::size_t index) const { return entries[index]; }

    // The item texts, "%d * %d" of width and height.
    const std::vector<std::string>& Items() const { return items; }

    // The last entry equal to the resolution; none when no entry is.
    std::optional<std::size_t> LastIndexOf(const Resolution& resolution) const;

private:
    void Append(const Resolution& resolution);

    std::vector<Resolution> entries;
    std::vector<std::string> items;
};
