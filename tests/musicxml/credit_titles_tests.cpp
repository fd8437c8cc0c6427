#include <gtest/gtest.h>

#include "musicxml/credit_titles.h"

namespace qe::musicxml {
namespace {

CreditText placed(const char* text, double x, double y, double size,
                  CreditText::Align align = CreditText::Align::Unknown) {
    CreditText c;
    c.text = QString::fromUtf8(text);
    c.placed = true;
    c.x = x;
    c.y = y;
    c.size = size;
    c.align = align;
    return c;
}

// Untyped credits are read by place and size as a printed page is read; what is not a title
// (directions, copyright, verses, texts low on the page) never becomes one.
TEST(CreditTitles, PlaceAndSizeTellTitleSubtitleAndAuthors) {
    const CreditPage a4{1190, 1683};
    // Positions only, no alignment given: the centre of the page and its sides tell.
    const CreditTitles t = titlesFromPlacement(
        {placed("茉莉花", 595, 1600, 24), placed("江苏民歌", 595, 1540, 16),
         placed("何仿 编曲", 1130, 1500, 10), placed("作词：佚名", 60, 1500, 10),
         placed("Lin Yue", 1130, 1470, 10), placed("♩ = 72", 60, 1440, 10),
         placed("Andante con moto", 60, 1420, 10), placed("© 2026 the authors", 595, 50, 8),
         placed("1", 1130, 40, 10),
         placed("2. Second verse line one\nline two\nline three\nline four", 595, 1000, 10)},
        a4);
    EXPECT_EQ(t.title, QStringLiteral("茉莉花"));
    EXPECT_EQ(t.subtitle, QStringLiteral("江苏民歌"));
    EXPECT_EQ(t.arranger, QStringLiteral("何仿 编曲"));
    EXPECT_EQ(t.lyricist, QStringLiteral("作词：佚名"));
    EXPECT_EQ(t.composer, QStringLiteral("Lin Yue"));

    // The larger of two centred texts is the title, whatever their order in the file; a
    // typed credit is no candidate.
    CreditText typed = placed("Typed", 595, 1650, 30, CreditText::Align::Centre);
    typed.types = {QStringLiteral("rights")};
    const CreditTitles swapped = titlesFromPlacement(
        {typed, placed("small line", 595, 1620, 12, CreditText::Align::Centre),
         placed("Big Title", 595, 1580, 28, CreditText::Align::Centre)},
        a4);
    EXPECT_EQ(swapped.title, QStringLiteral("Big Title"));
    EXPECT_EQ(swapped.subtitle, QStringLiteral("small line"));

    // On a small page the title block reaches lower; without a page size, A4 is assumed.
    EXPECT_EQ(titlesFromPlacement({placed("Small Page", 430, 360, 14, CreditText::Align::Centre)},
                                  {860, 660})
                  .title,
              QStringLiteral("Small Page"));
    EXPECT_TRUE(titlesFromPlacement({placed("Low", 595, 400, 14)}, {}).title.isEmpty());
    // Other pages are not the title page.
    CreditText second = placed("Page two", 595, 1600, 24);
    second.page = 2;
    EXPECT_TRUE(titlesFromPlacement({second}, a4).title.isEmpty());
}

TEST(CreditTitles, DirectionsAreToldFromNames) {
    for (const char* direction : {"Moderato", "Allegro con brio", "binaire anacrouse",
                                  "Swing", "♩ = 96", "q = 120", "Slowly, with feeling"})
        EXPECT_TRUE(looksLikeDirection(QString::fromUtf8(direction))) << direction;
    for (const char* name : {"Morning Light", "Amazing Grace", "J. S. Bach", "Lento Road",
                             "送别", "Allegro Street Blues Band"})
        EXPECT_FALSE(looksLikeDirection(QString::fromUtf8(name))) << name;
}

}  // namespace
}  // namespace qe::musicxml
