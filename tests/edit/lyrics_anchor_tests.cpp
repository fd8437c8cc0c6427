#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>

#include "music/score_records.h"
#include "records/memory_io.h"
#include "support/fake_host.h"
#include "support/lyrics_doc.h"
#include "support/notation.h"

namespace qe {
namespace {

using test::addSyllable;
using test::Editor;
using test::syllablesOf;

using Strings = std::vector<std::string>;

TEST(LyricsAnchors, FollowTheirNotesWhenTheItemsAreRenumbered) {
    // Given: "do re mi" on the three notes, a second verse on the first, and two records that
    // name no note: one on the bar line, one past the end of the track.
    QeDocument doc = test::scoreOf({"1 2 #3 | 4 |]"});
    addSyllable(doc, 0, 0, 0, u"do");
    addSyllable(doc, 0, 0, 1, u"re");
    addSyllable(doc, 0, 0, 2, u"mi");
    addSyllable(doc, 0, 0, 3, u"bar");
    addSyllable(doc, 1, 0, 0, u"la");
    addSyllable(doc, 1, 0, 40, u"far");
    Editor ed(std::move(doc));
    // When a note is typed at the start and the 2 is deleted.
    ed.type(U"5");
    ed.caretAt(0, 3);  // after the 2
    ed.type(U"\b");
    ed.committed();
    // Then every syllable is on its own note's new place, re went with its note, and the
    // records naming no note are kept as read.
    EXPECT_EQ(syllablesOf(ed.saved, 0), (Strings{"do@0:1", "mi@0:2", "bar@0:3"}));
    EXPECT_EQ(syllablesOf(ed.saved, 1), (Strings{"la@0:1", "far@0:40"}));
}

TEST(LyricsAnchors, ADocumentWithoutLyricsSavesNoLyricsTrack) {
    Editor ed(test::scoreOf({"1 2 |]"}));
    ed.type(U"3");
    EXPECT_TRUE(ed.committed().content.lyrics.items.empty());
}

TEST(LyricsAnchors, UndoingADeletionBringsTheSyllableBack) {
    QeDocument doc = test::scoreOf({"1 2 |]"});
    addSyllable(doc, 0, 0, 1, u"re");
    Editor ed(std::move(doc));
    ed.caretAtEnd(0);
    ed.type(U"\b");
    EXPECT_TRUE(syllablesOf(ed.committed(), 0).empty());
    ed.view.undo();
    EXPECT_EQ(syllablesOf(ed.committed(), 0), (Strings{"re@0:1"}));
}

// The name of the note a syllable was first put on travels in its text: after any edits, a
// save must write each syllable with the place of exactly that note.
TEST(LyricsAnchors, RandomEditsKeepEverySyllableOnItsNote) {
    for (unsigned seed = 1; seed <= 3; ++seed) {
        std::mt19937 rng(seed);
        const auto pick = [&](int lo, int hi) {
            return std::uniform_int_distribution<int>(lo, hi)(rng);
        };
        QeDocument doc = test::scoreOf({"1 2 3 4 | 5 6 7 1' | 2 - 3 . |]", "1 1 | 2 2 |]"});
        int named = 0;
        for (int t = 0; t < 2; ++t)
            for (int i = 0; i < 14; ++i)
                addSyllable(doc, pick(0, 1), t, i, u"n" + std::u16string(1, u'A' + named++ % 26));
        Editor ed(std::move(doc));
        const std::u32string keys = U"1234567-.\r|\b\b\b";
        long checks = 0;
        int initiallyKept = -1;
        for (int step = 0; step < 3000; ++step) {
            if (!ed.view.caret.valid() || pick(0, 9) == 0) {
                const int t = pick(0, ed.score().trackCount() - 1);
                const int m = pick(0, ed.score().measureCount(t) - 1);
                ed.caretAt(m, pick(0, stopCount(ed.score().measure(t, m))), t);
            }
            ed.view.onChar(
                keys[static_cast<std::size_t>(pick(0, static_cast<int>(keys.size()) - 1))]);
            if (step % 50 != 0)
                continue;
            // The shadow model: the notes that carry syllables, as the score holds them now.
            std::map<std::pair<int, int>, std::u16string> expected;  // (track, item) -> texts
            ed.committed();
            const music::Score& score = ed.score();
            int carried = 0;
            for (int t = 0; t < score.trackCount(); ++t)
                for (int m = 0; m < score.measureCount(t); ++m) {
                    const music::Measure& measure = score.measure(t, m);
                    for (int e = 0; e < static_cast<int>(measure.entries.size()); ++e)
                        for (const music::Syllable& s :
                             measure.entries[static_cast<std::size_t>(e)].syllables) {
                            expected[{t, static_cast<std::int16_t>(music::itemIndexOf(
                                             score.track(t), {m, e}))}] += s.text();
                            ++carried;
                        }
                }
            // Records that named no note from the start (bar lines, places past a track)
            // stay as read, after the syllables of their verse.
            const auto& keptLyrics = score.kept().lyricsRecords;
            int kept = 0;
            for (const auto& verse : keptLyrics)
                kept += static_cast<int>(verse.size());
            int written = 0;
            for (std::size_t v = 0; v < ed.saved.content.lyrics.items.size(); ++v) {
                const auto& records = ed.saved.content.lyrics.items[v].content.items;
                const std::size_t keptHere = v < keptLyrics.size() ? keptLyrics[v].size() : 0;
                for (std::size_t i = 0; i < records.size(); ++i) {
                    const lyrics& r = records[i];
                    if (i >= records.size() - keptHere) {
                        EXPECT_EQ(r.text, keptLyrics[v][i - (records.size() - keptHere)].text);
                        continue;
                    }
                    ++written;
                    const auto it = expected.find({r.place.trackIndex, r.place.itemIndex});
                    ASSERT_NE(it, expected.end()) << "seed " << seed << " step " << step;
                    EXPECT_NE(it->second.find(r.text), std::u16string::npos);
                }
            }
            ASSERT_EQ(written, carried) << "seed " << seed << " step " << step;
            if (initiallyKept < 0)
                initiallyKept = kept;
            EXPECT_EQ(kept, initiallyKept);
            // And a score opened from the save saves the same records. (A record kept as read
            // may come to name a note once the items around it are renumbered; it is then
            // carried by that note, so only the order of the records may differ.)
            Editor reopened(ed.saved);
            for (int v = 0; v < 2; ++v) {
                Strings again = syllablesOf(reopened.committed(), v);
                Strings saved = syllablesOf(ed.saved, v);
                std::sort(again.begin(), again.end());
                std::sort(saved.begin(), saved.end());
                ASSERT_EQ(again, saved) << "seed " << seed << " step " << step;
            }
            ++checks;
        }
        EXPECT_EQ(checks, 60);
    }
}

}  // namespace
}  // namespace qe
