#include <gtest/gtest.h>

#include <algorithm>

#include "music/track_walk.h"
#include "musicxml/musicxml_support.h"
#include "support/notation.h"

// Songs of our own written as notation programs write them: what a musician reading the
// imported page expects of each.
namespace qe::test {
namespace {

Imported song(const char* name) {
    return importFile(dataFile(QStringLiteral("songs/") + QString::fromLatin1(name)));
}

// The share of a track's notes (chord tones and grace notes apart) written with octave dots.
double dottedShare(const QeDocument& doc, std::size_t track) {
    int notes = 0, dotted = 0;
    for (const note& n : doc.noteTracks()[track].content.items) {
        const std::optional<music::Item> item = music::decode(n);
        if (!item || !item->isDigit())
            continue;
        ++notes;
        dotted += item->octave != 0 ? 1 : 0;
    }
    return notes ? static_cast<double>(dotted) / notes : 0.0;
}

// The syllables under one track, in order.
std::vector<std::u16string> wordsOf(const QeDocument& doc, int track) {
    std::vector<std::u16string> out;
    for (const auto& verse : versesOf(doc))
        for (const auto& [t, item, text] : verse)
            if (t == track)
                out.push_back(text);
    return out;
}

// Each song comes back from its own export as it was imported.
void expectRoundTrip(const Imported& first) {
    const Imported back = throughMusicXml(first.doc, false);
    ASSERT_TRUE(back.ok()) << back.message.toStdString();
    EXPECT_EQ(documentBytes(back.doc), documentBytes(first.doc));
}

TEST(SongCorpus, TitleAndAuthorsFromUntypedCreditsByTheirPlace) {
    const Imported score = song("untyped_credits.musicxml");
    ASSERT_TRUE(score.ok()) << score.message.toStdString();
    const doc_header& h = score.doc.header;
    EXPECT_EQ(h.title, u"Morning Light");
    EXPECT_EQ(h.subtitle, u"a song for the first day of spring");
    EXPECT_EQ(h.author1, u"Lin Yue");
    EXPECT_EQ(h.author2, u"Words: Zhao Min");
    // Neither the style descriptor among the credits nor the copyright line is a title.
    EXPECT_EQ(h.author3, u"");
    EXPECT_EQ(h.comment1, u"Moderato");
    EXPECT_TRUE(score.report.isEmpty()) << score.report.join(u'\n').toStdString();
    EXPECT_LT(dottedShare(score.doc, 0), 0.3);
    expectRoundTrip(score);
}

TEST(SongCorpus, AChoraleOnTwoStavesIsFourTracksEachWithItsWords) {
    const Imported score = song("satb_chorale.musicxml");
    ASSERT_TRUE(score.ok()) << score.message.toStdString();
    EXPECT_TRUE(score.report.isEmpty()) << score.report.join(u'\n').toStdString();
    const doc_header& h = score.doc.header;
    // The printed title, not the program's "Untitled score".
    EXPECT_EQ(h.title, u"Evening Hymn");
    EXPECT_EQ(h.author1, u"Harmony: the test authors");
    EXPECT_EQ(h.author2, u"Words: S. Baring-Gould, 1865");
    ASSERT_EQ(score.doc.noteTracks().size(), 4u);
    // Soprano, alto, tenor, bass, in that order; the part's name on the first.
    EXPECT_EQ(trackText(score.doc, 0), "3 3 4 5 | 5 4 3 2 | 1 2 3 1 | 2 2 1 - |]");
    EXPECT_EQ(trackText(score.doc, 1), "1 1 1 1 | 7, 7, 1 7, | 6, 7, 1 6, | 7, 7, 5, - |]");
    EXPECT_EQ(trackText(score.doc, 2), "5, 5, 6, 5, | 5, 5, 5, 5, | 3, 5, 5, 4, | 5, 4, 3, - |]");
    EXPECT_EQ(trackText(score.doc, 3),
              "1, 1, 4, 3, | 2, 5,, 1, 5,, | 6,, 5,, 1, 4,, | 5,, 5,, 1, - |]");
    ASSERT_FALSE(h.partNames.empty());
    EXPECT_EQ(h.partNames[0].name, u"Choir");
    // Every voice sings the words, the inner voices too.
    const std::vector<std::u16string> words = {u"Now", u"the",  u"day",  u"is",  u"o-",
                                               u"ver,", u"night", u"is", u"draw-", u"ing",
                                               u"nigh;", u"shad-", u"ows",  u"of",
                                               u"the"};
    for (int t = 0; t < 4; ++t)
        EXPECT_EQ(wordsOf(score.doc, t), words) << "track " << t;
    EXPECT_LT(dottedShare(score.doc, 0), 0.3);
    expectRoundTrip(score);
}

TEST(SongCorpus, AHymnInGHasItsOneOnG4) {
    const Imported score = song("hymn_in_g.musicxml");
    ASSERT_TRUE(score.ok()) << score.message.toStdString();
    EXPECT_TRUE(score.report.isEmpty()) << score.report.join(u'\n').toStdString();
    const doc_header& h = score.doc.header;
    EXPECT_EQ(h.title, u"Hymn of the Open Road");
    EXPECT_EQ(h.author1, u"Tune: the test authors, 2026");
    EXPECT_EQ(h.keyLetter, 6);  // 1=G
    EXPECT_EQ(h.tonicShift, 1);
    EXPECT_EQ(trackText(score.doc, 0),
              "1 1 2 3 | 3 2 1 2 | 3 4 5 3 | 2 - 2 - | 1 2 3 5 | 4 3 2 3 | 1 2 7, 5, | 1 - - - |]");
    EXPECT_LT(dottedShare(score.doc, 0), 0.3);
    // It sounds where the file has it: the first note is G4.
    const std::vector<music::TrackWalk> walks = test::walkRecords(score.doc);
    ASSERT_FALSE(walks.front().notes.empty());
    EXPECT_EQ(walks.front().notes.front().pitch->midi(), 67);
    expectRoundTrip(score);
}

TEST(SongCorpus, APickupFilledWithHiddenRestsStaysShort) {
    const Imported score = song("pickup_hidden_rests.musicxml");
    ASSERT_TRUE(score.ok()) << score.message.toStdString();
    EXPECT_TRUE(score.report.isEmpty()) << score.report.join(u'\n').toStdString();
    // No rest the page did not show: a one-beat pickup, and a last measure of two beats
    // that completes it.
    EXPECT_EQ(trackText(score.doc, 0), "5 | 1' 7 6 | 5 - 3 | 4 3 2 | 1 - |]");
    EXPECT_EQ(wordsOf(score.doc, 0).front(), u"Sleep");
    expectRoundTrip(score);
}

TEST(SongCorpus, ATablatureStaffIsSkippedAndSaid) {
    const Imported score = song("melody_with_tab.musicxml");
    ASSERT_TRUE(score.ok()) << score.message.toStdString();
    ASSERT_EQ(score.doc.noteTracks().size(), 1u);
    EXPECT_EQ(score.report,
              QStringList{QStringLiteral("1 tablature staves skipped: jianpu writes the melody, "
                                         "not frets (first in measure 1)")});
    EXPECT_EQ(score.doc.header.title, u"Little Study");
    EXPECT_EQ(trackText(score.doc, 0), "1 3 5 3 | 4 2 1 - |]");
    EXPECT_LT(dottedShare(score.doc, 0), 0.3);
    expectRoundTrip(score);
}

}  // namespace
}  // namespace qe::test
