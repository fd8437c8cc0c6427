#include <gtest/gtest.h>

#include "musicxml/musicxml_support.h"

namespace qe::test {
namespace {

// The chord symbols of a document as (record, symbol), track 0.
std::vector<std::pair<std::uint32_t, std::u16string>> chordsOf(const QeDocument& doc) {
    std::vector<std::pair<std::uint32_t, std::u16string>> out;
    for (const PlacedNoteExtra& e : doc.header.noteExtras)
        if (e.track == 0 && !e.extra.chordSymbol.empty())
            out.emplace_back(e.record, e.extra.chordSymbol);
    return out;
}

// Words that name a chord are the chord symbol of the note at their beat, not a text at the
// start of the measure over the chord symbols; a section letter stays a text.
TEST(ChordWords, WordsNamingAChordAreTheChordSymbolOfTheNoteAtTheirBeat) {
    const Imported score = importFile(dataFile(QStringLiteral("chord_words.musicxml")));
    ASSERT_TRUE(score.ok()) << score.message.toStdString();
    EXPECT_TRUE(score.report.isEmpty()) << score.report.join(u'\n').toStdString();
    // Fm7 on the first note, N.C. on the fourth (record 3); after the bar line (record 4),
    // Fm7(b5) two beats into the second measure: the "1" after "6 -" (record 7).
    using Chords = std::vector<std::pair<std::uint32_t, std::u16string>>;
    EXPECT_EQ(chordsOf(score.doc), (Chords{{0, u"Fm7"}, {3, u"N.C."}, {7, u"Fm7(b5)"}}));
    ASSERT_EQ(score.doc.header.marks.size(), 1u);
    EXPECT_EQ(score.doc.header.marks[0].tempo.text, u"A");

    // Exported and imported again, N.C. is still there: the same document byte for byte.
    const Imported back = throughMusicXml(score.doc, false);
    ASSERT_TRUE(back.ok()) << back.message.toStdString();
    EXPECT_EQ(documentBytes(back.doc), documentBytes(score.doc));
}

// A file that prints a chord both as a harmony and as words at the same beat shows it once,
// on its note; the next note does not take it.
TEST(ChordWords, AChordGivenAsHarmonyAndAsWordsIsOneSymbol) {
    const Imported score = importBytes(scoreXml(
        {QStringLiteral("<attributes><divisions>1</divisions></attributes>"
                        "<harmony><root><root-step>F</root-step></root><kind>minor</kind></harmony>"
                        "<direction><direction-type><words>Fm</words></direction-type></direction>"
                        "<note><pitch><step>F</step><octave>4</octave></pitch>"
                        "<duration>2</duration><type>half</type></note>"
                        "<note><pitch><step>C</step><octave>4</octave></pitch>"
                        "<duration>2</duration><type>half</type></note>")}));
    ASSERT_TRUE(score.ok()) << score.message.toStdString();
    using Chords = std::vector<std::pair<std::uint32_t, std::u16string>>;
    EXPECT_EQ(chordsOf(score.doc), (Chords{{0, u"Fm"}}));
    EXPECT_TRUE(score.report.isEmpty()) << score.report.join(u'\n').toStdString();
}

// A harmony of kind "none" is N.C. unless the file prints it otherwise (an empty text prints
// nothing).
TEST(ChordWords, AHarmonyOfNoChordIsPrintedNC) {
    const auto withKind = [](const char* kind) {
        const Imported score = importBytes(scoreXml(
            {QStringLiteral("<attributes><divisions>1</divisions></attributes>"
                            "<harmony><root><root-step>C</root-step></root>%1</harmony>"
                            "<note><pitch><step>C</step><octave>4</octave></pitch>"
                            "<duration>4</duration><type>whole</type></note>")
                 .arg(QString::fromLatin1(kind))}));
        EXPECT_TRUE(score.ok()) << score.message.toStdString();
        return chordsOf(score.doc);
    };
    using Chords = std::vector<std::pair<std::uint32_t, std::u16string>>;
    EXPECT_EQ(withKind("<kind>none</kind>"), (Chords{{0, u"N.C."}}));
    EXPECT_EQ(withKind("<kind text=\"N.C.\">none</kind>"), (Chords{{0, u"N.C."}}));
    EXPECT_EQ(withKind("<kind text=\"\">none</kind>"), Chords{});
    EXPECT_EQ(withKind("<kind>major</kind>"), (Chords{{0, u"C"}}));
}

}  // namespace
}  // namespace qe::test
