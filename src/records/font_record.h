#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace qe {

// A font description in the 92-byte layout documents store, heights in logical units (a
// negative height is the character height), followed by a colour 0x00RRGGBB.
struct LogFont {
    std::int32_t height = 0;
    std::int32_t width = 0;
    std::int32_t escapement = 0;
    std::int32_t orientation = 0;
    std::int32_t weight = 0;
    std::uint8_t italic = 0;
    std::uint8_t underline = 0;
    std::uint8_t strikeOut = 0;
    std::uint8_t charSet = 0;
    std::uint8_t outPrecision = 0;
    std::uint8_t clipPrecision = 0;
    std::uint8_t quality = 0;
    std::uint8_t pitchAndFamily = 0;
    std::array<char16_t, 32> faceName{};

    std::u16string face() const;
    // Stores at most 31 units so that the name always ends with a 0 unit.
    void setFace(const std::u16string& name);

    friend bool operator==(const LogFont&, const LogFont&) = default;
};

struct FontRecord {
    static constexpr std::uint32_t kFileSize = 96;

    LogFont logFont;
    std::uint32_t color = 0;  // 0x00RRGGBB

    std::uint8_t red() const { return static_cast<std::uint8_t>(color >> 16); }
    std::uint8_t green() const { return static_cast<std::uint8_t>(color >> 8); }
    std::uint8_t blue() const { return static_cast<std::uint8_t>(color); }

    void decode(const unsigned char* bytes);
    void encode(unsigned char* bytes) const;

    friend bool operator==(const FontRecord&, const FontRecord&) = default;
};

// The font categories of a document, by their index in its format settings: the seven a file
// of the first versions holds, and the lyrics font, which follows 普通文字 until it is chosen.
enum FontCategory : int {
    kBarLineFont = 0,    // "小节线等"
    kNoteFont = 1,       // "普通音符"
    kGraceNoteFont = 2,  // "倚音/赠音"
    kTitleFont = 3,      // "大标题"
    kSubtitleFont = 4,   // "小标题"
    kTextFont = 5,       // "普通文字"
    kSmallTextFont = 6,  // "小号文字"
    kLyricsFont = 7,     // "歌词"
    kFontCount = 8,
};

// The font a new document gives a category.
FontRecord defaultFont(FontCategory category);

}  // namespace qe
