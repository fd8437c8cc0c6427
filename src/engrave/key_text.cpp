#include "engrave/key_text.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

#include "base/exception.h"
#include "engrave/symbols.h"
#include "records/doc_chunks.h"

namespace qe {

namespace {

std::u16string decimal(int value) {
    const std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

}  // namespace

KeyText::KeyText(const format_track_header* fmt, int accidental, int letter, int numerator,
                 int denominator, Node* parentNode)
    : Node(kKeyText, fmt),
      keyAccidental(accidental),
      keyLetter(letter),
      timeNumerator(numerator),
      timeDenominator(denominator) {
    heldBy(parentNode);
}

KeyText::KeyText(const KeyText& other)
    : Node(other),
      parts(other.parts),
      fractionWidth(other.fractionWidth),
      gap(other.gap),
      keyAccidental(other.keyAccidental),
      keyLetter(other.keyLetter),
      timeNumerator(other.timeNumerator),
      timeDenominator(other.timeDenominator),
      freeMeter(other.freeMeter) {
    for (Text& part : parts)
        part.heldBy(this);
}

void KeyText::arrange(Surface& g) {
    if (!format)
        throw Exception(kWrongKind);
    parts.clear();
    parts.reserve(5);
    const auto add = [&](std::u16string text, const FontRecord& font) {
        parts.emplace_back(this, std::move(text), font);
        parts.back().layout(g, true);
    };
    FontRecord font = format->font(kSubtitleFont);
    add(u"1=", font);
    add(std::u16string(1, static_cast<char16_t>(u'A' + keyLetter)), font);
    // The time signature in a smaller, normal-weight font stretched as wide as it is high.
    const int smaller = 4 * font.logFont.height / 5;
    font.logFont.height = smaller;
    font.logFont.width = -smaller;
    font.logFont.weight = 400;
    add(decimal(timeNumerator), font);
    add(decimal(timeDenominator), font);
    if (keyAccidental == 1 || keyAccidental == 2) {
        FontRecord sign = format->font(kNoteFont);
        sign.logFont.height = format->font(kSubtitleFont).logFont.height;
        sign.logFont.weight = format->font(kSubtitleFont).logFont.weight;
        add(std::u16string(1, keyAccidental == 1 ? glyph::kSharp : glyph::kFlat), sign);
    }

    const auto h = [&](int i) { return parts[static_cast<std::size_t>(i)].style.height; };
    const auto w = [&](int i) { return parts[static_cast<std::size_t>(i)].style.width; };
    Style& prefix = parts[kKeyPrefix].style;
    Style& letter = parts[kLetter].style;
    Style& numerator = parts[kNumerator].style;
    Style& denominator = parts[kDenominator].style;
    const int fraction = h(kDenominator) + h(kNumerator);
    prefix.x = 0;
    prefix.y = (fraction - h(kKeyPrefix)) / 2;
    letter.y = (fraction - h(kLetter)) / 2;
    if (parts.size() > kAccidental) {
        Style& sign = parts[kAccidental].style;
        sign.y = (fraction - h(kAccidental)) / 2;
        sign.x = prefix.x + w(kKeyPrefix) + 20;
        letter.x = sign.x + w(kAccidental) + 20;
    } else {
        letter.x = prefix.x + w(kKeyPrefix);
    }
    numerator.y = 0;
    denominator.y = h(kNumerator);
    fractionWidth = std::max(w(kNumerator), w(kDenominator));
    const int fractionLeft = letter.x + w(kLetter) + gap;
    numerator.x = fractionLeft + (fractionWidth - w(kNumerator)) / 2;
    denominator.x = fractionLeft + (fractionWidth - w(kDenominator)) / 2;

    style.width = fractionLeft + fractionWidth - prefix.x;
    style.height = fraction;
    if (freeMeter) {
        // The fraction's pieces stay (they keep their indices) but take no room.
        numerator.x = denominator.x = letter.x;
        style.width = letter.x + w(kLetter) - prefix.x;
    }
}

void KeyText::draw(Surface& g) const {
    const RoleGuard named(g, "key");
    for (std::size_t i = 0; i < parts.size(); ++i)
        if (!freeMeter || (i != kNumerator && i != kDenominator))
            parts[i].paint(g);
    if (parts.size() <= kDenominator || freeMeter)
        return;
    const Text& denominator = parts[kDenominator];
    const int px = g.pixelSize();
    int a = denominator.font.logFont.height / 15;
    if (px != 0)
        a = px * static_cast<int>(std::floor(static_cast<double>(a) / px + 0.5));
    if (a == 0)
        a = -px;
    g.setPen(0, std::abs(a), denominator.font.red(), denominator.font.green(),
             denominator.font.blue());
    const Style& letter = parts[kLetter].style;
    const Style& numerator = parts[kNumerator].style;
    const int d = letter.x + letter.width + gap;
    const int e = numerator.y + numerator.height;
    g.moveTo(g.originX + d, g.originY + e);
    g.lineTo(g.originX + d + fractionWidth, g.originY + e);
}

}  // namespace qe
