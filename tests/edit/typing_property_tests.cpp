#include <gtest/gtest.h>

#include <cstdio>
#include <random>

#include "base/exception.h"
#include "engrave/measure.h"
#include "records/memory_io.h"
#include "support/fake_host.h"
#include "support/notation.h"
#include "support/property_scale.h"

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

Content contentOf(const QeDocument& doc) {
    Content c;
    for (const note_track& t : doc.noteTracks())
        c.tracks.push_back(t.content.items);
    for (const Format& f : doc.formatRecords())
        c.shapes.emplace_back(f.type, f.from.trackIndex, f.from.itemIndex, f.to.trackIndex,
                              f.to.itemIndex);
    return c;
}

// Saves, loads the file into a new score and writes it again: the same content, with no
// shape left out.
void expectRoundTrip(Editor& ed, unsigned seed, long step) {
    const Content before = contentOf(ed.committed());
    MemoryIO io;
    ed.committed().serialize(io, true);
    io.rewind();
    QeDocument loaded;
    loaded.serialize(io, false);
    Editor other(loaded);
    EXPECT_EQ(other.report.droppedShapes, 0) << "seed " << seed << " step " << step;
    EXPECT_TRUE(contentOf(other.committed()) == before) << "seed " << seed << " step " << step;
}

// A caret position picked at random from the score: a stop of a measure, or its end.
std::optional<Position> randomPosition(Editor& ed, std::mt19937& rng) {
    const auto pick = [&](int lo, int hi) {
        return std::uniform_int_distribution<int>(lo, hi)(rng);
    };
    const music::Score& score = ed.score();
    if (score.trackCount() == 0)
        return std::nullopt;
    const int t = pick(0, score.trackCount() - 1);
    if (score.measureCount(t) == 0)
        return std::nullopt;
    const int m = pick(0, score.measureCount(t) - 1);
    return ed.at(m, pick(0, stopCount(score.measure(t, m))), t);
}

// Where to click to put the caret in front of a position: the left part of its box.
Point clickPoint(Editor& ed, const Position& at) {
    const Rect r = ed.view.positionRect(at);
    return {r.left + (r.right - r.left) / 4, (r.top + r.bottom) / 2};
}

// What a step may change: the tree, the caret, the input state, the shapes, the mode.
struct Observed {
    int updates;
    std::optional<Position> caret;
    bool valid;
    int accidental, octave, duration;
    std::size_t arcs, jumps;
    int mode;
    friend bool operator==(const Observed&, const Observed&) = default;
};

Observed observe(Editor& ed) {
    return {ed.host.updates,          ed.view.caret.at,           ed.view.caret.valid(),
            ed.view.input.accidental, ed.view.input.octave,       ed.view.input.duration,
            ed.score().ties().size(), ed.score().voltas().size(), ed.view.mode()};
}

TEST(TypingProperty, LongRandomSessionsKeepTheScoreWhole) {
    const std::u32string keys = U"12345670-.vV()\r|[]\\/sfrumjkl;Ax ";
    const long kKeys = test::propertySteps(100000);
    for (unsigned seed = 1; seed <= 2; ++seed) {
        std::mt19937 rng(seed);
        const auto chance = [&](int percent) {
            return std::uniform_int_distribution<int>(0, 99)(rng) < percent;
        };
        const auto pick = [&](int lo, int hi) {
            return std::uniform_int_distribution<int>(lo, hi)(rng);
        };
        Editor ed(test::scoreOf({"1 2 3 | 4 5 |]", "5 6 | 7 |]"}));
        long effective = 0;  // steps that changed or moved something
        long withCaret = 0;  // steps that began with a caret to type at
        std::size_t longest = 0;
        std::size_t size = 0;  // elements and bar lines, counted now and then
        for (long step = 0; step < kKeys; ++step) {
            // A caret lost to a missed click or a mode switch is placed again, as a user
            // clicks back into the score before typing on.
            // After a layout failure there are no pages to click on; the arrow keys still
            // reach every position of the edit tree.
            if (!ed.view.caret.valid() && chance(90)) {
                if (const std::optional<Position> p = randomPosition(ed, rng)) {
                    ed.view.moveCaretTo(clickPoint(ed, *p));
                    if (!ed.view.caret.valid())
                        ed.view.setCaret(*p);
                }
            }
            withCaret += ed.view.caret.valid() ? 1 : 0;
            const Observed before = observe(ed);
            const int what = pick(0, 999);
            if (what < (size > 600 ? 450 : 330)) {
                ed.view.onChar(8);  // Backspace keeps the score from growing without end
            } else if (what < 900) {
                ed.view.onChar(
                    keys[static_cast<std::size_t>(pick(0, static_cast<int>(keys.size()) - 1))]);
            } else if (what < 930) {
                chance(50) ? ed.view.caretLeft() : ed.view.caretRight();
                ed.view.placeSystemCaret();
            } else if (what < 975) {
                // A click or a drag between notes, now and then one that misses them all.
                const Node& root = ed.view.currentRoot();
                const auto point = [&] {
                    if (chance(85))
                        if (const std::optional<Position> p = randomPosition(ed, rng))
                            return clickPoint(ed, *p);
                    return Point{pick(-100, std::max(0, root.style.width)),
                                 pick(std::min(0, root.style.height), 100)};
                };
                const Point a = point();
                const Point b = chance(40) ? a : point();
                ed.view.beginSelection(a);
                ed.view.extendSelection(b);
                ed.view.moveCaretTo(b);
                ed.view.endSelection(b);
                ed.view.moveCaretTo(b);
            } else if (what < 990) {
                try {
                    if (chance(50))
                        ed.view.notes().addTie();
                    else
                        ed.view.notes().addVolta(u"1");
                    ed.view.relayout();
                } catch (const Exception& e) {
                    ASSERT_TRUE(e.code == kLayoutOverflow || e.code == kMismatch) << e.code;
                }
            } else if (what < 993) {
                expectRoundTrip(ed, seed, step);
                ed.view.setMode(ed.view.mode() == ScoreEditor::kPageMode ? ScoreEditor::kScrollMode
                                                                         : ScoreEditor::kPageMode);
                try {
                    ed.view.relayout();
                } catch (const Exception& e) {
                    ASSERT_EQ(e.code, kLayoutOverflow);
                }
                expectRoundTrip(ed, seed, step);
            } else {
                ed.view.onChar(U'\r');
            }
            effective += observe(ed) == before ? 0 : 1;
            if (step % 100 == 0) {
                size = 0;
                for (int t = 0; t < ed.score().trackCount(); ++t)
                    for (int m = 0; m < ed.score().measureCount(t); ++m)
                        size += 1 + static_cast<std::size_t>(stopCount(ed.score().measure(t, m)));
                longest = std::max(longest, size);
            }
            if (HasFailure())
                return;
        }
        expectRoundTrip(ed, seed, kKeys);
        // The session really edited: most steps found a caret and changed or moved something,
        // and the score grew well beyond a handful of notes.
        EXPECT_GT(withCaret, kKeys * 9 / 10) << "seed " << seed;
        EXPECT_GT(effective, kKeys * 6 / 10) << "seed " << seed;
        EXPECT_GT(longest, 150u) << "seed " << seed;
        std::printf(
            "seed %u: %ld of %ld steps with a caret, %ld changed something, longest "
            "score %zu items\n",
            seed, withCaret, kKeys, effective, longest);
    }
}

}  // namespace
}  // namespace qe
