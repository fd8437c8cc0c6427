#include <gtest/gtest.h>

#include "edit/lyrics_text.h"
#include "support/fake_host.h"
#include "support/lyrics_doc.h"
#include "support/notation.h"

namespace qe {
namespace {

using Strings = std::vector<std::string>;
using U16s = std::vector<std::u16string>;

TEST(LyricsText, SplitsAsPeopleWriteLyrics) {
    EXPECT_EQ(splitSyllables(u"A-maz-ing grace"), (U16s{u"A-", u"maz-", u"ing", u"grace"}));
    EXPECT_EQ(splitSyllables(u"好一朵茉莉花，芬芳"),
              (U16s{u"好", u"一", u"朵", u"茉", u"莉", u"花，", u"芬", u"芳"}));
    EXPECT_EQ(splitSyllables(u"la _ la  _la\n"), (U16s{u"la", u"", u"la", u"", u"la"}));
    EXPECT_EQ(splitSyllables(u"me, I once"), (U16s{u"me,", u"I", u"once"}));
    EXPECT_TRUE(splitSyllables(u"  ").empty());
}

TEST(LyricsText, AHyphenAfterAChineseCharacterJoinsItToTheNext) {
    EXPECT_EQ(splitSyllables(u"天-地 人"), (U16s{u"天-", u"地", u"人"}));
    EXPECT_EQ(splitSyllables(u"天 - 地"), (U16s{u"天", u"-", u"地"}));
}

// 茉莉花, typed as the sample score writes it: each character on a note in turn, the tied note
// taking none, "_" leaving one note without.
TEST(LyricsEntry, JasmineLaysOneCharacterOnEachNote) {
    QeDocument doc =
        test::scoreWithShapes({"3_ 3_ 5_ 6_ 1'_ 1'_ 6_ 5_ | 5 5_ 6_ 5 - | 3_ 5_ 6_ 1'_ 5~ 5 |]"});
    test::Editor ed(std::move(doc));
    const int left =
        ed.view.layLyrics(0, 0, 0, splitSyllables(u"好一朵美丽的茉莉花_芬芳美丽满枝丫"));
    EXPECT_EQ(left, 0);
    EXPECT_EQ(test::syllablesOf(ed.committed(), 0),
              (Strings{"?@0:0", "?@0:1", "?@0:2", "?@0:3", "?@0:4", "?@0:5", "?@0:6", "?@0:7",
                       "?@0:9", /* 5_ left without */ "?@0:11", "?@0:12", "?@0:15", "?@0:16",
                       "?@0:17", "?@0:18", "?@0:19"}));
    EXPECT_EQ(ed.saved.content.lyrics.items[0].content.items[8].text, u"花");
    EXPECT_EQ(ed.saved.content.lyrics.items[0].content.items[15].text, u"丫");
}

// Amazing Grace, verse 2 laid over verse 1 from the second measure on: verse 1 is untouched,
// the tracks are created up to the verse, rests and dashes take nothing, and what finds no
// note is counted.
TEST(LyricsEntry, AmazingGraceSecondVerseFromTheSecondMeasure) {
    QeDocument doc = test::scoreOf({"5, | 1 - 3_ 1_ | 3 - 2 | 1 - 6, | 5, 0 |]"});
    test::Editor ed(std::move(doc));
    EXPECT_EQ(ed.view.layLyrics(0, 0, 0, splitSyllables(u"A-maz-ing _ grace how sweet the sound")),
              0);
    EXPECT_EQ(test::syllablesOf(ed.committed(), 0),
              (Strings{"A-@0:0", "maz-@0:2", "ing@0:4", "grace@0:7", "how@0:9", "sweet@0:11",
                       "the@0:13", "sound@0:15"}));
    EXPECT_EQ(
        ed.view.layLyrics(0, 2, 1, splitSyllables(u"'Twas grace that taught my heart to fear and")),
        1);
    ed.committed();
    ASSERT_EQ(ed.saved.content.lyrics.items.size(), 3u);
    EXPECT_TRUE(ed.saved.content.lyrics.items[1].content.items.empty());
    EXPECT_EQ(test::syllablesOf(ed.saved, 2),
              (Strings{"'Twas@0:2", "grace@0:4", "that@0:5", "taught@0:7", "my@0:9", "heart@0:11",
                       "to@0:13", "fear@0:15"}));
    // Laying a verse again replaces it from its measure on, and is one undoable step.
    ed.view.layLyrics(0, 0, 3, splitSyllables(u"Oh"));
    EXPECT_EQ(test::syllablesOf(ed.committed(), 0),
              (Strings{"A-@0:0", "maz-@0:2", "ing@0:4", "grace@0:7", "how@0:9", "Oh@0:11"}));
    ed.view.undo();
    EXPECT_EQ(test::syllablesOf(ed.committed(), 0).size(), 8u);
}

}  // namespace
}  // namespace qe
