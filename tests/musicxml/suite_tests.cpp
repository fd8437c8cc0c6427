#include <gtest/gtest.h>

#include <QDir>
#include <QXmlStreamReader>
#include <cstdio>
#include <map>
#include <set>

#include "music/track_walk.h"
#include "musicxml/musicxml_support.h"
#include "musicxml/report_texts.h"
#include "support/notation.h"

namespace qe::test {
namespace {

// What a suite file holds that the document cannot: read straight from the XML, apart from the
// importer.
struct Holds {
    bool chords = false;
    bool voices = false;  // two voices with notes on one staff in one measure
    bool tuplets = false;
    bool graces = false;
};

Holds holdsOf(const QByteArray& xml) {
    Holds holds;
    // part/measure/staff → voices with notes
    std::map<QString, std::set<QString>> voicesOfStaff;
    QXmlStreamReader in(xml);
    QString part, measure;
    while (!in.atEnd()) {
        in.readNext();
        if (!in.isStartElement())
            continue;
        if (in.name() == u"part" && in.attributes().hasAttribute(QStringLiteral("id")))
            part = in.attributes().value(QStringLiteral("id")).toString();
        if (in.name() == u"measure")
            measure = in.attributes().value(QStringLiteral("number")).toString();
        if (in.name() != u"note")
            continue;
        QString voice = QStringLiteral("1"), staff = QStringLiteral("1");
        bool rest = false, grace = false, cue = false;
        int depth = 1;
        while (depth > 0 && !in.atEnd()) {
            in.readNext();
            if (in.isEndElement()) {
                --depth;
                continue;
            }
            if (!in.isStartElement())
                continue;
            ++depth;
            const QStringView name = in.name();
            holds.chords = holds.chords || name == u"chord";
            holds.tuplets = holds.tuplets || name == u"time-modification";
            grace = grace || name == u"grace";
            cue = cue || name == u"cue";
            rest = rest || name == u"rest";
            if (name == u"voice" || name == u"staff") {
                const QString text = in.readElementText().trimmed();
                --depth;
                (name == u"voice" ? voice : staff) = text;
            }
        }
        holds.graces = holds.graces || grace;
        if (!rest && !grace && !cue)
            voicesOfStaff[part + u'/' + measure + u'/' + staff].insert(voice);
    }
    for (const auto& [staff, voices] : voicesOfStaff)
        holds.voices = holds.voices || voices.size() > 1;
    return holds;
}

class Suite : public ::testing::Test {
protected:
    void SetUp() override {
        folder = suiteFolder();
        if (folder.isEmpty())
            GTEST_SKIP() << "the MusicXML test suite is not beside the project (set "
                            "QE_MUSICXML_SUITE to its folder to run these tests)";
    }
    QStringList files() const {
        return QDir(folder).entryList({QStringLiteral("*.xml"), QStringLiteral("*.mxl")},
                                      QDir::Files, QDir::Name);
    }
    QString folder;
};

TEST_F(Suite, EveryFileImportsOrIsRefusedAndReportsWhatItDrops) {
    const bool dump = qEnvironmentVariableIsSet("QE_DUMP_SUITE");
    for (const QString& name : files()) {
        SCOPED_TRACE(name.toStdString());
        const QByteArray bytes = readFile(folder + u'/' + name);
        const Imported imported = importBytes(bytes);
        if (dump) {
            std::printf("== %s %s\n", qPrintable(name), imported.ok() ? "imported" : "REFUSED");
            if (!imported.ok())
                std::printf("   error: %s\n", qPrintable(imported.message));
            for (const QString& line : imported.report)
                std::printf("   report: %s\n", qPrintable(line));
            for (std::size_t t = 0; imported.ok() && t < imported.doc.noteTracks().size(); ++t)
                std::printf("   track %zu: %s\n", t, trackText(imported.doc, t).c_str());
        }
        if (!imported.ok()) {
            EXPECT_FALSE(imported.message.isEmpty());
            continue;
        }
        // The window tells every kind in Chinese, with every place it happened.
        for (const musicxml::ReportKind& kind : imported.kinds) {
            EXPECT_TRUE(musicxml::hasChineseReportText(kind.what)) << kind.what.toStdString();
            int placed = 0;
            for (const musicxml::ReportKind::Place& place : kind.places)
                placed += place.count;
            EXPECT_EQ(placed, kind.count) << kind.what.toStdString();
        }
        ASSERT_FALSE(imported.doc.noteTracks().empty());
        if (name.endsWith(u".mxl"))
            continue;
        const Holds holds = holdsOf(bytes);
        // Chords, tuplets, grace notes and voices are kept: a staff of two voices is two
        // tracks.
        EXPECT_FALSE(reports(imported.report, QStringLiteral("chord notes dropped")));
        EXPECT_FALSE(reports(imported.report, QStringLiteral("voices")));
        if (holds.voices)
            EXPECT_GE(imported.doc.noteTracks().size(), 2u);
        EXPECT_FALSE(reports(imported.report, QStringLiteral("tuplet notes")));
        // Grace notes go with a note of their voice on their staff; those written on another
        // staff than any note (24e) have none.
        if (!name.startsWith(u"24e"))
            EXPECT_FALSE(reports(imported.report, QStringLiteral("grace notes dropped")));
        (void)holds.chords;
        (void)holds.tuplets;
        (void)holds.graces;
    }
}

// A file that imports with nothing to report holds only what the document can hold: its
// export imports as the same document, byte for byte.
TEST_F(Suite, WhatImportsWithoutAReportComesBackFromItsExportUnchanged) {
    int clean = 0;
    for (const QString& name : files()) {
        SCOPED_TRACE(name.toStdString());
        const Imported first = importFile(folder + u'/' + name);
        if (!first.ok() || !first.report.isEmpty())
            continue;
        ++clean;
        QStringList exportReport;
        const Imported back = throughMusicXml(first.doc, false, &exportReport);
        ASSERT_TRUE(back.ok()) << back.message.toStdString();
        EXPECT_TRUE(exportReport.isEmpty()) << exportReport.join(u'\n').toStdString();
        EXPECT_TRUE(back.report.isEmpty()) << back.report.join(u'\n').toStdString();
        if (documentBytes(back.doc) != documentBytes(first.doc)) {
            for (std::size_t t = 0; t < first.doc.noteTracks().size(); ++t)
                if (t < back.doc.noteTracks().size())
                    EXPECT_EQ(trackText(back.doc, t), trackText(first.doc, t)) << "track " << t;
            ADD_FAILURE() << "the document changed";
        }
    }
    EXPECT_GT(clean, 100);
}

// The suite's files of tuplets, chords, grace notes, fermatas and chord symbols import with
// every one of them kept: nothing of these is reported.
TEST_F(Suite, NotesBeyondDigitsComeThroughWithoutAReport) {
    const char* const kFiles[] = {
        "21a-Chord-Basic.xml", "21b-Chords-TwoNotes.xml", "21c-Chords-ThreeNotesDuration.xml",
        "21d-Chords-SchubertStabatMater.xml", "21e-Chords-PickupMeasures.xml",
        "21f-Chord-ElementInBetween.xml", "21h-Chord-Accidentals.xml", "23a-Tuplets.xml",
        "23b-Tuplets-Styles.xml", "23c-Tuplet-Display-NonStandard.xml", "23d-Tuplets-Nested.xml",
        "23e-Tuplets-Tremolo.xml", "23f-Tuplets-DurationButNoBracket.xml", "24a-GraceNotes.xml",
        "24b-ChordAsGraceNote.xml", "24c-GraceNote-MeasureEnd.xml", "24d-AfterGrace.xml",
        "24f-GraceNote-Slur.xml", "24g-GraceNote-Dynamics.xml", "32a-Notations.xml",
        "71a-Chordnames.xml", "71c-ChordsFrets.xml", "71d-ChordsFrets-Multistaff.xml",
        "71e-TabStaves.xml"};
    const QStringList topics = {QStringLiteral("chord"), QStringLiteral("tuplet"),
                                QStringLiteral("grace"), QStringLiteral("fermata"),
                                QStringLiteral("staccato"), QStringLiteral("accent")};
    int extras = 0;
    for (const char* file : kFiles) {
        SCOPED_TRACE(file);
        const Imported imported = importFile(folder + u'/' + QString::fromLatin1(file));
        ASSERT_TRUE(imported.ok()) << imported.message.toStdString();
        for (const QString& line : imported.report)
            for (const QString& topic : topics)
                EXPECT_FALSE(line.contains(topic)) << line.toStdString();
        extras += static_cast<int>(imported.doc.header.noteExtras.size());
        // What is kept is timed as written: every full measure fills its meter.
        const auto walks = test::walkRecords(imported.doc);
        for (const music::TrackWalk& w : walks)
            for (std::size_t m = 1; m + 1 < w.measures.size(); ++m)
                EXPECT_EQ(w.measures[m].length % 15, 0) << "measure " << m;
    }
    EXPECT_GT(extras, 100);
}

// Files of one voice, imported note by note: pitches, rhythm, keys, repeats and endings,
// bar lines and verses.
TEST_F(Suite, SingleVoiceFilesImportNoteByNote) {
    const auto times = [](const std::string& measure, int n) {
        std::string out;
        for (int i = 0; i < n; ++i)
            out += measure;
        return out;
    };
    const std::string rests = "0 0 0 0";
    struct Exact {
        const char* file;
        std::string track;
        std::vector<Span> formats;
        std::vector<std::vector<Syllable>> verses;
    };
    const Exact kFiles[] = {
        {"01a-Pitches-Pitches.xml",
         "5,, 6,, 7,, 1, | 2, 3, 4, 5, | 6, 7, 1 2 | 3 4 5 6 | 7 1' 2' 3' | 4' 5' 6' 7' | "
         "1'' 2'' 3'' 4'' | 5'' 6'' 7'' 1''' | #5,, #6,, #7,, #1, | #2, #3, #4, #5, | "
         "#6, #7, #1 #2 | #3 #4 #5 #6 | #7 #1' #2' #3' | #4' #5' #6' #7' | #1'' #2'' #3'' #4'' | "
         "#5'' #6'' #7'' #1''' | b5,, b6,, b7,, b1, | b2, b3, b4, b5, | b6, b7, b1 b2 | "
         "b3 b4 b5 b6 | b7 b1' b2' b3' | b4' b5' b6' b7' | b1'' b2'' b3'' b4'' | "
         "b5'' b6'' b7'' b1''' | n3 n4 n5 n6 | n7 n1' n2' n3' | x1' B1' #1' #1' |]",
         {},
         {}},
        {"01c-Pitches-NoVoiceElement.xml", "5 - - - |]", {}, {{{0, 0, u"A"}}}},
        {"03c-Rhythm-DivisionChange.xml", "1 1 1 1 | 1 - 1 - |]", {}, {}},
        // The same F under a key that changes every two measures, by fifths: in every key
        // the octave of its "1" is the one that writes the F without a dot.
        {"13a-KeySignatures.xml",
         "4 - | 4 - | b7 - | b7 - | b3 - | b3 - | #5 - | #5 - | #1 - | #1 - | #4 - | #4 - | "
         "7 - | 7 - | 3 - | 3 - | 6 - | 6 - | 2 - | 2 - | 5 - | 5 - | 1 - | 1 - | 4 - | 4 - | "
         "b7 - | b7 - | b3 - | b3 - | b6 - | b6 - | b2 - | b2 - | b5 - | b5 - | b1 - | b1 - | "
         "b4 - | b4 - | B7 - | B7 - | B3 - | B3 - | B6 - | B6 - |]",
         {},
         {}},
        {"45a-SimpleRepeat.xml", rests + " :| " + rests + " |]", {}, {}},
        {"45b-RepeatWithAlternatives.xml",
         "1 - - - | 1 - - - :| 1 - - - | 1 - - - |]",
         {{4, 0, 9, 9}, {4, 0, 14, 14}},
         {}},
        {"45c-SimpleRepeat-Nested.xml",
         rests + " |: " + rests + " | " + rests + " :| " + times(rests + " | ", 3) + rests +
             " :| " + rests + " |]",
         {},
         {}},
        {"45e-Repeats-Combination.xml",
         rests + " | " + rests + " :| " + rests + " | " + rests + " |: " + rests + " :| |: " +
             rests + " | " + rests + " :| |: " + rests + " | " + rests + " :| " + rests + " |]",
         {{4, 0, 9, 9}, {4, 0, 14, 14}, {4, 0, 35, 35}, {4, 0, 41, 41}},
         {}},
        {"45j-SimpleRepeat-Start.xml", "|: " + rests + " :| " + rests + " |]", {}, {}},
        {"46a-Barlines.xml",
         times(rests + " | ", 2) + rests + " |. " + rests + " |. " + rests + " |1 " + rests +
             " || " + rests + " |] " + rests + " || " + rests + " || " + rests + " | " + rests +
             " | " + rests + " / " + rests + " |",
         {},
         {}},
        {"61a-Lyrics.xml",
         "6 6 6 6 | 6 6 6 6 | 6 6 6 - |]",
         {},
         {{{0, 0, u"Tra-"},
           {0, 1, u"la-"},
           {0, 2, u"li"},
           {0, 3, u"Ja!"},
           {0, 6, u"Tra-"},
           {0, 8, u"ra!"},
           {0, 11, u"Bah!"}}}},
        {"61b-MultipleLyrics.xml",
         "5 5 5 5 | 5 5 5 5 |]",
         {},
         {{{0, 0, u"1.Tra-"},
           {0, 1, u"la-"},
           {0, 2, u"la,"},
           {0, 3, u"ja!"},
           {0, 6, u"Tra-"},
           {0, 8, u"ra..."}},
          {{0, 0, u"2.-4./5. tra-"},
           {0, 1, u"la-"},
           {0, 2, u"la,"},
           {0, 3, u"ja!"},
           {0, 6, u"Tra-"},
           {0, 8, u"ra."}},
          {{0, 0, u"6., 7.TRA-"},
           {0, 1, u"LA-"},
           {0, 2, u"LA,"},
           {0, 3, u"JA!"},
           {0, 6, u"TRA-"},
           {0, 8, u"RA..."}}}},
    };
    for (const Exact& exact : kFiles) {
        SCOPED_TRACE(exact.file);
        const Imported imported = importFile(folder + u'/' + QString::fromLatin1(exact.file));
        ASSERT_TRUE(imported.ok()) << imported.message.toStdString();
        ASSERT_EQ(imported.doc.noteTracks().size(), 1u);
        EXPECT_EQ(trackText(imported.doc, 0), exact.track);
        EXPECT_EQ(formatsOf(imported.doc), exact.formats);
        EXPECT_EQ(versesOf(imported.doc), exact.verses);
    }
}

}  // namespace
}  // namespace qe::test
