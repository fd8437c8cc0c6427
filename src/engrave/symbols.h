#pragma once

namespace qe {

// Characters of the music symbol font: its 8-bit code c is drawn as the character 0xF000 + c.
namespace glyph {
constexpr char16_t kBarLine = 0xF029;  // + bar kind 0..6; kind 7 is hidden and drawn as nothing
constexpr char16_t kDigit = 0xF030;    // + digit 0..7 (0 is a rest)
constexpr char16_t kAccidentalBase = 0xF039;  // + accidental 1..5
constexpr char16_t kSharp = 0xF03A;
constexpr char16_t kFlat = 0xF03C;
constexpr char16_t kAugmentationDot = 0xF03F;
constexpr char16_t kDash = 0xF040;
constexpr char16_t kBreath = 0xF041;
constexpr char16_t kOctaveDot = 0xF042;
constexpr char16_t kOpenParen = 0xF043;
constexpr char16_t kCloseParen = 0xF044;
// The notes of a metronome mark's beat, as tall as the text beside them.
constexpr char16_t kQuarterNote = 0xF045;
constexpr char16_t kHalfNote = 0xF046;
constexpr char16_t kEighthNote = 0xF047;

constexpr int kHiddenBarType = 7;

// The bar-line character of a bar type, or 0 for the hidden bar line.
constexpr char16_t barLine(int barType) {
    return barType == kHiddenBarType ? char16_t{0} : static_cast<char16_t>(kBarLine + barType);
}
}  // namespace glyph

}  // namespace qe
