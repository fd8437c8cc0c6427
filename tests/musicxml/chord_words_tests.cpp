#include <gtest/gtest.h>

#include "musicxml/musicxml_support.h"
#include "support/notation.h"

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
// start of the measure over the chord symbols; a section letter stays a text, over its note.
TEST(ChordWords, WordsNamingAChordAreTheChordSymbolOfTheNoteAtTheirBeat) {
    const Imported score = importFile(dataFile(QStringLiteral("chord_words.musicxml")));
    ASSERT_TRUE(score.ok()) << score.message.toStdString();
    EXPECT_TRUE(score.report.isEmpty()) << score.report.join(u'\n').toStdString();
    // Fm7 on the first note, N.C. on the fourth (record 3); after the bar line (record 4),
    // Fm7(b5) two beats into the second measure: the "1" after "6 -" (record 7).
    using Chords = std::vector<std::pair<std::uint32_t, std::u16string>>;
    EXPECT_EQ(chordsOf(score.doc), (Chords{{0, u"Fm7"}, {3, u"N.C."}, {7, u"Fm7(b5)"}}));
    EXPECT_TRUE(score.doc.header.marks.empty());
    ASSERT_EQ(score.doc.header.noteExtras.size(), 4u);
    EXPECT_EQ(score.doc.header.noteExtras[3].record, 10u);  // the whole note of measure 3
    EXPECT_EQ(score.doc.header.noteExtras[3].extra.textAbove, u"A");

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

// Words that name no chord stand at the note of their time, over or under it as the file places
// them: not at the start of the measure, not over the notes when the file puts them under. Two
// directions at one note on one side read as one text; a lower staff's words are its track's.
TEST(ChordWords, OtherWordsStandAtTheirNoteOnTheirSide) {
    const Imported score = importFile(dataFile(QStringLiteral("words_at_notes.musicxml")));
    ASSERT_TRUE(score.ok()) << score.message.toStdString();
    EXPECT_TRUE(score.report.isEmpty()) << score.report.join(u'\n').toStdString();
    EXPECT_TRUE(score.doc.header.marks.empty());
    struct Words {
        std::uint32_t track, record;
        std::u16string above, below;
        bool operator==(const Words&) const = default;
    };
    std::vector<Words> words;
    for (const PlacedNoteExtra& e : score.doc.header.noteExtras)
        words.push_back({e.track, e.record, e.extra.textAbove, e.extra.textBelow});
    // "rit." on the third quarter; the half notes of measure 2 are records 5 and 7.
    EXPECT_EQ(words, (std::vector<Words>{{0, 2, u"rit.", u""},
                                         {0, 5, u"a tempo", u"dolce p"},
                                         {0, 7, u"", u"cresc."},
                                         {2, 0, u"", u"legato"}}));

    // Exported, they are directions before their notes, with their placement; imported again,
    // the same document byte for byte.
    QByteArray xml;
    ASSERT_TRUE(musicxml::exportMusicXml(*scoreFrom(score.doc), false, xml).ok());
    const QString text = QString::fromUtf8(xml).simplified().remove(QLatin1Char(' '));
    EXPECT_TRUE(text.contains(QStringLiteral(
        "<directionplacement=\"below\"><direction-type><words>cresc.</words>")))
        << xml.toStdString();
    const Imported back = throughMusicXml(score.doc, false);
    ASSERT_TRUE(back.ok()) << back.message.toStdString();
    EXPECT_EQ(documentBytes(back.doc), documentBytes(score.doc));
}

}  // namespace
}  // namespace qe::test

namespace qe::test {
namespace {

// The degrees of a harmony that has no printed text of its own are the symbol's alterations:
// a seventh with a flat ninth added is "7(b9)", an added ninth "add9"; a tone taken away
// cannot be written and is reported, the chord kept without it.
TEST(ChordWords, DegreesOfAHarmonyAreItsAlterations) {
    const auto chordOf = [](const char* root, const char* kind, const char* degrees,
                            QStringList* report = nullptr) {
        const Imported score = importBytes(scoreXml(
            {QStringLiteral("<attributes><divisions>1</divisions></attributes>"
                            "<harmony><root><root-step>%1</root-step></root><kind>%2</kind>%3"
                            "</harmony><note><pitch><step>C</step><octave>4</octave></pitch>"
                            "<duration>4</duration><type>whole</type></note>")
                 .arg(QString::fromLatin1(root), QString::fromLatin1(kind),
                      QString::fromLatin1(degrees))}));
        EXPECT_TRUE(score.ok()) << score.message.toStdString();
        if (report)
            *report = score.report;
        const auto chords = chordsOf(score.doc);
        return chords.empty() ? std::u16string() : chords.front().second;
    };
    const auto degree = [](int value, int alter, const char* type) {
        return QStringLiteral("<degree><degree-value>%1</degree-value><degree-alter>%2"
                              "</degree-alter><degree-type>%3</degree-type></degree>")
            .arg(value)
            .arg(alter)
            .arg(QString::fromLatin1(type))
            .toStdString();
    };
    EXPECT_EQ(chordOf("B", "dominant", degree(9, -1, "add").c_str()), u"B7(b9)");
    EXPECT_EQ(chordOf("C", "major", degree(9, 0, "add").c_str()), u"C(add9)");
    EXPECT_EQ(chordOf("G", "dominant", degree(5, 1, "alter").c_str()), u"G7(#5)");
    QStringList report;
    EXPECT_EQ(chordOf("C", "dominant", degree(3, 0, "subtract").c_str(), &report), u"C7");
    EXPECT_TRUE(reports(report, QStringLiteral("chord alterations")));
}

}  // namespace
}  // namespace qe::test
