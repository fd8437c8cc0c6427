#include <gtest/gtest.h>

#include <map>

#include <tuple>
#include <vector>

#include "music/note_marks.h"
#include "musicxml/musicxml_support.h"

namespace qe::test {
namespace {

Imported imported(const char* name) {
    Imported result = importFile(dataFile(QString::fromLatin1(name)));
    EXPECT_TRUE(result.ok()) << name << ": " << result.message.toStdString();
    return result;
}

TEST(Import, TitleBlockComesFromWorkMovementCreatorsCreditsAndOpeningWords) {
    const Imported score = imported("title_block.musicxml");
    const doc_header& h = score.doc.header;
    EXPECT_EQ(h.title, u"送别");
    EXPECT_EQ(h.subtitle, u"Farewell");
    EXPECT_EQ(h.author1, u"J. P. Ordway");
    EXPECT_EQ(h.author2, u"李叔同");
    EXPECT_EQ(h.author3, u"A. N. Other");
    EXPECT_EQ(h.comment1, u"稍慢");
    EXPECT_EQ(h.comment2, u"选自《学堂乐歌》");
    // C minor's three flats are 1=bE; C4 lies below the undotted 1.
    EXPECT_EQ(h.keyLetter, 4);
    EXPECT_EQ(h.keyAccidental, 2);
    EXPECT_EQ(h.timeNumerator, 3);
    EXPECT_EQ(h.timeDenominator, 4);
    EXPECT_EQ(trackText(score.doc, 0), "6, 1 - |]");
    EXPECT_TRUE(score.report.isEmpty()) << score.report.join(u'\n').toStdString();
}

TEST(Import, PitchesKeepTheirSoundWithAccidentalsHeldToTheBarLine) {
    const Imported score = imported("pitches_in_g.musicxml");
    EXPECT_EQ(score.doc.header.keyLetter, 6);  // 1=G
    EXPECT_EQ(trackText(score.doc, 0), "1 1' 5 3, | b7 7 n7 #4' | 7 b7 b7' b3' | n3' x6 B2' 2' |");
}

TEST(Import, LengthsAreWrittenAsTheKeyboardWritesThem) {
    const Imported score = imported("durations.musicxml");
    EXPECT_EQ(trackText(score.doc, 0),
              "5,_ | 1 - 1 . 1_ | 2__ 2_ . 0 0_ 2 . | 0 0 0 0 | "
              "3_ 3_ 3_ 3 - - | 4 - - - - | 5 - 5_ 5 - 5_ |]");
    // The melody lies an octave above the usual "1" of its key: that octave is stored.
    EXPECT_EQ(score.doc.header.tonicShift, 1);
    // The triplet of eighths keeps its values, marked three in the time of two.
    ASSERT_EQ(score.doc.header.noteExtras.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_EQ(score.doc.header.noteExtras[i].extra.tuplets[0], (TupletMark{3, 2, i == 0}));
    // Two and a half quarters are a digit with a dash tied to an eighth.
    EXPECT_EQ(formatsOf(score.doc), (std::vector<Span>{{1, 0, 34, 36}, {1, 0, 37, 39}}));
    EXPECT_TRUE(score.report.isEmpty()) << score.report.join(u'\n').toStdString();
    // The change to 5/4 is kept at its measure, the sixth (after the pickup).
    ASSERT_EQ(score.doc.header.marks.size(), 1u);
    EXPECT_EQ(score.doc.header.marks[0].measure, 5u);
    EXPECT_EQ(score.doc.header.marks[0].numerator, 5);
}

// A two-part song with every measure mark, as a notation program writes them: the marks
// come from the top part, numbered by the measures of the first track, and the notes after
// the key change are written in the new key.
TEST(Import, KeyTimeAndTempoChangesJumpsAndEndingsBecomeMeasureMarks) {
    const Imported score = imported("marks.musicxml");
    EXPECT_TRUE(score.report.isEmpty()) << score.report.join(u'\n').toStdString();
    const doc_header& h = score.doc.header;
    EXPECT_EQ(h.tempo, (TempoMark{4, false, 96, u"中速"}));
    EXPECT_EQ(h.partNames, (std::vector<PartName>{{u"女高音", u"S."}, {u"女低音", u"A."}}));
    std::vector<std::tuple<int, bool, int, int, int, std::uint32_t>> marks;
    for (const MeasureMark& m : h.marks)
        marks.emplace_back(m.measure, m.keyChange, m.keyLetter, m.numerator, m.tempo.perMinute,
                           m.jumps);
    const std::vector<std::tuple<int, bool, int, int, int, std::uint32_t>> expected{
        {1, false, 0, 4, 0, jump::kSegno},
        {5, true, 3, 4, 0, 0},  // 1=D
        {6, false, 0, 3, 72, 0},
        {7, false, 0, 4, 0, jump::kToCoda},
        {8, false, 0, 4, 0, jump::kDalSegno | jump::kAlCoda},
        {9, false, 0, 4, 0, jump::kCoda}};
    EXPECT_EQ(marks, expected);
    // F sharp, E, D, C sharp in 1=D with its "1" on D5, where the tune lies: 3 2 1 7,.
    EXPECT_EQ(trackText(score.doc, 0),
              "5, 1 2 3 |: 5 - 3 - | 2 1 2 3 | 2 - 5, - :| 1 - 1 - | 3 2 1 7, | "
              "6, - 5, | 1 - 3 | 2 - 1 || 1 - 5, | 1 - 1 |]");
    const ExtensionEntry* labels = extension::find(h.extension, extension::kVoltaLabels);
    ASSERT_TRUE(labels);
    EXPECT_EQ(extension::decodeVoltaLabels(labels->bytes),
              (extension::VoltaLabels{{0, u"1."}, {1, u"2."}, {2, u"1."}, {3, u"2."}}));
}

// A song with every kind of note extra, as a notation program writes them: each lands on
// the note it belongs to, and nothing is reported.
TEST(Import, TupletsChordsGraceNotesArticulationsAndChordSymbolsAreKept) {
    const Imported score = imported("extras.musicxml");
    EXPECT_TRUE(score.report.isEmpty()) << score.report.join(u'\n').toStdString();
    EXPECT_EQ(trackText(score.doc, 0), "5 3_ 2_ 1_ 1 6, | 6 - 5 4 | 3_ 2_ 1 - - |]");
    std::map<int, NoteExtra> byRecord;
    for (const PlacedNoteExtra& p : score.doc.header.noteExtras)
        byRecord[static_cast<int>(p.record)] = p.extra;
    EXPECT_EQ(byRecord[0].articulations, articulation::kAccent);
    EXPECT_EQ(byRecord[0].chordSymbol, u"G");
    for (int r : {1, 2, 3})
        EXPECT_EQ(byRecord[r].tuplets[0], (TupletMark{3, 2, r == 1})) << r;
    EXPECT_EQ(byRecord[4].chordSymbol, u"Em7");
    EXPECT_EQ(byRecord[4].graces, (std::vector<GraceNote>{{{2, 0, 0}, 2, false}}));
    EXPECT_EQ(byRecord[5].articulations, articulation::kStaccato);
    // E5 over C5 over G4 in 1=G with its "1" on G4: the record holds the top tone, 6.
    EXPECT_EQ(byRecord[7].tones, (std::vector<NoteTone>{{4, 0, 0}, {1, 0, 0}}));
    EXPECT_EQ(byRecord[7].chordSymbol, u"Cmaj7");
    EXPECT_EQ(byRecord[9].chordSymbol, u"D7/F");
    EXPECT_EQ(byRecord[9].graces.size(), 2u);
    EXPECT_EQ(byRecord[14].articulations, articulation::kFermata);
    EXPECT_EQ(byRecord[14].graces, (std::vector<GraceNote>{{{2, 0, 0}, 2, true}}));
}

TEST(Import, TiesAndSlursBecomeArcsFromNoteToNote) {
    const Imported score = imported("arcs.musicxml");
    EXPECT_EQ(trackText(score.doc, 0), "1 2 | 2 3 | 4 5 | 6 6 |]");
    EXPECT_EQ(
        formatsOf(score.doc),
        (std::vector<Span>{{1, 0, 0, 3}, {1, 0, 1, 3}, {1, 0, 3, 6}, {1, 0, 4, 7}, {1, 0, 9, 10}}));
    EXPECT_TRUE(reports(score.report, QStringLiteral("1 ties with no note of their pitch to end "
                                                     "on dropped (first in measure 3)")));
    // The chord keeps its lower tone beside the top one the record holds.
    ASSERT_EQ(score.doc.header.noteExtras.size(), 1u);
    EXPECT_EQ(score.doc.header.noteExtras[0].extra.tones.size(), 1u);
    EXPECT_FALSE(reports(score.report, QStringLiteral("chord notes dropped")));
}

TEST(Import, RepeatsAndEndingsBecomeBarLinesAndVoltaBrackets) {
    const Imported score = imported("repeats.musicxml");
    // A repeat from the start stands in an empty measure of its own; one after an end repeat
    // too, since one bar line cannot be both.
    EXPECT_EQ(trackText(score.doc, 0),
              "|: 1 - | 2 - | 3 - :| 4 - || 5 - :| |: 6 - |. 7 - / 1' - :|");
    EXPECT_EQ(formatsOf(score.doc), (std::vector<Span>{{4, 0, 6, 9}, {4, 0, 12, 12}}));
    // The endings keep their numbers as labels; "1" is what an unlabelled bracket shows.
    const ExtensionEntry* labels = extension::find(score.doc.header.extension,
                                                   extension::kVoltaLabels);
    ASSERT_TRUE(labels);
    EXPECT_EQ(extension::decodeVoltaLabels(labels->bytes),
              (extension::VoltaLabels{{1, u"2"}}));
    EXPECT_TRUE(score.report.isEmpty()) << score.report.join(u'\n').toStdString();
}

// The arcs come before the volta brackets among the format records, and an ending's label
// names its bracket by its place there: a slur before the endings must not move the labels
// onto the wrong records.
TEST(Import, EndingLabelsNameTheirBracketsAfterTheArcs) {
    const auto note = [](const char* step, const char* slur) {
        return QStringLiteral(
                   "<note><pitch><step>%1</step><octave>4</octave></pitch><duration>2</duration>"
                   "<notations><slur type=\"%2\"/></notations></note>")
            .arg(QLatin1String(step), QLatin1String(slur));
    };
    const QString half = QStringLiteral(
        "<note><pitch><step>E</step><octave>4</octave></pitch><duration>4</duration></note>");
    const Imported score = importBytes(scoreXml(
        {QStringLiteral("<attributes><divisions>1</divisions><time><beats>4</beats>"
                        "<beat-type>4</beat-type></time></attributes>") +
             note("C", "start") + note("D", "stop"),
         QStringLiteral("<barline location=\"left\"><ending number=\"1\" type=\"start\">1.-2."
                        "</ending></barline>") +
             half +
             QStringLiteral("<barline location=\"right\"><ending number=\"1\" type=\"stop\"/>"
                            "<repeat direction=\"backward\"/></barline>"),
         QStringLiteral("<barline location=\"left\"><ending number=\"3\" type=\"start\">3."
                        "</ending></barline>") +
             half +
             QStringLiteral("<barline location=\"right\"><ending number=\"3\" type=\"stop\"/>"
                            "</barline>")}));
    ASSERT_TRUE(score.ok()) << score.message.toStdString();
    EXPECT_EQ(trackText(score.doc, 0), "1 - 2 - | 3 - - - :| 3 - - - |");
    EXPECT_EQ(formatsOf(score.doc),
              (std::vector<Span>{{1, 0, 0, 2}, {4, 0, 9, 9}, {4, 0, 14, 14}}));
    const ExtensionEntry* labels =
        extension::find(score.doc.header.extension, extension::kVoltaLabels);
    ASSERT_TRUE(labels);
    EXPECT_EQ(extension::decodeVoltaLabels(labels->bytes),
              (extension::VoltaLabels{{1, u"1.-2."}, {2, u"3."}}));
}

TEST(Import, SyllablesGoUnderTheirNotesVerseByVerse) {
    const Imported score = imported("lyrics.musicxml");
    EXPECT_EQ(trackText(score.doc, 0), "1 2 3 0 | 5 - 5 - |");
    // The second voice is a track of its own, with its syllable; silent in the second
    // measure, it rests there.
    ASSERT_EQ(score.doc.noteTracks().size(), 2u);
    EXPECT_EQ(trackText(score.doc, 1), "1, - - - | 0 0 0 0 |");
    EXPECT_EQ(versesOf(score.doc),
              (std::vector<std::vector<Syllable>>{
                  {{0, 0, u"Hal-"}, {0, 1, u"le-"}, {0, 2, u"lu"}, {0, 5, u"ja_a"}, {1, 0, u"dropped"}},
                  {{0, 0, u"一"}, {0, 1, u"闪"}, {0, 7, u"晶-"}}}));
    EXPECT_TRUE(reports(score.report, QStringLiteral("1 syllables of dropped notes dropped")));
    // The grace note stays, before its note; its syllable has no place.
    ASSERT_EQ(score.doc.header.noteExtras.size(), 1u);
    EXPECT_EQ(score.doc.header.noteExtras[0].extra.graces.size(), 1u);
    EXPECT_FALSE(reports(score.report, QStringLiteral("grace notes dropped")));
    EXPECT_FALSE(reports(score.report, QStringLiteral("voices")));
}

// Lines a file tells apart by their names under one number ("Verse", "Chorus") keep a row
// each on a note that carries both: the later moves to the next verse free there.
TEST(Import, TwoSyllablesOfOneVerseOnANoteTakeRowsOfTheirOwn) {
    const auto note = [](const char* lyrics) {
        return QStringLiteral("<note><pitch><step>C</step><octave>4</octave></pitch>"
                              "<duration>1</duration><type>quarter</type>%1</note>")
            .arg(QString::fromLatin1(lyrics));
    };
    const Imported score = importBytes(scoreXml(
        {QStringLiteral("<attributes><divisions>1</divisions></attributes>") +
         note("<lyric number=\"1\" name=\"Verse\"><text>v</text></lyric>"
              "<lyric number=\"1\" name=\"Chorus\"><text>c</text></lyric>"
              "<lyric number=\"2\" name=\"Chorus\"><text>c2</text></lyric>") +
         note("<lyric number=\"1\"><text>a</text></lyric>"
              "<lyric number=\"2\"><text>b</text></lyric>")}));
    ASSERT_TRUE(score.ok()) << score.message.toStdString();
    EXPECT_EQ(versesOf(score.doc), (std::vector<std::vector<Syllable>>{
                                       {{0, 0, u"v"}, {0, 1, u"a"}},
                                       {{0, 0, u"c"}, {0, 1, u"b"}},
                                       {{0, 0, u"c2"}}}));
}

TEST(Import, PartsInListOrderAndEveryStaffAsATrack) {
    const Imported score = imported("piano.musicxml");
    // The piano's upper staff holds two voices: two tracks, voice 1 above voice 2.
    ASSERT_EQ(score.doc.noteTracks().size(), 4u);
    // The flute's melody is written without dots: the octave of "1" is chosen for it.
    EXPECT_EQ(trackText(score.doc, 0), "1 - | 2 - - |]");
    EXPECT_EQ(trackText(score.doc, 1), "3, 1 | #4, - - |]");
    EXPECT_EQ(trackText(score.doc, 2), "1, - | 0 0 0 |]");
    EXPECT_EQ(trackText(score.doc, 3), "1,,_ 0_ 5,,, | 0 0 0 |]");
    EXPECT_EQ(score.doc.header.partNames.size(), 2u);
    EXPECT_EQ(score.doc.header.keyLetter, 3);  // 1=D, the first key
    EXPECT_EQ(score.doc.header.timeNumerator, 2);
    // The key and time of the top part (the flute) are the score's: the piano's change to
    // 1=A is written in 1=D, the change to 3/4 of both is kept.
    ASSERT_EQ(score.doc.header.marks.size(), 1u);
    EXPECT_FALSE(score.doc.header.marks[0].keyChange);
    EXPECT_EQ(score.doc.header.marks[0].numerator, 3);
    const QStringList expected = {
        QStringLiteral("key signatures that differ from the first part's written in its key")};
    EXPECT_EQ(score.report, expected);
}

TEST(Import, ATimewiseScoreReadsAsItsPartwiseTwin) {
    const Imported partwise = imported("piano.musicxml");
    const Imported timewise = imported("timewise.musicxml");
    EXPECT_EQ(documentBytes(timewise.doc), documentBytes(partwise.doc));
    EXPECT_EQ(timewise.report, partwise.report);
}

TEST(Import, CompressedScoresAreFoundThroughTheirContainer) {
    const Imported plain = imported("pitches_in_g.musicxml");
    for (const char* name : {"compressed.mxl", "no_container.mxl"}) {
        const Imported compressed = imported(name);
        EXPECT_EQ(documentBytes(compressed.doc), documentBytes(plain.doc)) << name;
    }
}

TEST(Import, EmptyAndIrregularMeasuresKeepTheirLengths) {
    // A pickup, an empty measure, an overfull one and a short one in the middle.
    const Imported score = importBytes(scoreXml(
        {"<attributes><divisions>1</divisions><time><beats>3</beats><beat-type>4</beat-type>"
         "</time></attributes><note><pitch><step>C</step><octave>4</octave></pitch>"
         "<duration>1</duration></note>",
         "", "<note><pitch><step>D</step><octave>4</octave></pitch><duration>4</duration></note>",
         "<note><pitch><step>E</step><octave>4</octave></pitch><duration>2</duration></note>"}));
    ASSERT_TRUE(score.ok()) << score.message.toStdString();
    EXPECT_EQ(trackText(score.doc, 0), "1 | | 2 - - - | 3 - |");
    EXPECT_TRUE(score.report.isEmpty());
}

TEST(Import, NumbersReadAlikeInEveryFormAFileWritesThem) {
    // Plain digits are read the quick way, every other form as the C locale reads numbers:
    // both must give the same note. 2 divisions to the quarter make each duration a half note,
    // octave 5 the dotted 1.
    const auto note = [](const char* duration, const char* octave) {
        return QStringLiteral(
                   "<note><pitch><step>C</step><octave>%1</octave></pitch>"
                   "<duration>%2</duration></note>")
            .arg(QLatin1String(octave), QLatin1String(duration));
    };
    const char* const kForms[][2] = {
        {"4", "5"},          {"04", "05"},   {" 4\n", "\t5 "},
        {"4.0", "+5"},       {"4e0", "5"},   {"+4", "005"},
        {"0000000004", "5"}, {"40e-1", "5"}, {"000000004", "000000005"}};
    QStringList measures;
    for (const auto& [duration, octave] : kForms)
        measures.append(note(duration, octave));
    measures.front().prepend(QStringLiteral("<attributes><divisions>2</divisions></attributes>"));
    const Imported score = importBytes(scoreXml(measures));
    ASSERT_TRUE(score.ok()) << score.message.toStdString();
    EXPECT_EQ(trackText(score.doc, 0),
              "1 - | 1 - | 1 - | 1 - | 1 - | 1 - | 1 - | 1 - | 1 - |");
    // Ten digits are too many for an octave however they are read.
    EXPECT_FALSE(importBytes(scoreXml({note("1", "4294967301")})).ok());
}

// The report numbers measures as a musician does: after a pickup (here numbered 1 by its
// file), the first full measure is 1.
TEST(Import, TheReportNumbersMeasuresAsAMusicianDoes) {
    const QString quarter = QStringLiteral(
        "<note><pitch><step>C</step><octave>4</octave></pitch><duration>1</duration></note>");
    const QString dynamics = QStringLiteral(
        "<direction><direction-type><dynamics><f/></dynamics></direction-type></direction>");
    const QStringList pickup = {
        QStringLiteral("<attributes><divisions>1</divisions><time><beats>4</beats>"
                       "<beat-type>4</beat-type></time></attributes>") + quarter,
        quarter.repeated(4), dynamics + quarter.repeated(4), quarter.repeated(3)};
    const Imported withPickup = importBytes(scoreXml(pickup));
    ASSERT_TRUE(withPickup.ok()) << withPickup.message.toStdString();
    EXPECT_TRUE(reports(withPickup.report, QStringLiteral("1 dynamics dropped (first in measure 2)")))
        << withPickup.report.join(u'\n').toStdString();
    QStringList full = pickup;
    full.front() += quarter.repeated(3);
    const Imported withoutPickup = importBytes(scoreXml(full));
    EXPECT_TRUE(reports(withoutPickup.report, QStringLiteral("1 dynamics dropped (first in measure 3)")))
        << withoutPickup.report.join(u'\n').toStdString();
}

TEST(Import, ArcsAndSyllablesPastWhatALocationNamesAreReportedNotWrapped) {
    // A location names an item in 16 bits: items past the 32768th of a track can hold notes
    // but no arc or syllable can name them. They are reported rather than stored with an index
    // that wraps round onto another item.
    const QString quarter = QStringLiteral(
        "<note><pitch><step>C</step><octave>4</octave></pitch><duration>1</duration>");
    QStringList measures(8200, (quarter + QStringLiteral("</note>")).repeated(4));
    measures.front().prepend(QStringLiteral("<attributes><divisions>1</divisions></attributes>"));
    measures.back() = quarter + QStringLiteral("<tie type=\"start\"/></note>") + quarter +
                      QStringLiteral("<tie type=\"stop\"/><lyric><text>la</text></lyric></note>") +
                      (quarter + QStringLiteral("</note>")).repeated(2);
    const Imported score = importBytes(scoreXml(measures));
    ASSERT_TRUE(score.ok()) << score.message.toStdString();
    EXPECT_EQ(score.doc.noteTracks()[0].content.items.size(), 8200u * 5);
    EXPECT_TRUE(score.doc.formatRecords().empty());
    EXPECT_TRUE(score.doc.content.lyrics.items.empty());
    EXPECT_TRUE(
        reports(score.report, QStringLiteral("1 ties and slurs past the 32768th item of a track "
                                             "dropped (first in measure 8200)")));
    EXPECT_TRUE(reports(score.report, QStringLiteral("1 syllables past the 32768th item of a "
                                                     "track dropped (first in measure 8200)")));
}

}  // namespace
}  // namespace qe::test
