#include "engrave/layout_settings.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "records/doc_chunks.h"

namespace qe {

namespace {

constexpr std::int32_t kLargestPage = 144000;  // 100 inches
constexpr std::int32_t kSmallestPage = 1440;   // 1 inch
constexpr std::int32_t kLargestFont = 14400;   // 10 inches

std::int32_t clampMagnitude(std::int32_t value, std::int32_t largest) {
    const std::int64_t v = value;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, -largest, largest));
}

}  // namespace

void copyForLayout(const format_track_header& stored, format_track_header& layout) {
    layout.pageWidth = std::clamp(stored.pageWidth, kSmallestPage, kLargestPage);
    layout.pageHeight = std::clamp(stored.pageHeight, kSmallestPage, kLargestPage);
    layout.marginLeft = std::clamp(stored.marginLeft, 0, kLargestPage);
    layout.marginTop = std::clamp(stored.marginTop, 0, kLargestPage);
    layout.marginRight = std::clamp(stored.marginRight, 0, kLargestPage);
    layout.marginBottom = std::clamp(stored.marginBottom, 0, kLargestPage);
    for (std::size_t i = 0; i < layout.fonts.size(); ++i) {
        FontRecord font = stored.fonts[i];
        font.logFont.height = clampMagnitude(font.logFont.height, kLargestFont);
        font.logFont.width = clampMagnitude(font.logFont.width, kLargestFont);
        font.logFont.escapement = clampMagnitude(font.logFont.escapement, 3600);
        font.logFont.orientation = clampMagnitude(font.logFont.orientation, 3600);
        font.logFont.weight = std::clamp(font.logFont.weight, 0, 1000);
        layout.fonts[i] = font;
    }
}

void scaleFonts(format_track_header& layout, double scale) {
    for (int c :
         {kBarLineFont, kNoteFont, kGraceNoteFont, kTextFont, kSmallTextFont, kLyricsFont}) {
        std::int32_t& height = layout.fonts[static_cast<std::size_t>(c)].logFont.height;
        if (height == 0)
            continue;  // the font's own size
        const auto scaled = static_cast<std::int32_t>(std::lround(height * scale));
        height = scaled != 0 ? scaled : (height < 0 ? -1 : 1);
        std::int32_t& width = layout.fonts[static_cast<std::size_t>(c)].logFont.width;
        width = static_cast<std::int32_t>(std::lround(width * scale));
    }
}

}  // namespace qe
