#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>

#include "edit/lyrics_text.h"
#include "engrave/measure.h"
#include "support/fake_host.h"
#include "support/notation.h"

namespace qe {
namespace {

// A song of two verses with long Latin syllables, laid out in page mode.
struct Song {
    Song()
        : ed(test::scoreOf({"5, | 1 - 3_ 1_ | 3 - 2 | 1 - 6, | 5, - 5, | 1 - 3_ 1_ | "
                            "3 - 2_ 3_ | 5 - - | 5 - 3_ 5_ | 5 - 3_ 1_ | 3 - 2 | 1 - 6, | "
                            "5, - 5, | 1 - 3_ 1_ | 3 - 2 | 1 - - |]"})) {
        ed.view.layLyrics(
            0, 0, 0,
            splitSyllables(
                u"A-maz-ing grace how sweet the sound that saved a wretch like me I once was lost "
                u"but now am found was blind but now I see"));
        ed.view.layLyrics(
            0, 1, 0,
            splitSyllables(
                u"'Twas grace that taught my heart to fear and grace my fears re-lieved how "
                u"pre-cious did that grace ap-pear the hour I first be-lieved"));
        ed.view.relayout();
    }
    test::Editor ed;
};

TEST(LyricsLayout, SyllablesOfARowNeverTouchAndStandUnderTheirNotes) {
    Song song;
    PageView& pages = *song.ed.view.layout().pages();
    int syllables = 0;
    for (int p = 0; p < pages.childCount(); ++p) {
        const Page* page = pages.page(p);
        for (int k = 0; k < page->childCount(); ++k) {
            const Node* display = page->child(k);
            // Inside the page's content width.
            EXPECT_GE(display->style.x, pages.marginLeft);
            EXPECT_LE(display->style.x + display->style.width, pages.pageWidth - pages.marginRight);
            for (int t = 0; t < display->childCount(); ++t) {
                const Node* line = display->child(t);
                std::map<int, std::vector<Rect>> rows;
                for (int i = 0; i < line->childCount(); ++i) {
                    const auto* m = asMeasure(line->realChild(i));
                    const Style& at = line->child(i)->style;
                    for (const MeasureLyrics::Box& b : m->lyrics().boxes()) {
                        const Style& note = b.note->style;
                        // Centred under the note's digit, within a unit of rounding.
                        const int centre = (b.box.left + b.box.right) / 2;
                        EXPECT_LE(std::abs(centre - (note.x + note.width / 2)), 1);
                        rows[b.row].push_back(
                            {b.box.left + at.x, b.box.top, b.box.right + at.x, b.box.bottom});
                        ++syllables;
                    }
                }
                for (auto& [row, boxes] : rows) {
                    std::sort(boxes.begin(), boxes.end(),
                              [](const Rect& a, const Rect& b) { return a.left < b.left; });
                    for (std::size_t i = 1; i < boxes.size(); ++i)
                        EXPECT_GE(boxes[i].left - boxes[i - 1].right, MeasureLyrics::kGap)
                            << "row " << row << " syllable " << i << " on line " << k;
                }
            }
        }
    }
    EXPECT_EQ(syllables, 28 + 28);
}

TEST(LyricsLayout, RowsStandBelowTheNotesAndTheirUnderlines) {
    Song song;
    const Node* first = song.ed.tracks().child(0);
    for (int i = 0; i < first->childCount(); ++i) {
        const auto* m = asMeasure(first->child(i));
        for (const MeasureLyrics::Box& b : m->lyrics().boxes()) {
            for (const Underline& u : m->underlines())
                EXPECT_LT(b.box.top, u.style.y + u.style.height);
            EXPECT_LT(b.box.top, b.note->style.y + b.note->style.height);
            EXPECT_GE(b.box.bottom, m->style.height);  // inside the measure, which grew
        }
    }
}

}  // namespace
}  // namespace qe
