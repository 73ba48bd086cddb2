#include "picture/Lettering.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <climits>
#include <stdexcept>
#include <vector>

namespace {

// A glyph's coverage and where its top-left pixel lies from the pen's start
// on the baseline.
struct PlacedGlyph {
    int left = 0;
    int top = 0;
    int width = 0;
    int rows = 0;
    std::vector<unsigned char> coverage;
};

std::vector<char32_t> DecodeUtf8(std::string_view text)
{
    std::vector<char32_t> codePoints;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const int length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        if (i + static_cast<std::size_t>(length) > text.size()) {
            throw std::invalid_argument("Lettering text ends inside a UTF-8 sequence");
        }
        char32_t codePoint = length == 1 ? lead : lead & (0x7Fu >> length);
        for (int k = 1; k < length; ++k) {
            codePoint = (codePoint << 6) | (static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]) & 0x3Fu);
        }
        codePoints.push_back(codePoint);
        i += static_cast<std::size_t>(length);
    }
    return codePoints;
}

PlacedGlyph CopyGlyph(const FT_GlyphSlot slot, int penX)
{
    const FT_Bitmap& bitmap = slot->bitmap;
    PlacedGlyph glyph{penX + slot->bitmap_left, -slot->bitmap_top, static_cast<int>(bitmap.width), static_cast<int>(bitmap.rows), {}};
    glyph.coverage.resize(static_cast<std::size_t>(glyph.width) * static_cast<std::size_t>(glyph.rows));
    for (int row = 0; row < glyph.rows; ++row) {
        const unsigned char* source = bitmap.buffer + static_cast<std::ptrdiff_t>(row) * bitmap.pitch;
        std::copy(source, source + glyph.width, glyph.coverage.begin() + static_cast<std::ptrdiff_t>(row) * glyph.width);
    }
    return glyph;
}

InkBox GlyphsInk(const std::vector<PlacedGlyph>& glyphs)
{
    InkBox box{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
    for (const PlacedGlyph& glyph : glyphs) {
        if (glyph.width == 0 || glyph.rows == 0) {
            continue;
        }
        box.left = std::min(box.left, glyph.left);
        box.top = std::min(box.top, glyph.top);
        box.right = std::max(box.right, glyph.left + glyph.width);
        box.bottom = std::max(box.bottom, glyph.top + glyph.rows);
    }
    return box;
}

}  // namespace

InkBox FindInk(const Mask& mask, float threshold)
{
    InkBox box{mask.Width(), mask.Height(), 0, 0};
    for (int y = 0; y < mask.Height(); ++y) {
        for (int x = 0; x < mask.Width(); ++x) {
            if (mask.At(x, y) > threshold) {
                box.left = std::min(box.left, x);
                box.top = std::min(box.top, y);
                box.right = std::max(box.right, x + 1);
                box.bottom = std::max(box.bottom, y + 1);
            }
        }
    }
    return box;
}

void Lettering::LibraryDeleter::operator()(FT_LibraryRec_* library) const
{
    FT_Done_FreeType(library);
}

void Lettering::FaceDeleter::operator()(FT_FaceRec_* face) const
{
    FT_Done_Face(face);
}

Lettering::Lettering(const std::filesystem::path& fontFile)
{
    FT_Library rawLibrary = nullptr;
    if (FT_Init_FreeType(&rawLibrary) != 0) {
        throw std::runtime_error("Unable to start FreeType");
    }
    library.reset(rawLibrary);
    FT_Face rawFace = nullptr;
    if (FT_New_Face(library.get(), fontFile.c_str(), 0, &rawFace) != 0) {
        throw std::runtime_error("Unable to open the font " + fontFile.string());
    }
    face.reset(rawFace);
}

Lettering::~Lettering() = default;

Mask Lettering::Set(std::string_view text, const TextStyle& style, int width, int height, float centreX, float centreY) const
{
    if (FT_Set_Pixel_Sizes(face.get(), 0, static_cast<FT_UInt>(style.pixelSize)) != 0) {
        throw std::runtime_error("The font cannot be set at this size");
    }
    FT_Matrix squash{0x10000, 0, 0, static_cast<FT_Fixed>(std::lround(style.verticalScale * 65536.0f))};
    FT_Set_Transform(face.get(), &squash, nullptr);

    const double trackingPixels = static_cast<double>(style.tracking) * style.pixelSize;
    std::vector<PlacedGlyph> glyphs;
    double penX = 0.0;
    FT_UInt previous = 0;
    for (const char32_t codePoint : DecodeUtf8(text)) {
        const FT_UInt index = FT_Get_Char_Index(face.get(), codePoint);
        if (previous != 0 && FT_HAS_KERNING(face.get())) {
            FT_Vector kerning{};
            FT_Get_Kerning(face.get(), previous, index, FT_KERNING_DEFAULT, &kerning);
            penX += static_cast<double>(kerning.x) / 64.0;
        }
        if (FT_Load_Glyph(face.get(), index, FT_LOAD_RENDER) != 0) {
            throw std::runtime_error("The font cannot render a letter of the text");
        }
        glyphs.push_back(CopyGlyph(face.get()->glyph, static_cast<int>(std::lround(penX))));
        penX += static_cast<double>(face.get()->glyph->advance.x) / 64.0 + trackingPixels;
        previous = index;
    }

    Mask mask(width, height);
    const InkBox ink = GlyphsInk(glyphs);
    if (ink.Empty()) {
        return mask;
    }
    const int offsetX = static_cast<int>(std::lround(centreX - ink.CentreX()));
    const int offsetY = static_cast<int>(std::lround(centreY - ink.CentreY()));
    for (const PlacedGlyph& glyph : glyphs) {
        for (int row = 0; row < glyph.rows; ++row) {
            const int y = glyph.top + row + offsetY;
            for (int column = 0; column < glyph.width; ++column) {
                const int x = glyph.left + column + offsetX;
                if (x < 0 || y < 0 || x >= width || y >= height) {
                    continue;
                }
                const float coverage = glyph.coverage[static_cast<std::size_t>(row * glyph.width + column)] / 255.0f;
                mask.At(x, y) = std::min(1.0f, mask.At(x, y) + coverage);
            }
        }
    }
    return mask;
}
