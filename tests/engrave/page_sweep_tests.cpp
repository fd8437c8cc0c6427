#include <gtest/gtest.h>

#include <random>
#include <set>

#include "base/exception.h"
#include "engrave/measure.h"
#include "engrave/page_view.h"
#include "engrave/recording_surface.h"
#include "music/score_records.h"
#include "records/qe_document.h"
#include "support/notation.h"

namespace qe {
namespace {

// Random scores of random measures in 1 to 4 tracks, with ties and brackets wherever they are
// valid, laid out into pages.
struct RandomScore {
    explicit RandomScore(unsigned seed, bool withTooWideMeasure) : rng(seed) {
        doc.initNew(u"Sweep");
        doc.noteTracks().clear();
        const int tracks = pick(1, 4);
        for (int t = 0; t < tracks; ++t)
            doc.noteTracks().push_back(makeTrack(t, withTooWideMeasure && t == 0));
        if (pick(0, 1))
            doc.header.subtitle = u"sub";
        if (pick(0, 1))
            doc.header.author3 = u"author";
    }

    int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }

    note_track makeTrack(int t, bool tooWide) {
        note_track track;
        auto& items = track.content.items;
        const int measures = pick(0, 50);
        const int wide = tooWide ? pick(0, std::max(0, measures - 1)) : -1;
        std::vector<int> digits;
        std::vector<int> bars;
        for (int m = 0; m < measures; ++m) {
            const int elements = m == wide ? 40 : pick(0, 10);
            for (int e = 0; e < elements; ++e) {
                const int what = pick(0, 9);
                if (what < 6) {
                    digits.push_back(static_cast<int>(items.size()));
                    items.push_back(note(pick(0, 5), pick(1, 7), pick(-3, 3), pick(0, 3)));
                } else if (what == 6) {
                    digits.push_back(static_cast<int>(items.size()));
                    items.push_back(note::rest(pick(0, 3)));
                } else {
                    items.push_back(note::mark(pick(0, 4)));
                }
            }
            bars.push_back(static_cast<int>(items.size()));
            items.push_back(note::barLine(pick(0, 7)));
        }
        // Item indices equal record indices here: every record becomes one item.
        for (int k = 0; k < 3 && digits.size() >= 2; ++k) {
            int a = digits[static_cast<std::size_t>(pick(0, static_cast<int>(digits.size()) - 1))];
            int b = digits[static_cast<std::size_t>(pick(0, static_cast<int>(digits.size()) - 1))];
            if (a > b)
                std::swap(a, b);
            if (a != b)  // a tie from a note to itself joins nothing and is left out
                addFormat(1, t, a, b);
        }
        for (int k = 0; k < 2 && !bars.empty(); ++k) {
            int a = bars[static_cast<std::size_t>(pick(0, static_cast<int>(bars.size()) - 1))];
            int b = bars[static_cast<std::size_t>(pick(0, static_cast<int>(bars.size()) - 1))];
            if (a > b)
                std::swap(a, b);
            addFormat(4, t, a, b);
        }
        return track;
    }

    void addFormat(int type, int track, int from, int to) {
        Format f;
        f.type = static_cast<std::uint8_t>(type);
        f.from = location(1, track, static_cast<std::int16_t>(from));
        f.to = location(1, track, static_cast<std::int16_t>(to));
        doc.formatRecords().push_back(f);
    }

    std::mt19937 rng;
    QeDocument doc;
};

TEST(PageSweep, EveryMeasureOnExactlyOneLineAndEveryLineInsideItsPage) {
    for (unsigned seed = 1; seed <= 150; ++seed) {
        RandomScore score(seed, false);
        PageView view;
        music::Score built;
        ASSERT_EQ(music::scoreFromRecords(score.doc, built).droppedShapes, 0) << seed;
        view.build(&built);
        RecordingSurface g;
        ASSERT_NO_THROW(view.rebuild(g)) << seed;

        const format_track_header& f = score.doc.formatSettings();
        std::set<const Node*> shown;
        int shadows = 0;
        for (int p = 0; p < view.childCount(); ++p) {
            const Page* page = view.page(p);
            EXPECT_EQ(page->pageIndex, p);
            for (int k = 0; k < page->childCount(); ++k) {
                const Node* line = page->child(k);
                EXPECT_GE(line->style.x, f.marginLeft) << seed;
                EXPECT_LE(line->style.x + line->style.width, f.pageWidth - f.marginRight) << seed;
                EXPECT_LE(line->style.y, -f.marginTop) << seed;
                EXPECT_GE(line->style.y + line->style.height, f.marginBottom - f.pageHeight)
                    << seed;
                for (int t = 0; t < line->childCount(); ++t) {
                    const Node* trackLine = line->child(t);
                    for (int m = 0; m < trackLine->childCount(); ++m) {
                        ++shadows;
                        shown.insert(trackLine->realChild(m));
                    }
                }
            }
        }
        int measures = 0;
        for (int t = 0; t < view.linear.childCount(); ++t) {
            const Node* track = view.linear.child(t);
            measures += track->childCount();
            for (int m = 0; m < track->childCount(); ++m)
                EXPECT_TRUE(shown.count(track->child(m))) << seed;
        }
        EXPECT_EQ(shadows, measures) << seed;
        EXPECT_EQ(static_cast<int>(shown.size()), measures) << seed;
    }
}

TEST(PageSweep, ATooWideMeasureIsSqueezedIntoALineOfItsOwn) {
    for (unsigned seed = 1; seed <= 40; ++seed) {
        RandomScore score(seed, true);
        if (score.doc.noteTracks()[0].content.items.empty())
            continue;
        PageView view;
        const auto built = test::scoreFrom(score.doc);
        view.build(built.get());
        RecordingSurface g;
        view.rebuild(g);
        ASSERT_GT(view.childCount(), 0) << seed;
        ASSERT_FALSE(view.overwide.empty()) << seed;
        // The squeezed measure is alone on its line, inside the page's content width.
        for (int p = 0; p < view.childCount(); ++p) {
            for (int k = 0; k < view.page(p)->childCount(); ++k) {
                const auto* line = static_cast<const System*>(view.page(p)->child(k));
                EXPECT_LE(line->style.x + line->style.width, view.pageWidth - view.marginRight);
                if (line->squeeze < 1.0) {
                    EXPECT_EQ(line->child(0)->childCount(), 1) << seed;
                }
            }
        }
    }
}

}  // namespace
}  // namespace qe
