#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "musicxml/musicxml_file.h"
#include "musicxml/musicxml_support.h"
#include "musicxml/mxl_archive.h"
#include "musicxml/refusal_texts.h"
#include "support/notation.h"

namespace qe::test {
namespace {

// Every hostile file is refused with a reason that names the problem, and the Chinese window
// says that reason in Chinese: no English words inside it, not the general words either.
void expectRefused(const Imported& result, const char* why) {
    EXPECT_FALSE(result.ok());
    EXPECT_TRUE(result.message.contains(QString::fromUtf8(why)))
        << "the reason was: " << result.message.toStdString();
    static const QRegularExpression english(QStringLiteral(
        "\\b(the|is|not|a|of|to|than|file|score|line|column|measure|part|out|range|end|"
        "document|more|holds|damaged)\\b"));
    const QString chinese = musicxml::chineseRefusalText(result.message);
    EXPECT_FALSE(chinese.contains(english)) << chinese.toStdString();
    EXPECT_NE(chinese, QStringLiteral("文件内容无法读取")) << result.message.toStdString();
}

TEST(Hostile, FilesThatAreNotScoresAreRefusedWithTheirReason) {
    const std::pair<const char*, const char*> kFiles[] = {
        {"billion_laughs.xml", "declares XML entities"},
        {"external_entity.xml", "declares XML entities"},
        {"malformed.xml", "line 5"},
        {"not_musicxml.xml", "not a MusicXML score: the document is <html>"},
        {"absurd_divisions.musicxml", "divisions to the quarter is out of range"},
        {"absurd_duration.musicxml", "the duration 1e+09 is out of range"},
        {"not_a_zip.mxl", "compressed MusicXML file is damaged"},
        {"container_names_nothing.mxl", "scores/missing.xml the container names is not in"},
    };
    for (const auto& [name, why] : kFiles) {
        SCOPED_TRACE(name);
        expectRefused(importFile(dataFile(QString::fromLatin1(name))), why);
    }
    expectRefused(importBytes(QByteArray()), "the file is empty");
    expectRefused(importBytes("<!-- nothing -->"), "Premature end of document");
    expectRefused(importBytes("<opus/>"), "MusicXML opus");
    expectRefused(importBytes(scoreXml({}).replace("<part id=\"P1\">\n</part>", "")),
                  "no measures");
    // A score cut off in the middle.
    const QByteArray whole = readFile(dataFile(QStringLiteral("durations.musicxml")));
    expectRefused(importBytes(whole.left(whole.size() / 2)), "line");
}

// What follows the root element is ignored, as the programs that write such files read them
// back, and said in the report; the score itself must still be whole.
TEST(Hostile, StrayCharactersAfterTheScoreAreIgnoredWithAWarning) {
    const QByteArray score = scoreXml({QStringLiteral(
        "<note><pitch><step>C</step><octave>4</octave></pitch><duration>4</duration></note>")});
    for (const QByteArray& tail : {QByteArray("x"), QByteArray("\n\0\0", 3),
                                   QByteArray("<score-partwise/>"), QByteArray("\xff\xfe"),
                                   QByteArray("</score-partwise>")}) {
        SCOPED_TRACE(tail.toHex().toStdString());
        const Imported result = importBytes(score + tail);
        ASSERT_TRUE(result.ok()) << result.message.toStdString();
        EXPECT_EQ(trackText(result.doc, 0), "1 - - - |");
        EXPECT_EQ(result.report,
                  QStringList{QStringLiteral("characters after the end of the score ignored")});
    }
    // White space and comments after it are nothing to tell.
    const Imported clean = importBytes(score + "\n<!-- end -->\n");
    ASSERT_TRUE(clean.ok());
    EXPECT_TRUE(clean.report.isEmpty());
    // A stray character inside the score is still damage.
    QByteArray inside = score;
    inside.insert(inside.indexOf("<part-list>"), "<");
    expectRefused(importBytes(inside), "line");
}

TEST(Hostile, ACompressedScoreThatInflatesPastTheLimitStopsThere) {
    // About 64 KiB of archive that would inflate to more than 64 MiB.
    QByteArray xml = scoreXml({QStringLiteral("<note><rest/><duration>1</duration></note>")});
    xml.insert(xml.indexOf("<part-list>"), "<!--" + QByteArray(64 * 1024 * 1024, ' ') + "-->");
    const QByteArray archive = musicxml::writeMxl(xml);
    EXPECT_LT(archive.size(), 1024 * 1024);
    expectRefused(importBytes(archive), "larger than 64 MiB");
}

TEST(Hostile, AFileLargerThanTheLimitIsNotRead) {
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("huge.musicxml")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_TRUE(file.resize(65 * 1024 * 1024));  // sparse: no disk, no memory
    file.close();
    QeDocument doc;
    const musicxml::Outcome outcome = musicxml::importMusicXmlFile(file.fileName(), doc);
    EXPECT_FALSE(outcome.ok());
    EXPECT_TRUE(outcome.message.contains(QStringLiteral("larger than 64 MiB")));
}

TEST(Hostile, CountsBeyondTheLimitsAreRefused) {
    QByteArray parts;
    for (int i = 0; i < 65; ++i)
        parts += QStringLiteral("<part id=\"P%1\"><measure number=\"1\"/></part>").arg(i).toUtf8();
    expectRefused(importBytes("<score-partwise>" + parts + "</score-partwise>"),
                  "more than 64 parts");

    QByteArray measures;
    for (int i = 0; i <= 100000; ++i)
        measures += "<measure/>";
    expectRefused(
        importBytes("<score-partwise><part id=\"P1\">" + measures + "</part></score-partwise>"),
        "more than 100000 measures");

    expectRefused(
        importBytes(scoreXml({QStringLiteral("<attributes><staves>17</staves></attributes>")})),
        "17 staves are out of range");
    expectRefused(
        importBytes(scoreXml({QStringLiteral("<forward><duration>200</duration></forward>"
                                             "<forward><duration>200</duration></forward>"
                                             "<forward><duration>200</duration></forward>"
                                             "<forward><duration>200</duration></forward>"
                                             "<forward><duration>200</duration></forward>"
                                             "<forward><duration>200</duration></forward>")})),
        "longer than 1024 quarters");
}

TEST(Hostile, DeepNestingAndBackingUpFarAreHarmless) {
    // Elements nested a hundred thousand deep inside a note are skipped; a backup far past
    // the start of the measure stops there.
    const QString deep =
        QStringLiteral("<x>").repeated(100000) + QStringLiteral("</x>").repeated(100000);
    const Imported score = importBytes(scoreXml(
        {QStringLiteral(
             "<note><pitch><step>C</step><octave>4</octave></pitch><duration>1</duration>") +
         deep +
         QStringLiteral("</note><backup><duration>1e9</duration></backup>"
                        "<note><pitch><step>D</step><octave>4</octave></pitch>"
                        "<duration>1</duration><voice>2</voice></note>")}));
    ASSERT_TRUE(score.ok()) << score.message.toStdString();
    EXPECT_EQ(trackText(score.doc, 0), "1 |");
}

}  // namespace
}  // namespace qe::test
