#include <gtest/gtest.h>

#include <random>

#include "records/memory_io.h"
#include "support/fake_host.h"
#include "support/notation.h"
#include "support/property_scale.h"

namespace qe {
namespace {

using HistoryEditor = test::Editor;

std::vector<unsigned char> savedBytes(test::Editor& ed) {
    ed.committed();
    MemoryIO io;
    ed.saved.serialize(io, true);
    return io.bytes();
}

// The score reopened from its save gives the same records again, and the live layout is the
// one a layout of the reopened score makes.
void expectTreeMatchesDocument(test::Editor& ed, unsigned seed, long step) {
    const std::vector<unsigned char> saved = savedBytes(ed);
    MemoryIO io;
    io.bytes();
    QeDocument loaded;
    {
        MemoryIO in;
        ed.saved.serialize(in, true);
        in.rewind();
        loaded.serialize(in, false);
    }
    test::Editor reopened(loaded, ed.view.mode());
    EXPECT_EQ(reopened.report.droppedShapes, 0) << seed << " " << step;
    try {
        ed.view.relayout();
    } catch (const Exception&) {
        // A measure too wide for its line: the track lines are laid out all the same.
    }
    EXPECT_TRUE(savedBytes(reopened) == saved) << "seed " << seed << " step " << step;
    // The same tree: every track, measure and element where the live one has it.
    LinearView& a = ed.tracks();
    LinearView& b = reopened.tracks();
    ASSERT_EQ(a.childCount(), b.childCount());
    for (int t = 0; t < a.childCount(); ++t) {
        ASSERT_EQ(a.child(t)->childCount(), b.child(t)->childCount()) << seed << " " << step;
        for (int m = 0; m < a.child(t)->childCount(); ++m)
            ASSERT_EQ(a.child(t)->child(m)->childCount(), b.child(t)->child(m)->childCount())
                << "seed " << seed << " step " << step << " track " << t << " measure " << m;
    }
    EXPECT_EQ(a.arcs.size(), b.arcs.size());
    EXPECT_EQ(a.voltas.size(), b.voltas.size());
}

// Long random sessions of typing, deleting, ties, brackets, title changes, cuts, pastes and
// mode switches, with runs of undo and redo among them: undoing everything gives back the
// document as loaded, byte for byte, and redoing everything the document as it was before.
TEST(HistoryProperty, UndoingEverythingGivesBackTheLoadedDocument) {
    const std::u32string keys = U"12345670-.v()\r|[]\\/sfrumjkl;";
    const long kActions = test::propertySteps(50000);
    const long kCheckEvery = 500;
    for (unsigned seed = 1; seed <= 2; ++seed) {
        std::mt19937 rng(seed);
        const auto pick = [&](int lo, int hi) {
            return std::uniform_int_distribution<int>(lo, hi)(rng);
        };
        HistoryEditor ed(test::scoreWithShapes({"1 2~ 2 3 | { 4 5 | } 6 |]", "5 6 | 7 |]"}));
        const std::vector<unsigned char> loaded = savedBytes(ed);
        long undos = 0, redos = 0, pastes = 0;
        const auto randomPosition = [&]() -> std::optional<Position> {
            const music::Score& score = ed.score();
            const int t = pick(0, score.trackCount() - 1);
            if (score.measureCount(t) == 0)
                return std::nullopt;
            const int m = pick(0, score.measureCount(t) - 1);
            return ed.at(m, pick(0, stopCount(score.measure(t, m))), t);
        };
        std::size_t size = 0;  // elements and bar lines, counted now and then
        for (long step = 0; step < kActions; ++step) {
            if (step % 50 == 0) {
                size = 0;
                for (int t = 0; t < ed.score().trackCount(); ++t)
                    for (int m = 0; m < ed.score().measureCount(t); ++m)
                        size += 1 + static_cast<std::size_t>(stopCount(ed.score().measure(t, m)));
            }
            if (!ed.view.caret.valid())
                if (const std::optional<Position> p = randomPosition())
                    ed.view.setCaret(*p);
            const int what = pick(0, 999);
            try {
                if (what < (size > 400 ? 450 : 300)) {
                    ed.view.onChar(8);
                } else if (what < 800) {
                    ed.view.onChar(
                        keys[static_cast<std::size_t>(pick(0, static_cast<int>(keys.size()) - 1))]);
                } else if (what < 850) {
                    ed.view.caret.at = randomPosition();
                    ed.view.caret.placed = ed.view.caret.at.has_value();
                } else if (what < 880) {
                    ed.view.caret.selectionAnchor = randomPosition();
                    ed.view.caret.selectionEnd = randomPosition();
                    ed.view.caret.selectionShown = false;
                    ed.view.invertSelection(true);
                    if (pick(0, 1))
                        ed.view.notes().addTie();
                    else
                        ed.view.notes().addVolta(u"2.");
                } else if (what < 900) {
                    ed.view.caret.selectionAnchor = randomPosition();
                    ed.view.caret.selectionEnd = randomPosition();
                    ed.view.caret.selectionShown = false;
                    // A big score is cut down rather than copied on.
                    const Fragment f = pick(0, 2) == 0 || size > 400 ? test::cutOut(ed.view)
                                                                     : test::copied(ed.view);
                    if (const std::optional<Position> p = randomPosition()) {
                        ed.view.setCaret(*p);
                        pastes += ed.view.paste(f) ? 1 : 0;
                    }
                } else if (what < 905) {
                    doc_header h = ed.score().header();
                    h.title = u"T" + std::u16string(1, static_cast<char16_t>(u'a' + pick(0, 25)));
                    h.timeNumerator = static_cast<std::uint8_t>(pick(2, 12));
                    ed.view.changeHeader(h);
                } else if (what < 910) {
                    ed.view.setMode(ed.view.mode() == ScoreEditor::kPageMode
                                        ? ScoreEditor::kScrollMode
                                        : ScoreEditor::kPageMode);
                    ed.view.relayout();
                } else if (what < 930) {
                    // A run of undos, then often part of it redone, as one looks back.
                    const int run = pick(1, 20);
                    for (int i = 0; i < run; ++i)
                        undos += ed.view.undo() ? 1 : 0;
                    if (pick(0, 1))
                        for (int i = pick(0, run); i > 0; --i)
                            redos += ed.view.redo() ? 1 : 0;
                } else if (what < 940) {
                    const int run = pick(1, 20);
                    for (int i = 0; i < run; ++i)
                        redos += ed.view.redo() ? 1 : 0;
                } else {
                    ed.view.onChar(pick(0, 1) ? U'5' : U'\r');
                }
            } catch (const Exception& e) {
                ASSERT_TRUE(e.code == kLayoutOverflow || e.code == kMismatch)
                    << "seed " << seed << " step " << step << " code " << e.code;
            }
            if (step % kCheckEvery == 0)
                expectTreeMatchesDocument(ed, seed, step);
            if (HasFailure())
                return;
        }
        expectTreeMatchesDocument(ed, seed, kActions);
        const std::vector<unsigned char> final = savedBytes(ed);
        // Undo everything: the document as loaded.
        long steps = 0;
        while (ed.view.undo())
            ++steps;
        EXPECT_TRUE(savedBytes(ed) == loaded) << "seed " << seed;
        // Redo as much: the document as it was at the end.
        for (; steps > 0; --steps)
            ASSERT_TRUE(ed.view.redo());
        EXPECT_TRUE(savedBytes(ed) == final) << "seed " << seed;
        // The session really used the history: in proportion to its length.
        EXPECT_GT(undos, kActions / 50);
        EXPECT_GT(redos, kActions / 170);
        EXPECT_GT(pastes, kActions / 500);
        std::printf(
            "seed %u: %zu steps kept, %ld undone, %ld redone, %ld pastes, history %zu bytes\n",
            seed, ed.history().stepCount(), undos, redos, pastes, ed.history().memoryBytes());
    }
}

}  // namespace
}  // namespace qe
