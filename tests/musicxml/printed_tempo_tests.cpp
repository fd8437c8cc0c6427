#include <gtest/gtest.h>

#include "musicxml/metronome_number.h"
#include "musicxml/musicxml_file.h"
#include "musicxml/musicxml_support.h"
#include "support/notation.h"

namespace qe::test {
namespace {

using musicxml::readMetronomeNumber;

// What a <per-minute> prints is read as the musician reads it: ranges and "c." numbers are
// kept as printed (a range with an en dash) and play at their middle; other texts are none.
TEST(PrintedTempo, PerMinuteTextsReadAsPrinted) {
    struct Case {
        const char* text;
        double beats;
        const char* printed;
    };
    for (const Case& c : {Case{"96", 96, ""}, Case{" 72.5 ", 72.5, ""}, Case{"100 - 110", 105, "100–110"},
                          Case{"60-66", 63, "60–66"}, Case{"60–66", 63, "60–66"},
                          Case{"c. 60", 60, "c. 60"}, Case{"ca.  72", 72, "ca. 72"},
                          Case{"c. 100 to 120", 110, "c. 100–120"}}) {
        const auto number = readMetronomeNumber(QString::fromUtf8(c.text));
        ASSERT_TRUE(number) << c.text;
        EXPECT_EQ(number->beats, c.beats) << c.text;
        EXPECT_EQ(number->printed, QString::fromUtf8(c.printed)) << c.text;
    }
    for (const char* none : {"", "fast", "0", "2000", "60-5000", "1 2 3", "-60",
                             "a very long text with a number 60 in it somewhere"})
        EXPECT_FALSE(readMetronomeNumber(QString::fromUtf8(none))) << none;
    // The tempo a sound plays, in quarters, as beats of the mark.
    EXPECT_EQ(musicxml::beatsOfQuarters(158, 4, true), 105);
    EXPECT_EQ(musicxml::beatsOfQuarters(60, 8, false), 120);
    EXPECT_EQ(musicxml::beatsOfQuarters(100, 2, false), 50);
    EXPECT_EQ(musicxml::beatsOfQuarters(0, 4, false), 0);
}

// A folk song prints "♩. = 100 - 110" and plays at the sound's 158 quarters a minute: the mark
// keeps its dotted beat and its printed range, and holds the tempo played, 105 dotted
// quarters. A later "c. 60" with no sound plays at 60.
TEST(PrintedTempo, TheMarkPrintsTheFilesNumberAndPlaysTheSoundsTempo) {
    const Imported score = importFile(dataFile(QStringLiteral("printed_tempo.musicxml")));
    ASSERT_TRUE(score.ok()) << score.message.toStdString();
    EXPECT_TRUE(score.report.isEmpty()) << score.report.join(u'\n').toStdString();
    EXPECT_EQ(score.doc.header.tempo, (TempoMark{4, true, 105, u"", u"100–110"}));
    EXPECT_EQ(score.doc.header.tempo.quartersPerMinute(), 158);
    ASSERT_EQ(score.doc.header.marks.size(), 1u);
    EXPECT_EQ(score.doc.header.marks[0].tempo, (TempoMark{4, false, 60, u"", u"c. 60"}));

    // Exported, the mark prints its text and sounds the tempo played; imported again, it is
    // the same document byte for byte.
    QByteArray xml;
    ASSERT_TRUE(musicxml::exportMusicXml(*scoreFrom(score.doc), false, xml).ok());
    EXPECT_TRUE(xml.contains("<beat-unit-dot/><per-minute>100–110</per-minute></metronome>"
                             "</direction-type><sound tempo=\"158\"/>"))
        << xml.toStdString();
    EXPECT_TRUE(xml.contains("<per-minute>c. 60</per-minute>"));
    const Imported back = importBytes(xml);
    ASSERT_TRUE(back.ok()) << back.message.toStdString();
    EXPECT_EQ(documentBytes(back.doc), documentBytes(score.doc));
}

// A plain number stays as it was: its sound does not change the number printed, and the
// document holds no printed text.
TEST(PrintedTempo, APlainNumberIsPrintedAndPlayedAsBefore) {
    const Imported score = importBytes(scoreXml(
        {QStringLiteral("<attributes><divisions>1</divisions></attributes>"
                        "<direction><direction-type><metronome><beat-unit>quarter</beat-unit>"
                        "<per-minute>96</per-minute></metronome></direction-type>"
                        "<sound tempo=\"100\"/></direction>"
                        "<note><pitch><step>C</step><octave>4</octave></pitch>"
                        "<duration>4</duration><type>whole</type></note>")}));
    ASSERT_TRUE(score.ok()) << score.message.toStdString();
    EXPECT_EQ(score.doc.header.tempo, (TempoMark{4, false, 96, u""}));
}

}  // namespace
}  // namespace qe::test
