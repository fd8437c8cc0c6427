#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <string_view>

#include "base/exception.h"
#include "engrave/measure.h"
#include "engrave/note_line.h"
#include "engrave/page_view.h"
#include "engrave/recording_surface.h"
#include "engrave/shadow_node.h"
#include "engrave/shape_walk.h"
#include "engrave/symbols.h"
#include "engrave/system.h"
#include "support/lyrics_doc.h"
#include "support/notation.h"

namespace qe {
namespace {

// With the recording metrics: the title font's characters are 288 x -480, the subtitle's
// 168 x -280, the text font's 120 x -200; a display line of one track is 800 high with its
// note line's margins, and consecutive lines are 960 apart.
struct Pages {
    explicit Pages(QeDocument d, bool withDocument = true) : doc(std::move(d)) {
        score = test::scoreFrom(doc);
        view.build(score.get());
        if (!withDocument)
            view.score = nullptr;
    }
    int rebuildCode() {
        try {
            view.rebuild(g);
        } catch (const Exception& e) {
            return e.code;
        }
        return 0;
    }
    Node* line(int page, int k) { return view.child(page)->child(k); }

    QeDocument doc;
    std::unique_ptr<music::Score> score;
    PageView view;
    RecordingSurface g;
};

std::string measures(int count, const std::string& one = "1 2 3 4 |") {
    std::string text;
    for (int i = 0; i < count; ++i)
        text += one + " ";
    return text;
}

TEST(TitleBlock, TitleKeyAndCommentsFollowTheirFonts) {
    QeDocument doc = test::scoreOf({"1 |"}, u"Test");
    Pages p(std::move(doc));
    ASSERT_EQ(p.rebuildCode(), 0);
    Page* first = p.view.page(0);
    ASSERT_EQ(first->texts.size(), 2u);  // the title and comment1 are there even when empty
    EXPECT_EQ(first->texts[0].style.x, (11906 - 4 * 288) / 2);
    EXPECT_EQ(first->texts[0].style.y, -1440 - 144);
    // The key text starts one title height below the title.
    ASSERT_EQ(first->keyTexts.size(), 1u);
    EXPECT_EQ(first->keyTexts[0].style.x, 1000);
    EXPECT_EQ(first->keyTexts[0].style.y, -1584 - 480 - 480);
    EXPECT_EQ(first->texts[1].style.x, 1000 + 800 + 200);
    // The first line starts at the end of the title block: below the key text and half a
    // text line, with no display-line margin added.
    EXPECT_EQ(p.line(0, 0)->style.y, -2544 - 448 - 100);
    EXPECT_EQ(p.line(0, 0)->style.x, 1000);
}

TEST(TitleBlock, SubtitleAuthorsAndSecondComment) {
    QeDocument doc = test::scoreOf({"1 |"}, u"T");
    doc.header.subtitle = u"ab";
    doc.header.author1 = u"abc";
    doc.header.author3 = u"x";
    doc.header.comment2 = u"c2";
    Pages p(std::move(doc));
    ASSERT_EQ(p.rebuildCode(), 0);
    const auto& texts = p.view.page(0)->texts;
    ASSERT_EQ(texts.size(), 6u);
    const Text& subtitle = texts[1];
    EXPECT_EQ(subtitle.style.y, -1584 - 480 - 140);
    const int a = -1584 - 480 - 140 - 280 - 480;
    EXPECT_EQ(p.view.page(0)->keyTexts[0].style.y, a);
    const Text& author1 = texts[2];
    EXPECT_EQ(author1.style.x, 11906 - 1000 - 3 * 120);  // right-aligned
    EXPECT_EQ(author1.style.y, a);
    const Text& author3 = texts[3];
    EXPECT_EQ(author3.style.y, a - 66 - 200);
    const Text& comment2 = texts[5];
    EXPECT_EQ(comment2.style.x, 1000);
    EXPECT_EQ(comment2.style.y, a - 448 - 100);
    // The block ends at the lower column, then a present third author moves it down by its
    // height once more.
    const int b = a - 448 - 100 - 66 - 200;
    EXPECT_EQ(p.line(0, 0)->style.y, b - 200);
}

TEST(TitleBlock, ATempoMarkStandsBesideTheKeyAndPushesTheFirstCommentOn) {
    QeDocument doc = test::scoreOf({"1 |"}, u"Test");
    doc.header.tempo = TempoMark{4, false, 96, u"中速"};
    doc.header.comment1 = u"c";
    Pages p(std::move(doc));
    ASSERT_EQ(p.rebuildCode(), 0);
    // The note of the beat is the symbol font's, as tall as the text, and the number follows
    // it with no gap.
    const auto& texts = p.view.page(0)->texts;
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_EQ(texts[1].text, std::u16string(1, glyph::kQuarterNote));
    EXPECT_EQ(texts[1].font.logFont.height, texts[2].font.logFont.height);
    EXPECT_EQ(texts[1].style.y, texts[2].style.y);
    EXPECT_EQ(texts[2].text, u"=96 中速");
    EXPECT_EQ(texts[1].style.x, 1000 + 800 + 200);
    EXPECT_EQ(texts[2].style.x, texts[1].style.x + texts[1].style.width);
    EXPECT_EQ(texts[3].style.x, texts[2].style.x + texts[2].style.width + 200);
    EXPECT_EQ(tempoMarkParts(TempoMark{2, true, 40, u""}).note,
              std::u16string(1, glyph::kHalfNote));
    EXPECT_EQ(tempoMarkParts(TempoMark{2, true, 40, u""}).rest, u".=40");
    EXPECT_EQ(tempoMarkText(TempoMark{4, true, 60, u""}), u"\u2669.=60");
    EXPECT_EQ(tempoMarkText(TempoMark{8, false, 120, u""}), u"\u266A=120");
    EXPECT_EQ(tempoMarkText(TempoMark{4, false, 0, u"Andante"}), u"Andante");
    EXPECT_EQ(tempoMarkText(TempoMark{}), u"");
    // A number the score prints otherwise is printed so; the number held is the one played.
    EXPECT_EQ(tempoMarkText(TempoMark{4, true, 105, u"稍快", u"100–110"}), u"\u2669.=100–110 稍快");
    EXPECT_EQ((TempoMark{4, true, 60, u""}).quartersPerMinute(), 90);
    EXPECT_EQ((TempoMark{8, false, 120, u""}).quartersPerMinute(), 60);
    EXPECT_EQ((TempoMark{2, false, 50, u""}).quartersPerMinute(), 100);
}

TEST(PartNames, TheFirstLineNamesThePartsAndLaterLinesUseTheShortNames) {
    QeDocument doc = test::scoreOf({measures(40), measures(40, "5 6 7 1 |")}, u"Test");
    doc.header.partNames = {{u"女高音", u"S."}, {u"", u"A."}};
    Pages p(std::move(doc));
    ASSERT_EQ(p.rebuildCode(), 0);
    const auto* first = static_cast<System*>(p.line(0, 0));
    ASSERT_EQ(first->labels.size(), 1u) << "the second part has a short name only";
    EXPECT_EQ(first->labels[0].text, u"女高音");
    EXPECT_EQ(first->labels[0].style.x + first->labels[0].style.width,
              -System::kBracketOffset - 80);
    EXPECT_EQ(first->labels[0].parent(), first);
    const auto* second = static_cast<System*>(p.line(0, 1));
    ASSERT_EQ(second->labels.size(), 2u);
    EXPECT_EQ(second->labels[0].text, u"S.");
    EXPECT_EQ(second->labels[1].text, u"A.");
    // Each name stands level with its row.
    const Node* row = second->child(1);
    EXPECT_EQ(second->labels[1].style.y,
              row->style.y + (row->style.height - second->labels[1].style.height) / 2);
    // Without names nothing is added.
    Pages plain(test::scoreOf({measures(4)}, u"Test"));
    ASSERT_EQ(plain.rebuildCode(), 0);
    EXPECT_TRUE(static_cast<System*>(plain.line(0, 0))->labels.empty());
}

// A line keeps room only for the lyric rows its own syllables use: three verses in the first
// line, none in the second, the first verse alone in a later one. Rows stay in verse order.
TEST(LyricRows, ALineKeepsRoomOnlyForTheVersesItUses) {
    QeDocument doc = test::scoreOf({measures(60)}, u"Test");
    for (int verse = 0; verse < 3; ++verse)
        test::addSyllable(doc, verse, 0, 0, u"la");
    test::addSyllable(doc, 0, 0, 200, u"lo");  // the first note of measure 41
    Pages p(std::move(doc));
    ASSERT_EQ(p.rebuildCode(), 0);
    std::vector<const Node*> lines;
    for (int page = 0; page < p.view.childCount(); ++page)
        for (int k = 0; k < p.view.page(page)->childCount(); ++k)
            lines.push_back(p.line(page, k));
    ASSERT_GE(lines.size(), 4u);
    const auto lineOf = [&](int measure) {
        const Node* m = p.view.linear.child(0)->child(measure);
        for (std::size_t k = 0; k < lines.size(); ++k)
            for (int i = 0; i < lines[k]->child(0)->childCount(); ++i)
                if (lines[k]->child(0)->realChild(i) == m)
                    return k;
        return lines.size();
    };
    const std::size_t words = lineOf(40);
    ASSERT_GT(words, 1u) << "measure 41 must stand after a line without words";
    ASSERT_LT(words, lines.size());
    const int rowHeight = 200 + MeasureLyrics::kRowSpacing;
    EXPECT_EQ(lines[0]->style.height, lines[words]->style.height - 2 * rowHeight);
    EXPECT_GT(lines[1]->style.height, lines[words]->style.height) << "no rows, less deep";
    // In the later line, verse 1's syllable stands in the first row.
    const auto* first = asMeasure(lines[0]->child(0)->realChild(0));
    const auto* later = asMeasure(p.view.linear.child(0)->child(40));
    ASSERT_TRUE(first && later);
    ASSERT_EQ(later->lyrics().boxes().size(), 1u);
    EXPECT_EQ(later->lyrics().boxes()[0].box.top, first->lyrics().boxes()[0].box.top);
}

// The lyrics of a line start at one height in every measure, under the lowest ink of the row
// (here the low octave dots of one measure), and the next track of the system stands closer
// than its padding would keep it, but with its highest ink (high dots) clear of the lyrics.
TEST(LyricRows, ALinesLyricsStandAtOneHeightAndTheNextTrackComesUpToThem) {
    QeDocument doc = test::scoreOf({"1 2 3 4 | 5,, 6,, 7, 1 | 1 2 3 4 |]",
                                    "1'' 2 3 4 | 5 6 7 1 | 1 2 3 4 |]"},
                                   u"Test");
    for (int item : {0, 1, 2, 3, 5, 6, 7, 8})
        test::addSyllable(doc, 0, 0, item, u"la");
    Pages p(std::move(doc));
    ASSERT_EQ(p.rebuildCode(), 0);
    const Node* system = p.line(0, 0);
    ASSERT_EQ(system->childCount(), 2);
    const Node* upper = system->child(0);
    const Node* lower = system->child(1);
    std::optional<int> top;
    int lowestInk = 0;
    int lowestText = 0;
    for (int i = 0; i < upper->childCount(); ++i) {
        const auto* m = asMeasure(upper->realChild(i));
        ASSERT_NE(m, nullptr);
        const int y = upper->child(i)->style.y;
        lowestInk = std::min(lowestInk, y + m->inkBottom());
        for (const MeasureLyrics::Box& b : m->lyrics().boxes()) {
            if (top)
                EXPECT_EQ(y + b.box.top, *top) << "measure " << i;
            top = y + b.box.top;
            lowestText = std::min(lowestText, y + b.box.bottom);
        }
    }
    ASSERT_TRUE(top);
    EXPECT_EQ(*top, lowestInk - MeasureLyrics::kRowSpacing);
    // The lower track's highest ink, in the system's frame, stays under the upper's lyrics.
    int highestInk = std::numeric_limits<int>::min();
    for (int i = 0; i < lower->childCount(); ++i)
        if (const auto* m = asMeasure(lower->realChild(i)))
            highestInk = std::max(highestInk, lower->style.y + lower->child(i)->style.y + m->inkTop());
    EXPECT_LT(highestInk, upper->style.y + lowestText - MeasureLyrics::kRowSpacing);
    EXPECT_LT(lower->style.marginTop, NoteLine::kTrackLineMargin) << "pulled up";
}

// A part name wider than the left margin is set smaller, and one too long even then is
// broken into lines: no label passes the paper's edge.
TEST(PartNames, ALongNameFitsTheLeftMargin) {
    QeDocument doc = test::scoreOf({measures(8), measures(8)}, u"Test");
    doc.header.partNames = {{u"Electric Piano", u""}, {u"Grand Concert Harpsichord Continuo", u""}};
    Pages p(std::move(doc));
    ASSERT_EQ(p.rebuildCode(), 0);
    // With the recording metrics (120 units a character) neither fits 680 units even smaller.
    const auto* first = static_cast<System*>(p.line(0, 0));
    ASSERT_GE(first->labels.size(), 4u) << "each name broken into lines";
    std::u16string words;
    for (const Text& label : first->labels) {
        EXPECT_GE(first->style.x + label.style.x, PageView::kPaperEdge) << label.text.size();
        EXPECT_GT(label.font.logFont.height, -200) << "set smaller";
        words += label.text;
    }
    EXPECT_EQ(words, u"ElectricPianoGrandConcertHarpsichordContinuo");
    EXPECT_LT(first->labels[1].style.y, first->labels[0].style.y) << "one line under the other";
}

TEST(MeasureNumbers, StandAboveEveryLineButTheFirstWhenAsked) {
    QeDocument doc = test::scoreOf({measures(40)}, u"Test");
    doc.header.measureNumbers = true;
    Pages p(std::move(doc));
    ASSERT_EQ(p.rebuildCode(), 0);
    EXPECT_TRUE(static_cast<System*>(p.line(0, 0))->labels.empty());
    const auto* second = static_cast<System*>(p.line(0, 1));
    ASSERT_EQ(second->labels.size(), 1u);
    const int firstMeasure = p.view.linear.child(0)->indexOf(second->child(0)->realChild(0));
    const std::string number = std::to_string(firstMeasure + 1);
    EXPECT_GT(firstMeasure, 0);
    EXPECT_EQ(second->labels[0].text, std::u16string(number.begin(), number.end()));
    EXPECT_GT(second->labels[0].style.y, second->child(0)->style.y) << "above the row";
    EXPECT_EQ(second->labels[0].parent(), second);
}

TEST(PageBreaks, LinesFillPagesAndLaterPagesStartBelowTheirTopMargin) {
    QeDocument doc = test::scoreOf({measures(6 * 20)});
    Pages p(std::move(doc), false);
    ASSERT_EQ(p.rebuildCode(), 0);
    ASSERT_GE(p.view.childCount(), 2);
    EXPECT_EQ(p.line(0, 0)->style.y, -1440 - 144);  // without a document: no title block
    EXPECT_EQ(p.line(1, 0)->style.y, -(80 + 1440));
    // The lines of a full page are spread down to its bottom margin, each gap growing alike
    // and at most to twice its natural 160.
    const Page& full = *p.view.page(0);
    const int n = full.childCount();
    const int step = p.line(0, 0)->style.y - p.line(0, 1)->style.y;
    EXPECT_GT(step, 960);
    EXPECT_LE(step, 960 + 160);
    for (int k = 1; k < n; ++k)
        EXPECT_EQ(p.line(0, k - 1)->style.y - p.line(0, k)->style.y, step) << k;
    const Style& last = p.line(0, n - 1)->style;
    const int bottom = last.y + last.height - last.marginTop - last.marginBottom;
    const int contentBottom = 1440 - 16838;  // the bottom margin, from the page's top
    EXPECT_TRUE(step == 960 + 160 || bottom - contentBottom < n) << bottom - contentBottom;
    for (int i = 0; i < p.view.childCount(); ++i) {
        EXPECT_EQ(p.view.page(i)->pageIndex, i);
        EXPECT_EQ(p.view.page(i)->style.x, 244);
    }
    EXPECT_EQ(p.view.page(1)->style.y, -100 - 144 - 16838 - 288);
    EXPECT_EQ(p.view.style.width, 11906 + 488);
    const std::string number = std::to_string(p.view.childCount()) + " - 1";
    EXPECT_EQ(p.view.page(0)->numberText(), std::u16string(number.begin(), number.end()));
}

TEST(PageBreaks, ALineExactly160AboveTheBottomStillFits) {
    // One unit lower, the line would open a page of its own; it keeps to the first page with
    // less room around it instead.
    for (const auto& [height, margin] : {std::pair{3984, 80}, std::pair{3983, 79}}) {
        QeDocument doc = test::scoreOf({"1 |"});
        doc.formatSettings().pageHeight = height;
        Pages p(std::move(doc), false);
        ASSERT_EQ(p.rebuildCode(), 0) << height;
        EXPECT_EQ(p.view.childCount(), 1) << height;
        EXPECT_EQ(p.view.page(0)->child(0)->style.marginBottom, margin) << height;
    }
}

TEST(PageBreaks, ALastPageOfOneOrTwoSystemsIsTakenUpByThePagesBefore) {
    // Scores a little longer each time: whenever the systems stand closer than usual, they
    // do so to save a page, and they all stay inside their pages.
    int balanced = 0;
    for (int count = 40; count <= 200; count += 4) {
        Pages p(test::scoreOf({measures(count)}));
        ASSERT_EQ(p.rebuildCode(), 0);
        const int pages = p.view.childCount();
        const int margin = p.view.page(0)->child(0)->style.marginBottom;
        int lines = 0;
        for (int q = 0; q < pages; ++q) {
            const Page* page = p.view.page(q);
            lines += page->childCount();
            for (int k = 0; k < page->childCount(); ++k) {
                const Node* line = page->child(k);
                EXPECT_EQ(line->style.marginBottom, margin) << count;
                EXPECT_GE(line->style.y + line->style.height,
                          p.view.marginBottom - p.view.pageHeight)
                    << count;
            }
        }
        if (margin == 80)
            continue;
        ++balanced;
        EXPECT_GE(margin, 40) << count;
        // The last page is full enough that the usual room would have needed one more page.
        EXPECT_GT(p.view.page(pages - 1)->childCount(), 2) << count;
    }
    EXPECT_GT(balanced, 0);
}

TEST(PageBreaks, AScoreAskedForFewerPagesStandsCloserThenSmaller) {
    // 400 measures take several pages; asked for fewer, the systems come closer first, then
    // the music is set smaller, and an impossible count leaves the pages as they were.
    Pages natural(test::scoreOf({measures(400)}));
    ASSERT_EQ(natural.rebuildCode(), 0);
    const int pages = natural.view.childCount();
    ASSERT_GE(pages, 4);
    EXPECT_TRUE(natural.view.fitsPageCount());
    const int margin = natural.line(0, 0)->style.marginBottom;
    int smaller = 0;
    for (int asked : {pages - 1, pages / 2, 1}) {
        QeDocument doc = test::scoreOf({measures(400)});
        doc.header.pageCount = static_cast<std::uint8_t>(asked);
        Pages p(std::move(doc));
        ASSERT_EQ(p.rebuildCode(), 0);
        const bool fits = p.view.fitsPageCount();
        EXPECT_EQ(p.view.childCount() <= asked, fits) << asked;
        if (!fits) {
            EXPECT_EQ(p.view.childCount(), pages) << asked;
            EXPECT_EQ(p.view.linear.scale, 1.0);
        } else if (p.view.linear.scale < 1.0) {
            ++smaller;
            EXPECT_GE(p.view.linear.scale, PageView::kLeastScale - 1e-9);
            // The digits are set smaller than at the natural size.
            EXPECT_LT(-p.line(0, 0)->style.height, -natural.line(0, 0)->style.height);
        } else {
            // Closer systems were enough: the music keeps its size.
            EXPECT_LT(p.line(0, 0)->style.marginBottom, margin);
        }
    }
    EXPECT_GT(smaller, 0);
    QeDocument doc = test::scoreOf({measures(400)});
    doc.header.pageCount = 1;
    Pages one(std::move(doc));
    ASSERT_EQ(one.rebuildCode(), 0);
    EXPECT_FALSE(one.view.fitsPageCount());
}

TEST(PageBreaks, APartThatOnlyRestsInASystemMayLeaveIt) {
    // The second part rests from measure 9 on: with the option, the systems after the first
    // show it only where it sounds; the first system shows every part.
    std::string lower = measures(8, "5 5 5 5 |") + measures(24, "0 0 0 0 |") + measures(8);
    QeDocument doc = test::scoreOf({measures(40), lower});
    doc.header.hideEmptyTracks = true;
    doc.header.partNames = {{u"Upper", u"U."}, {u"Lower", u"L."}};
    Pages p(std::move(doc));
    ASSERT_EQ(p.rebuildCode(), 0);
    int hidden = 0;
    int line = 0;
    for (int q = 0; q < p.view.childCount(); ++q)
        for (int k = 0; k < p.view.page(q)->childCount(); ++k, ++line) {
            const auto* system = static_cast<const System*>(p.line(q, k));
            const int from = line > 0 ? p.view.linear.lineStarts[line - 1] : 0;
            const int to = p.view.linear.lineStarts[line];
            const bool rests = from >= 8 && to <= 32;
            EXPECT_EQ(system->childCount(), line > 0 && rests ? 1 : 2) << line;
            hidden += system->childCount() == 1 ? 1 : 0;
            // Each row is labelled with its own part's name.
            ASSERT_EQ(system->labels.size(), static_cast<std::size_t>(system->childCount()));
            EXPECT_EQ(system->labels[0].text, line == 0 ? u"Upper" : u"U.");
        }
    EXPECT_GT(hidden, 1);
    // Without the option every system shows both parts.
    Pages all(test::scoreOf({measures(40), lower}));
    ASSERT_EQ(all.rebuildCode(), 0);
    for (int q = 0; q < all.view.childCount(); ++q)
        for (int k = 0; k < all.view.page(q)->childCount(); ++k)
            EXPECT_EQ(all.line(q, k)->childCount(), 2);
}

TEST(PageBreaks, AnEndingEveryPartRepeatsIsDrawnOnceAndEachBracketHasItsRoom) {
    // Both parts carry the same ending: the system shows it once, over the upper part. An
    // ending of the lower part alone stands over its own row, clear of the words above it.
    const std::string ending = "1 2 3 4 | { 5' 6' 7' 1'' | } 1 2 3 4 |";
    for (const bool both : {true, false}) {
        QeDocument doc = both ? test::scoreWithShapes({ending, ending})
                              : test::scoreWithShapes({"1 2 3 4 | 5 6 7 1' | 1 2 3 4 |", ending});
        for (int item : {0, 1, 2, 3, 5, 6, 7, 8})
            test::addSyllable(doc, 0, 0, item, u"la");
        Pages p(std::move(doc));
        ASSERT_EQ(p.rebuildCode(), 0);
        ASSERT_EQ(p.view.voltas.size(), both ? 2u : 1u);
        EXPECT_TRUE(p.view.voltas[0].shown);
        if (both) {
            EXPECT_FALSE(p.view.voltas[1].shown);
            // The strip of scroll mode shows it once too.
            LinearView strip;
            strip.build(p.score.get());
            strip.relayout(p.g);
            ASSERT_EQ(strip.voltas.size(), 2u);
            EXPECT_TRUE(strip.voltas[0].shown);
            EXPECT_FALSE(strip.voltas[1].shown);
            continue;
        }
        // The bracket's top is under the lowest point of the upper row (its lyrics), its foot
        // over the high dots of the lower row.
        const Rect& strip = p.view.voltas[0].strips.at(0);
        const Node* upper = p.line(0, 0)->child(0);
        const Point upperBottom =
            rootPosition(upper, {0, upper->style.height - upper->style.marginBottom}, false);
        EXPECT_LT(strip.top, upperBottom.y);
        const Measure* measure = asMeasure(p.view.linear.measureNode(1, 1));
        ASSERT_NE(measure, nullptr);
        EXPECT_GE(strip.bottom, rootPosition(measure, {0, measure->inkTop()}, true).y);
        EXPECT_GE(strip.bottom, rootPosition(measure, {0, 0}, true).y);
    }
}

TEST(PageBreaks, ATimeChangeOverALineStandsClearOfTheWordsOfTheLineBefore) {
    // Lines with words under every note, a time change in every measure after the first:
    // each mark stands under the lowest point of the line before its own.
    QeDocument doc = test::scoreOf({measures(24, "1 2 3 4 |")});
    for (int m = 0; m < 24 * 5; ++m)
        if (m % 5 != 4)
            test::addSyllable(doc, 0, 0, m, u"la");
    for (std::uint32_t m = 1; m < 24; ++m) {
        MeasureMark change;
        change.measure = m;
        change.meterChange = true;
        change.numerator = m % 2 ? 3 : 4;
        doc.header.marks.push_back(change);
    }
    Pages p(std::move(doc));
    ASSERT_EQ(p.rebuildCode(), 0);
    ASSERT_EQ(p.view.marks.size(), 23u);
    int checked = 0;
    for (const MarkText& mark : p.view.marks) {
        const Node* line = lineOfMeasure(mark.from.get(), true)->parent();
        const Node* page = line->parent();
        const int k = page->indexOf(line);
        if (k == 0)
            continue;
        const Node* above = page->child(k - 1);
        const Point bottom = rootPosition(above, {0, above->style.height}, false);
        EXPECT_LT(mark.strips.at(0).top, bottom.y) << mark.mark.measure;
        ++checked;
    }
    EXPECT_GT(checked, 4);
}

TEST(PageBreaks, ALineTallerThanAPageIsCodeSixAndKeepsFinishedPages) {
    QeDocument doc = test::scoreOf({"1 |"});
    doc.formatSettings().pageHeight = 3839;
    Pages p(std::move(doc), false);
    EXPECT_EQ(p.rebuildCode(), kLayoutOverflow);
    EXPECT_EQ(p.view.childCount(), 0);
}

// A long first comment beside the key is broken into lines that end before the authors level
// with them, and the score starts below its last line.
TEST(TitleBlock, ALongCommentBesideTheKeyStopsShortOfTheAuthors) {
    QeDocument doc = test::scoreOf({"1 |"}, u"Test");
    doc.header.comment1 = u"Collected in the hills in the spring of the year by the singers";
    doc.header.author1 = u"Words: A. B.";
    Pages p(std::move(doc));
    ASSERT_EQ(p.rebuildCode(), 0);
    const Page* first = p.view.page(0);
    const Text* author = nullptr;
    std::vector<const Text*> comment;
    for (const Text& text : first->texts) {
        if (std::string_view(text.role) == "author")
            author = &text;
        if (std::string_view(text.role) == "comment")
            comment.push_back(&text);
    }
    ASSERT_NE(author, nullptr);
    ASSERT_GE(comment.size(), 2u);
    std::u16string joined;
    for (const Text* line : comment) {
        EXPECT_LE(line->style.x + line->style.width, author->style.x - 200);
        joined += (joined.empty() ? u"" : u" ") + line->text;
    }
    EXPECT_EQ(joined, u"Collected in the hills in the spring of the year by the singers");
    const Text* last = comment.back();
    EXPECT_LT(p.line(0, 0)->style.y, last->style.y + last->style.height);
}

TEST(TitleBlock, ALongTempoTextBesideTheKeyStopsShortOfTheAuthorsAndTheCommentGoesUnder) {
    QeDocument doc = test::scoreOf({"1 |"}, u"Test");
    doc.header.tempo =
        TempoMark{4, false, 60, u"Slowly, with great feeling and a long word on the mood", {}};
    doc.header.comment1 = u"Trad.";
    doc.header.author1 = u"Words after an old poem collected in the northern provinces";
    Pages p(std::move(doc));
    ASSERT_EQ(p.rebuildCode(), 0);
    const Text* author = nullptr;
    const Text* comment = nullptr;
    std::vector<const Text*> tempo;
    for (const Text& text : p.view.page(0)->texts) {
        const std::string_view role = text.role;
        author = role == "author" ? &text : author;
        comment = role == "comment" ? &text : comment;
        if (role == "tempo")
            tempo.push_back(&text);
    }
    ASSERT_NE(author, nullptr);
    ASSERT_NE(comment, nullptr);
    ASSERT_GE(tempo.size(), 3u);  // the note, then the text on lines of its own
    int lowest = 0;
    for (const Text* line : tempo) {
        EXPECT_LE(line->style.x + line->style.width, author->style.x - 200);
        lowest = std::min(lowest, line->style.y + line->style.height);
    }
    EXPECT_LE(comment->style.y, lowest);
    EXPECT_LT(p.line(0, 0)->style.y, comment->style.y + comment->style.height);
}

TEST(TitleBlock, ATitleWiderThanTheTextWidthIsWrappedInsideTheMargins) {
    QeDocument doc = test::scoreOf({"1 |"}, u"A Very Long Title Of A Hymn That Runs Far Past The "
                                            u"Width Of Any Page Ever Printed");
    doc.header.subtitle = std::u16string(60, u'歌');  // no space to break at
    Pages p(std::move(doc));
    ASSERT_EQ(p.rebuildCode(), 0);
    int titles = 0;
    int subtitles = 0;
    int bottom = 0;
    for (const Text& text : p.view.page(0)->texts) {
        if (text.text.empty())
            continue;
        EXPECT_GE(text.style.x, p.view.marginLeft) << std::string(text.role);
        EXPECT_LE(text.style.x + text.style.width, p.view.pageWidth - p.view.marginRight);
        const std::string role = text.role;
        if (role == "title" || role == "subtitle") {
            // Each line below the one before.
            if (titles + subtitles > 0) {
                EXPECT_LE(text.style.y, bottom);
            }
            bottom = text.style.y + text.style.height;
        }
        titles += role == "title";
        subtitles += role == "subtitle";
    }
    EXPECT_GE(titles, 2);
    EXPECT_GE(subtitles, 2);
    // The key stands below the last line of the subtitle, and the first line below the key.
    EXPECT_LT(p.view.page(0)->keyTexts[0].style.y, bottom);
    EXPECT_LT(p.view.page(0)->child(0)->style.y, p.view.page(0)->keyTexts[0].style.y);
}

TEST(PageBreaks, AMeasureWiderThanALineIsSqueezedIntoOne) {
    QeDocument doc = test::scoreOf(
        {"1 | " +
         measures(1, "1 2 3 4 5 6 7 1 2 3 4 5 6 7 1 2 3 4 5 6 7 1 2 3 4 5 6 7 1 2 3 4 5 6 7 "
                     "1 2 3 4 5 6 7 1 2 3 4 5 6 7 1 2 3 4 5 6 7 1 2 3 4 5 6 7 |") +
         "1 2 |"});
    Pages p(std::move(doc));
    ASSERT_EQ(p.rebuildCode(), 0);
    EXPECT_EQ(p.view.overwide, std::vector<int>{1});
    EXPECT_EQ(p.view.linear.lineStarts, (std::vector<int>{1, 2, 3}));
    const int right = p.view.pageWidth - p.view.marginRight;
    const Node* squeezed = p.view.page(0)->child(1);
    EXPECT_LE(squeezed->style.x + squeezed->style.width, right);
    // Its notes keep their order, each right of the one before.
    const Node* measure = squeezed->child(0)->realChild(0);
    for (int i = 1; i < measure->childCount(); ++i)
        EXPECT_GT(measure->child(i)->style.x, measure->child(i - 1)->style.x);
}

TEST(PagePainting, SheetTextsNumberThenWatermarkOverEverything) {
    QeDocument doc = test::scoreOf({measures(6 * 20)});
    Pages p(std::move(doc));
    ASSERT_EQ(p.rebuildCode(), 0);
    const int pages = p.view.childCount();
    RecordingSurface g(0, 0, 0, 0, 11906, -16838, false);
    p.view.paintPage(1, g);
    ASSERT_FALSE(g.calls.empty());
    EXPECT_EQ(g.calls[0], (DrawCall{"setPen", {0, 0, 153, 153, 153}, {}}));
    EXPECT_EQ(g.calls[2], (DrawCall{"rectangle", {0, 0, 11906, -16838}, {}}));
    const std::string number = std::to_string(pages) + " - 2";
    const auto texts = g.callsOf("drawText");
    EXPECT_EQ(texts[0].text, std::u16string(number.begin(), number.end()));
    EXPECT_EQ(texts[0].args[1], 1440 - 16838 - 100);
    EXPECT_EQ(g.calls[g.calls.size() - 2].op, "pageFrame");
    EXPECT_EQ(g.calls.back(),
              (DrawCall{"drawWatermark", {(11906 - 7200) / 2, (-16838 + 10800) / 2}, {}}));
    EXPECT_TRUE(g.translations.empty());
    RecordingSurface print(0, 0, 0, 0, 11906, -16838, true);
    p.view.paintPage(0, print);
    EXPECT_TRUE(print.callsOf("rectangle").empty());
    EXPECT_THROW(p.view.paintPage(pages, print), Exception);
}

TEST(PagePainting, ShapesOfOtherPagesAreLeftOut) {
    QeDocument doc = test::scoreOf({measures(6 * 20)});
    test::addFormat(doc, 1, 0, 0, 1);  // a tie on the first page
    Pages p(std::move(doc));
    ASSERT_EQ(p.rebuildCode(), 0);
    RecordingSurface onFirst(0, 0, 0, 0, 11906, -16838, false);
    p.view.paintPage(0, onFirst);
    EXPECT_EQ(onFirst.callsOf("drawBezier").size(), 1u);
    RecordingSurface onSecond(0, 0, 0, 0, 11906, -16838, false);
    p.view.paintPage(1, onSecond);
    EXPECT_TRUE(onSecond.callsOf("drawBezier").empty());
}

TEST(PageHitTest, ReachesTheMeasuresOfTheEditTreeThroughShadows) {
    QeDocument doc = test::scoreOf({"1 2 | 3 |"});
    Pages p(std::move(doc));
    ASSERT_EQ(p.rebuildCode(), 0);
    Node* measure = p.view.linear.child(0)->child(0);
    ASSERT_NE(measure->shadow, nullptr);
    Rect r{0, 0, 0, 0};
    ASSERT_TRUE(offsetInAncestor(r, measure->child(0), true, &p.view));
    EXPECT_EQ(p.view.hitTest({r.left + 10, r.top - 10}), measure->child(0));
    EXPECT_EQ(p.view.hitTest({50, -50}), &p.view);
}

}  // namespace
}  // namespace qe
