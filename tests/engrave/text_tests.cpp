#include <gtest/gtest.h>

#include "base/exception.h"
#include "engrave/key_text.h"
#include "engrave/recording_surface.h"
#include "engrave/text.h"
#include "records/doc_chunks.h"

namespace qe {
namespace {

// With the recording metrics, a character of the subtitle font (-280) is 168 x -280, and of
// the time signature's font (-224, width 224) 224 x -224.
TEST(KeyTextLayout, KeyLetterAndStackedFraction) {
    format_track_header f;
    KeyText key(&f, 0, 0, 4, 4, nullptr);
    RecordingSurface g;
    key.layout(g, true);
    ASSERT_EQ(key.parts.size(), 4u);
    EXPECT_EQ(key.parts[0].text, u"1=");
    EXPECT_EQ(key.parts[1].text, u"A");
    EXPECT_EQ(key.parts[2].text, u"4");
    EXPECT_EQ(key.parts[3].text, u"4");
    EXPECT_EQ(key.parts[2].font.logFont.height, -224);
    EXPECT_EQ(key.parts[2].font.logFont.width, 224);
    EXPECT_EQ(key.parts[2].font.logFont.weight, 400);
    // Centred on the fraction's height of 448.
    EXPECT_EQ(key.parts[0].style.y, (-448 + 280) / 2);
    EXPECT_EQ(key.parts[1].style.x, 336);
    EXPECT_EQ(key.parts[2].style.x, 336 + 168 + 72);
    EXPECT_EQ(key.parts[3].style.y, -224);
    EXPECT_EQ(key.style.width, 336 + 168 + 72 + 224);
    EXPECT_EQ(key.style.height, -448);
}

TEST(KeyTextLayout, SharpSitsBetweenPrefixAndLetter) {
    format_track_header f;
    KeyText key(&f, 1, 6, 3, 8, nullptr);
    RecordingSurface g;
    key.layout(g, true);
    ASSERT_EQ(key.parts.size(), 5u);
    EXPECT_EQ(key.parts[4].text, u"\uF03A");
    EXPECT_EQ(key.parts[4].font.logFont.face(), u"QanorEditSymbol");
    EXPECT_EQ(key.parts[4].font.logFont.height, -280);
    EXPECT_EQ(key.parts[4].font.logFont.weight, 700);
    EXPECT_EQ(key.parts[4].style.x, 336 + 20);
    EXPECT_EQ(key.parts[1].style.x, 336 + 20 + 168 + 20);
    EXPECT_EQ(key.parts[1].text, u"G");
}

TEST(KeyTextLayout, NarrowerNumberIsCentredUnderTheWider) {
    format_track_header f;
    KeyText key(&f, 0, 2, 12, 8, nullptr);
    RecordingSurface g;
    key.layout(g, true);
    EXPECT_EQ(key.fractionWidth, 448);
    const int left = 336 + 168 + 72;
    EXPECT_EQ(key.parts[2].style.x, left);
    EXPECT_EQ(key.parts[3].style.x, left + 112);
    RecordingSurface paint;
    key.paint(paint);
    // The fraction bar runs under the numerator, as wide as the wider number.
    const auto move = paint.callsOf("moveTo");
    const auto line = paint.callsOf("lineTo");
    ASSERT_EQ(move.size(), 1u);
    EXPECT_EQ(move[0].args, (std::vector<int>{left, -224}));
    EXPECT_EQ(line[0].args, (std::vector<int>{left + 448, -224}));
    // Pen: -224 / 15 = -14 rounds to one 15-unit pixel.
    EXPECT_EQ(paint.callsOf("setPen")[0].args[1], 15);
}

TEST(KeyTextLayout, WithoutFormatSettingsIsCodeFive) {
    KeyText key(nullptr, 0, 0, 4, 4, nullptr);
    RecordingSurface g;
    try {
        key.layout(g, true);
        FAIL();
    } catch (const Exception& e) {
        EXPECT_EQ(e.code, kWrongKind);
    }
}

TEST(TextNode, MeasuresAndDrawsInItsOwnFont) {
    FontRecord font = defaultFont(kTitleFont);
    font.color = 0x00FF0000;
    Text text(nullptr, u"abc", font);
    RecordingSurface g;
    text.layout(g, true);
    EXPECT_EQ(text.style.width, 3 * 288);
    EXPECT_EQ(text.style.height, -480);
    Text empty(nullptr, u"", font);
    empty.layout(g, true);
    EXPECT_EQ(empty.style.height, 0);  // how the title block tells an empty text
    text.style.x = 10;
    text.style.y = -20;
    RecordingSurface paint;
    text.paint(paint);
    EXPECT_EQ(paint.calls.back(), (DrawCall{"drawText", {10, -20}, u"abc"}));
    EXPECT_EQ(paint.calls.front().args[3], 0x00FF0000);
}

}  // namespace
}  // namespace qe
