#include <gtest/gtest.h>

#include "music/note_marks.h"
#include "music/track_walk.h"
#include "musicxml/musicxml_file.h"
#include "musicxml/musicxml_support.h"
#include "musicxml/random_score.h"
#include "support/notation.h"

namespace qe::test {
namespace {

TEST(RoundTrip, TheBundledSampleComesBackByteForByte) {
    const QeDocument sample =
        loadDocument(QStringLiteral(QE_SOURCE_DIR "/resources/samples/jasmine.qe"));
    for (const bool compressed : {false, true}) {
        QStringList exportReport;
        const Imported back = throughMusicXml(sample, compressed, &exportReport);
        ASSERT_TRUE(back.ok()) << back.message.toStdString();
        EXPECT_TRUE(exportReport.isEmpty()) << exportReport.join(u'\n').toStdString();
        EXPECT_TRUE(back.report.isEmpty()) << back.report.join(u'\n').toStdString();
        EXPECT_EQ(documentBytes(back.doc), documentBytes(sample));
    }
}

TEST(RoundTrip, TheTempoMarkComesBackAsAMetronomeMarkAndItsText) {
    for (const TempoMark& mark : {TempoMark{4, false, 96, u"中速"}, TempoMark{4, true, 60, u""},
                                  TempoMark{8, false, 132, u"Allegro"}}) {
        QeDocument doc = scoreWithShapes({"1 2 3 4 | 5 - - - |]"});
        doc.header.tempo = mark;
        doc.header.comment1 = u"优美地";
        const Imported back = throughMusicXml(doc, false);
        ASSERT_TRUE(back.ok()) << back.message.toStdString();
        EXPECT_EQ(back.doc.header.tempo, mark);
        EXPECT_EQ(back.doc.header.comment1, u"优美地");
        EXPECT_TRUE(back.report.isEmpty()) << back.report.join(u'\n').toStdString();
    }
    // A file with only a tempo to play at gives a quarter-note mark of that number.
    const Imported sound = importBytes(scoreXml(
        {R"(<direction><direction-type><words>Lento</words></direction-type><sound tempo="52.4"/></direction>
           <note><pitch><step>C</step><octave>4</octave></pitch><duration>4</duration><type>whole</type></note>)"}));
    ASSERT_TRUE(sound.ok()) << sound.message.toStdString();
    EXPECT_EQ(sound.doc.header.tempo, (TempoMark{4, false, 52, u""}));
}

TEST(RoundTrip, PartNamesComeBackAsPrintedPartNamesAndAbbreviations) {
    QeDocument doc = scoreWithShapes({"1 2 3 4 |]", "5 6 7 1 |]", "3 3 3 3 |]"});
    doc.header.partNames = {{u"女高音", u"S."}, {}, {u"Bass", u""}};
    const Imported back = throughMusicXml(doc, true);
    ASSERT_TRUE(back.ok()) << back.message.toStdString();
    EXPECT_EQ(back.doc.header.partNames, doc.header.partNames);
    EXPECT_EQ(documentBytes(back.doc), documentBytes(doc));
}

// Key, time and tempo changes, free meter, jumps and labelled endings go out as attributes,
// directions and endings, and come back as the same marks and labels.
TEST(RoundTrip, MeasureMarksAndEndingLabelsComeBack) {
    QeDocument doc = scoreWithShapes(
        {"1 2 3 4 |: 5 6 7 1' | { 2' 1' 7 6 :| } { 5 - - - | } 3 2 1 | 3 2 | 1 - - || 5 - |]",
         "1 1 1 1 |: 1 1 1 1 | 1 1 1 1 :| 1 - - - | 1 1 1 | 1 1 | 1 - - || 1 - |]"});
    doc.header.keyLetter = 2;
    doc.header.tempo = TempoMark{4, false, 96, u"中速"};
    extension::put(doc.header.extension, extension::kVoltaLabels,
                   extension::encodeVoltaLabels({{1, u"2."}}));
    MeasureMark segno;
    segno.measure = 1;
    segno.jumps = jump::kSegno;
    MeasureMark change;
    change.measure = 4;
    change.keyChange = true;
    change.keyLetter = 3;  // 1=D
    change.meterChange = true;
    change.numerator = 3;
    change.denominator = 4;
    change.tempo = TempoMark{4, false, 72, u"稍慢"};
    change.jumps = jump::kToCoda;
    MeasureMark free;
    free.measure = 5;
    free.meterChange = true;
    free.numerator = free.denominator = 0;
    MeasureMark back;
    back.measure = 6;
    back.jumps = jump::kDalSegno | jump::kAlCoda;
    MeasureMark coda;
    coda.measure = 7;
    coda.jumps = jump::kCoda;
    doc.header.marks = {segno, change, free, back, coda};

    const Imported out = throughMusicXml(doc, false);
    ASSERT_TRUE(out.ok()) << out.message.toStdString();
    EXPECT_TRUE(out.report.isEmpty()) << out.report.join(u'\n').toStdString();
    EXPECT_EQ(out.doc.header.marks, doc.header.marks);
    EXPECT_EQ(out.doc.noteTracks()[0].content.items, doc.noteTracks()[0].content.items);
    EXPECT_EQ(out.doc.noteTracks()[1].content.items, doc.noteTracks()[1].content.items);
    const ExtensionEntry* labels =
        extension::find(out.doc.header.extension, extension::kVoltaLabels);
    ASSERT_TRUE(labels);
    EXPECT_EQ(extension::decodeVoltaLabels(labels->bytes),
              (extension::VoltaLabels{{1, u"2."}}));

    // A score in free meter from the start, with its measure numbers printed.
    QeDocument loose = scoreWithShapes({"5 6 1' 2' 1' 6 5 - | 3 5 6 - |]"});
    loose.header.freeMeter = true;
    loose.header.measureNumbers = true;
    const Imported looseBack = throughMusicXml(loose, true);
    ASSERT_TRUE(looseBack.ok()) << looseBack.message.toStdString();
    EXPECT_TRUE(looseBack.doc.header.freeMeter);
    EXPECT_TRUE(looseBack.doc.header.measureNumbers);
    EXPECT_EQ(documentBytes(looseBack.doc), documentBytes(loose));
}

// Tuplets (side by side, with a dotted note, nested, in 6/8), chords with accidentals and
// octave dots, grace notes before and after, articulations and chord symbols: the same
// records and extras come back, and nothing is reported either way.
TEST(RoundTrip, NotesBeyondDigitsComeBack) {
    QeDocument doc = scoreWithShapes({"1_ 2_ 3_ 4_ . 5__ 6_ 1 2 | 3 2_ 1_ 7,_ 6, | 1 - - 0 |]",
                                      "1 - 3 4 | 5 - 6 - | 5 - - - |]"});
    doc.header.keyLetter = 2;
    addTuplet(doc, 0, 0, 2, 3, 2);
    addTuplet(doc, 0, 3, 6, 3, 2);  // a dotted eighth, a sixteenth, an eighth
    addTuplet(doc, 0, 10, 14, 5, 4);
    // A chord's record holds its highest tone, as the import writes chords.
    doc.noteTracks()[0].content.items[7] = note(0, 1, 1, 0);
    changeExtra(doc, 0, 7, [](NoteExtra& e) {
        e.tones = {{3, 0, 0}, {5, 0, 1}, {1, 0, 0}};
        e.chordSymbol = u"C";
        e.articulations = articulation::kAccent | articulation::kStaccato;
    });
    changeExtra(doc, 0, 8, [](NoteExtra& e) {
        e.graces = {{{3, 0, 0}, 2, false}, {{4, 0, 2}, 2, false}, {{1, 0, 0}, 1, true}};
        e.chordSymbol = u"G7/B";
    });
    changeExtra(doc, 0, 16, [](NoteExtra& e) {
        e.articulations = articulation::kFermata;
        e.chordSymbol = u"F#m7b5";
    });
    changeExtra(doc, 0, 19, [](NoteExtra& e) {
        e.articulations = articulation::kFermata | articulation::kTenuto;
    });
    changeExtra(doc, 0, 1, [](NoteExtra& e) { e.articulations |= articulation::kTenuto; });
    changeExtra(doc, 1, 0, [](NoteExtra& e) { e.tones = {{5, -1, 0}}; });
    doc.noteTracks()[0].content.items[11] = note(0, 2, 0, 2);  // 5:4 over 3 2__ 1__ ...
    for (const bool compressed : {false, true}) {
        QStringList exportReport;
        const Imported back = throughMusicXml(doc, compressed, &exportReport);
        ASSERT_TRUE(back.ok()) << back.message.toStdString();
        EXPECT_TRUE(exportReport.isEmpty()) << exportReport.join(u'\n').toStdString();
        EXPECT_TRUE(back.report.isEmpty()) << back.report.join(u'\n').toStdString();
        EXPECT_EQ(back.doc.noteTracks()[0].content.items, doc.noteTracks()[0].content.items);
        EXPECT_EQ(back.doc.noteTracks()[1].content.items, doc.noteTracks()[1].content.items);
        EXPECT_EQ(back.doc.header.noteExtras, doc.header.noteExtras);
    }
    // A tuplet nested in another comes back nested: numbered brackets name each level.
    QeDocument nested = scoreWithShapes({"1 2_ 3_ 4_ 5 | 1__ 2__ 3__ 4__ 5__ 6 7 1' 2' |]"});
    addTuplet(nested, 0, 0, 4, 3, 2);
    addTuplet(nested, 0, 1, 3, 3, 2, 1);
    addTuplet(nested, 0, 6, 12, 3, 2);
    addTuplet(nested, 0, 6, 10, 5, 4, 1);
    const Imported back = throughMusicXml(nested, false);
    ASSERT_TRUE(back.ok()) << back.message.toStdString();
    EXPECT_TRUE(back.report.isEmpty()) << back.report.join(u'\n').toStdString();
    EXPECT_EQ(back.doc.noteTracks()[0].content.items, nested.noteTracks()[0].content.items);
    EXPECT_EQ(back.doc.header.noteExtras, nested.header.noteExtras);
    const auto starts = [](const QeDocument& d) {
        std::vector<music::Ticks> out;
        const std::vector<music::TrackWalk> walks = test::walkRecords(d);
        for (const music::SoundingNote& n : walks.at(0).notes)
            out.push_back(n.start);
        return out;
    };
    EXPECT_EQ(starts(back.doc), starts(nested));
}

// The pitches every track sounds, in order, chord tones and grace notes included.
std::vector<std::vector<int>> soundsOf(const QeDocument& doc) {
    std::vector<std::vector<int>> out;
    for (const music::TrackWalk& walk : test::walkRecords(doc)) {
        std::vector<int>& track = out.emplace_back();
        for (const music::SoundingNote& n : walk.notes) {
            track.push_back(n.pitch ? n.pitch->midi() : -1);
            for (const music::Pitch& p : n.chord)
                track.push_back(p.midi());
            for (const music::GraceSound& g : n.graces)
                track.push_back(g.pitch.midi());
        }
    }
    return out;
}

// A score comes back sounding as it was; the octave of its "1" may move to the one that
// writes it with the fewest dots, after which it comes back byte for byte.
TEST(RoundTrip, RandomScoresComeBackByteForByte) {
    int notes = 0, arcs = 0, brackets = 0, syllables = 0, moved = 0;
    for (std::uint32_t seed = 1; seed <= 200; ++seed) {
        SCOPED_TRACE(seed);
        const QeDocument original = randomScore(seed);
        const Imported once = throughMusicXml(original, false);
        ASSERT_TRUE(once.ok()) << once.message.toStdString();
        EXPECT_EQ(soundsOf(once.doc), soundsOf(original));
        moved += once.doc.header.tonicShift != original.header.tonicShift ? 1 : 0;
        const QeDocument& doc = once.doc;
        QStringList exportReport;
        const Imported back = throughMusicXml(doc, seed % 10 == 0, &exportReport);
        ASSERT_TRUE(back.ok()) << back.message.toStdString();
        EXPECT_TRUE(exportReport.isEmpty()) << exportReport.join(u'\n').toStdString();
        // Only the labels of brackets after the first in a row are not kept.
        for (const QString& line : back.report)
            EXPECT_TRUE(line.contains(QStringLiteral("volta bracket numbers")))
                << line.toStdString();
        if (documentBytes(back.doc) != documentBytes(doc)) {
            for (std::size_t t = 0; t < doc.noteTracks().size(); ++t)
                EXPECT_EQ(trackText(back.doc, t), trackText(doc, t)) << "track " << t;
            ADD_FAILURE() << "the document changed";
        }
        for (const note_track& track : doc.noteTracks())
            for (const note& n : track.content.items)
                notes += n.isNoteLike() && !n.isMark() ? 1 : 0;
        for (const Format& f : doc.formatRecords())
            ++(f.type == Format::kArc ? arcs : brackets);
        for (const lyrics_track& verse : doc.content.lyrics.items)
            syllables += static_cast<int>(verse.content.items.size());
    }
    // The scores hold what they are meant to test.
    EXPECT_GT(notes, 5000);
    EXPECT_GT(arcs, 500);
    EXPECT_GT(brackets, 50);
    EXPECT_GT(syllables, 1000);
    EXPECT_GT(moved, 10);
}

}  // namespace
}  // namespace qe::test
