#pragma once

#include <filesystem>
#include <memory>
#include <string_view>

#include "picture/Mask.h"

struct FT_LibraryRec_;
struct FT_FaceRec_;

struct TextStyle {
    int pixelSize = 64;          // the em, in pixels
    float tracking = 0.0f;       // extra space after each letter but the last, in ems
    float verticalScale = 1.0f;  // below 1 squashes letters that the screen will stretch
};

// The ink a mask holds: the smallest box, in pixels, around values above a
// threshold; right and bottom are one past the last inked column and row.
struct InkBox {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    bool Empty() const { return right <= left || bottom <= top; }
    float CentreX() const { return 0.5f * static_cast<float>(left + right); }
    float CentreY() const { return 0.5f * static_cast<float>(top + bottom); }
};
InkBox FindInk(const Mask& mask, float threshold = 0.5f);

// One line of anti-aliased lettering in one font, set through FreeType.
class Lettering {
public:
    // Throws std::runtime_error when the font cannot be opened.
    explicit Lettering(const std::filesystem::path& fontFile);
    ~Lettering();

    Lettering(const Lettering&) = delete;
    Lettering& operator=(const Lettering&) = delete;

    // UTF-8 text on a mask of the given size, its ink centred on the point.
    Mask Set(std::string_view text, const TextStyle& style, int width, int height, float centreX, float centreY) const;

private:
    struct LibraryDeleter {
        void operator()(FT_LibraryRec_* library) const;
    };
    struct FaceDeleter {
        void operator()(FT_FaceRec_* face) const;
    };

    std::unique_ptr<FT_LibraryRec_, LibraryDeleter> library;
    std::unique_ptr<FT_FaceRec_, FaceDeleter> face;
};

namespace Fonts {
inline const std::filesystem::path sansBold = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
inline const std::filesystem::path mono = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";
}  // namespace Fonts
