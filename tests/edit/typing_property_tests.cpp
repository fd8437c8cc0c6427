#include <gtest/gtest.h>

#include <random>

#include "layout/measure.h"
#include "model/exception.h"
#include "model/memory_io.h"
#include "support/fake_host.h"
#include "support/notation.h"

namespace qe {
namespace {

using test::Editor;

// What a score is, as far as the document can keep it: the records of every track and the
// ties and brackets.
struct Content {
    std::vector<std::vector<note>> tracks;
    std::vector<std::tuple<int, int, int, int, int>> shapes;  // type, tracks and items of both ends
    friend bool operator==(const Content&, const Content&) = default;
};

Content contentOf(const QanorDoc& doc) {
    Content c;
    for (const note_track& t : doc.noteTracks())
        c.tracks.push_back(t.content.items);
    for (const Format& f : doc.formatRecords())
        c.shapes.emplace_back(f.type, f.from.trackIndex, f.from.itemIndex, f.to.trackIndex,
                              f.to.itemIndex);
    return c;
}

// Commits the edit tree, saves, loads the file into a new document and builds a tree from it:
// the new tree must give back exactly the same content, with no shape left out.
void expectRoundTrip(Editor& ed, unsigned seed, long step) {
    const Content before = contentOf(ed.committed());
    MemoryIO io;
    ed.doc.serialize(io, true);
    io.rewind();
    QanorDoc loaded;
    loaded.serialize(io, false);
    test::FakeHost host;
    QanorView other(&host);
    host.view = &other;
    other.attachDocument(&loaded);
    EXPECT_EQ(other.pageView.linear.droppedShapes, 0) << "seed " << seed << " step " << step;
    other.operations->commitToDocument(other.editTree());
    EXPECT_TRUE(contentOf(loaded) == before) << "seed " << seed << " step " << step;
}

TEST(TypingProperty, LongRandomSessionsKeepTheScoreWhole) {
    const std::u32string keys = U"12345670-.vV()\r|[]\\/sfrumjkl;Ax ";
    const long kKeys = 100000;
    for (unsigned seed = 1; seed <= 2; ++seed) {
        std::mt19937 rng(seed);
        const auto chance = [&](int percent) {
            return std::uniform_int_distribution<int>(0, 99)(rng) < percent;
        };
        const auto pick = [&](int lo, int hi) {
            return std::uniform_int_distribution<int>(lo, hi)(rng);
        };
        Editor ed(test::scoreOf({"1 2 3 | 4 5 |]", "5 6 | 7 |]"}));
        for (long step = 0; step < kKeys; ++step) {
            const int what = pick(0, 999);
            if (what < 380) {
                ed.view.onChar(8);  // Backspace keeps the score from growing without end
            } else if (what < 900) {
                ed.view.onChar(
                    keys[static_cast<std::size_t>(pick(0, static_cast<int>(keys.size()) - 1))]);
            } else if (what < 930) {
                chance(50) ? ed.view.caretLeft() : ed.view.caretRight();
                ed.view.placeSystemCaret();
            } else if (what < 975) {
                // A click or a drag somewhere over the view, then the caret follows it.
                const Node& root = ed.view.currentRoot();
                const auto point = [&] {
                    return Point{pick(-100, std::max(0, root.style.width)),
                                 pick(std::min(0, root.style.height), 100)};
                };
                const Point a = point();
                const Point b = chance(50) ? a : point();
                ed.view.beginSelection(a);
                ed.view.extendSelection(b);
                ed.view.moveCaretTo(b);
                ed.view.endSelection(b);
                ed.view.moveCaretTo(b);
            } else if (what < 990) {
                try {
                    if (chance(50))
                        ed.view.addTie();
                    else
                        ed.view.addJumpLine(u"1");
                    ed.view.relayout();
                } catch (const Exception& e) {
                    ASSERT_TRUE(e.code == kLayoutOverflow || e.code == kMismatch) << e.code;
                }
            } else if (what < 993) {
                expectRoundTrip(ed, seed, step);
                ed.view.setMode(ed.view.mode == qeview::kPageMode ? qeview::kScrollMode
                                                                  : qeview::kPageMode);
                try {
                    ed.view.relayout();
                } catch (const Exception& e) {
                    ASSERT_EQ(e.code, kLayoutOverflow);
                }
                expectRoundTrip(ed, seed, step);
            } else {
                ed.view.onChar(U'\r');
            }
            if (HasFailure())
                return;
        }
        expectRoundTrip(ed, seed, kKeys);
    }
}

}  // namespace
}  // namespace qe
