#include <gtest/gtest.h>

#include "musicxml/musicxml_support.h"

// How long each imported measure is: time the file passes without printing anything, and
// parts whose measures disagree.
namespace qe::test {
namespace {

// A score of several parts, each a list of measures of MusicXML music data (1 division to the
// quarter unless a measure sets others); measure i of every part is numbered `numbers[i]`, or
// i + 1 when none are given.
QByteArray partsXml(const std::vector<QStringList>& parts, const QStringList& numbers = {}) {
    QString xml = QStringLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<score-partwise version=\"4.0\">\n"
        "<part-list>");
    for (std::size_t p = 0; p < parts.size(); ++p)
        xml += QStringLiteral("<score-part id=\"P%1\"><part-name>Part %1</part-name></score-part>")
                   .arg(p + 1);
    xml += QStringLiteral("</part-list>\n");
    for (std::size_t p = 0; p < parts.size(); ++p) {
        xml += QStringLiteral("<part id=\"P%1\">\n").arg(p + 1);
        for (int m = 0; m < parts[p].size(); ++m)
            xml += QStringLiteral("<measure number=\"%1\">%2</measure>\n")
                       .arg(m < numbers.size() ? numbers[m] : QString::number(m + 1), parts[p][m]);
        xml += QStringLiteral("</part>\n");
    }
    return (xml + QStringLiteral("</score-partwise>\n")).toUtf8();
}

QString note(const char* step, int quarters, const char* voice = "1") {
    return QStringLiteral(
               "<note><pitch><step>%1</step><octave>4</octave></pitch>"
               "<duration>%2</duration><voice>%3</voice></note>")
        .arg(QLatin1String(step))
        .arg(quarters)
        .arg(QLatin1String(voice));
}

QString forward(int quarters, const char* voice = "1") {
    return QStringLiteral("<forward><duration>%1</duration><voice>%2</voice></forward>")
        .arg(quarters)
        .arg(QLatin1String(voice));
}

QString backup(int quarters) {
    return QStringLiteral("<backup><duration>%1</duration></backup>").arg(quarters);
}

const QString kThreeFour = QStringLiteral(
    "<attributes><divisions>1</divisions><time><beats>3</beats><beat-type>4</beat-type></time>"
    "</attributes>");

Imported imported(const QByteArray& xml) {
    Imported score = importBytes(xml);
    EXPECT_TRUE(score.ok()) << score.message.toStdString();
    return score;
}

TEST(BlankTime, AtTheEdgesOfAMeasureItIsLeftOutAsAHiddenRestIs) {
    // A chorale's pickup completed by blank time in front, and its last measure ending on
    // time the file does not print: neither is a rest on the page.
    const Imported score = imported(partsXml(
        {{kThreeFour + forward(2) + note("G", 1), note("C", 3), note("E", 2) + forward(1)},
         {kThreeFour + forward(2) + note("C", 1), note("E", 3), note("C", 2) + forward(1)}}));
    EXPECT_EQ(trackText(score.doc, 0), "5 | 1 - - | 3 - |");
    EXPECT_EQ(trackText(score.doc, 1), "1 | 3 - - | 1 - |");
    EXPECT_TRUE(score.report.isEmpty()) << score.report.join(u'\n').toStdString();
}

TEST(BlankTime, InsideTheMusicItKeepsItsTimeAsRestsAndIsReported) {
    const Imported score =
        imported(partsXml({{kThreeFour + note("C", 1) + forward(1) + note("E", 1), note("G", 3)}}));
    EXPECT_EQ(trackText(score.doc, 0), "1 0 3 | 5 - - |");
    EXPECT_EQ(score.report,
              QStringList{QStringLiteral("1 time printed blank inside measures written as rests "
                                         "(first in measure 1)")});
}

TEST(BlankTime, ASecondVoiceThatEntersLateKeepsItsPlaceUnderTheFirst) {
    // Voice 2 passes its first two beats blank under voice 1, which sounds there: the time is
    // inside the measure, so the second voice's track keeps it.
    const Imported score = imported(
        partsXml({{kThreeFour + note("E", 3) + backup(3) + forward(2, "2") + note("C", 1, "2")}}));
    EXPECT_EQ(trackText(score.doc, 0), "3 - - |");
    EXPECT_EQ(trackText(score.doc, 1), "0 0 1 |");
}

TEST(PartsThatDisagree, AShorterMeasureEndsInSilenceAndIsReported) {
    // An extra measure numbered "X1": three beats in the trumpet, one in the voice. The
    // tracks' measures line up at their bar lines, so the voice's stays as it is printed and
    // ends in silence; from there on both stand on the same beats.
    const Imported score = imported(partsXml(
        {{kThreeFour + note("C", 3), note("E", 1) + note("G", 2), note("C", 3), note("G", 3)},
         {kThreeFour + note("E", 3), note("G", 1), note("E", 3), note("C", 2)}},
        {"1", "X1", "2", "3"}));
    EXPECT_EQ(trackText(score.doc, 0), "1 - - | 3 5 - | 1 - - | 5 - - |");
    EXPECT_EQ(trackText(score.doc, 1), "3 - - | 5 | 3 - - | 1 - |");
    // The report counts the measures as the editor does: "X1" is the second, "3" the fourth.
    EXPECT_EQ(score.report,
              QStringList{QStringLiteral("2 measures shorter than in other parts lined up at "
                                         "their bar lines (first in measure 2)")});
    ASSERT_EQ(score.kinds.size(), 1u);
    EXPECT_EQ(score.kinds[0].places, (std::vector<musicxml::ReportKind::Place>{
                                         {QStringLiteral("2"), QStringLiteral("Part 2"), 1},
                                         {QStringLiteral("4"), QStringLiteral("Part 2"), 1}}));

    // Written back, the short measure is as long as the others' with its end left blank, so
    // that any reader keeps the parts together; read again it is the same document.
    const Imported back = throughMusicXml(score.doc, false);
    EXPECT_TRUE(back.report.isEmpty()) << back.report.join(u'\n').toStdString();
    EXPECT_EQ(documentBytes(back.doc), documentBytes(score.doc));
}

TEST(PartsThatDisagree, APickupEndsWhereTheOtherPartsEnd) {
    // The voice's pickup of one beat, completed by blank time, against a whole measure of rest
    // in the accompaniment; later the voice enters after a blank beat. Left out, the blank time
    // would move the voice's notes to the start of the measure: rests stand in for it.
    const Imported score = imported(
        partsXml({{kThreeFour + forward(2) + note("G", 1), note("C", 3), forward(1) + note("E", 2),
                   note("C", 3)},
                  {kThreeFour + QStringLiteral("<note><rest/><duration>3</duration></note>"),
                   note("E", 3), note("G", 3), note("E", 3)}}));
    EXPECT_EQ(trackText(score.doc, 0), "0 0 5 | 1 - - | 0 3 - | 1 - - |");
    EXPECT_EQ(trackText(score.doc, 1), "0 0 0 | 3 - - | 5 - - | 3 - - |");
    EXPECT_TRUE(score.report.isEmpty()) << score.report.join(u'\n').toStdString();
}

TEST(PartsThatDisagree, PartsThatAgreeAreWrittenAsBefore) {
    const QByteArray xml = partsXml(
        {{kThreeFour + note("C", 3), note("E", 2)}, {kThreeFour + note("E", 3), note("G", 2)}});
    const Imported score = imported(xml);
    EXPECT_EQ(trackText(score.doc, 0), "1 - - | 3 - |");
    EXPECT_EQ(trackText(score.doc, 1), "3 - - | 5 - |");
    EXPECT_TRUE(score.report.isEmpty()) << score.report.join(u'\n').toStdString();
}

}  // namespace
}  // namespace qe::test
