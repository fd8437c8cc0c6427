#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSet>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <tuple>

#include "base/version.h"
#include "cli/man_page.h"
#include "records/memory_io.h"
#include "records/qe_document.h"
#include "support/notation.h"

namespace qe {
namespace {

struct Outcome {
    int status = -1;
    QByteArray out;
    QString err;
};

// Runs the program with arguments, no screen.
Outcome qanoredit(const QStringList& arguments) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(QE_CLI), arguments);
    process.waitForFinished(60000);
    Outcome run;
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = process.readAllStandardOutput();
    run.err = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
}

QByteArray documentBytes(QeDocument doc) {
    MemoryIO io;
    doc.serialize(io, true);
    return QByteArray(reinterpret_cast<const char*>(io.bytes().data()),
                      static_cast<qsizetype>(io.bytes().size()));
}

class CommandLine : public ::testing::Test {
protected:
    QString path(const QString& name) const { return dir.filePath(name); }
    QTemporaryDir dir;
};

TEST_F(CommandLine, NewWritesExactlyANewDocument) {
    ASSERT_EQ(qanoredit({"--new", path("a.qe"), "--title", "小星星"}).status, 0);
    QeDocument expected;
    expected.initNew(u"小星星");
    EXPECT_EQ(readAll(path("a.qe")), documentBytes(expected));
    ASSERT_EQ(qanoredit({"--new", path("b.qe")}).status, 0);
    QeDocument defaultTitle;
    defaultTitle.initNew(u"Qanor简谱1");
    EXPECT_EQ(readAll(path("b.qe")), documentBytes(defaultTitle));
}

// A score of one track in a time signature, written to `file`.
void writeScore(const QString& file, const std::string& track, int numerator, int denominator) {
    QeDocument doc = test::scoreOf({track});
    doc.header.timeNumerator = static_cast<std::uint8_t>(numerator);
    doc.header.timeDenominator = static_cast<std::uint8_t>(denominator);
    writeAll(file, documentBytes(doc));
}

TEST_F(CommandLine, CheckNamesTheMeasuresThatDoNotAddUp) {
    struct Case {
        std::string track;
        int numerator;
        int denominator;
        const char* printed;
    };
    const Case cases[] = {
        // Overfull and underfull, in the meter's own beats.
        {"1 2 | 3 4 5_ | 6 | 1 2 |", 2, 4,
         "measure 2 (track 1): 2½ beats in 2/4, half a beat too many\n"
         "measure 3 (track 1): 1 beat in 2/4, 1 beat too few\n"},
        {"1 2 3 | 1 - - 0 | 5 - - |", 3, 4, "measure 2 (track 1): 4 beats in 3/4, 1 beat too many\n"},
        {"1 2 3 4 | 5 6 7 1__ |", 4, 4, "measure 2 (track 1): 3¼ beats in 4/4, three quarters of a beat too few\n"},
        {"1_ 2_ 3_ 4_ 5_ 6_ | 1 . 2 . | 1 - - 3_ |", 6, 8,
         "measure 3 (track 1): 7 beats in 6/8, 1 beat too many\n"},
        // A pickup, and the last measure that completes it; exact measures.
        {"5 | 1 - 2 | 3 - - | 1 - |", 3, 4, ""},
        // After a pickup (measure 0) the first full measure is measure 1.
        {"5 | 1 2 3 | 1 - - 0 | 5 - |", 3, 4, "measure 2 (track 1): 4 beats in 3/4, 1 beat too many\n"},
        {"5_ | 1 2 3 4 | 5 - - 4_ 3_ |", 4, 4, ""},
        {"1 1 | 2 2 |", 2, 4, ""},
        {"1_ 2_ 3_ 4_ 5_ 6_ |", 6, 8, ""},
    };
    for (const Case& c : cases) {
        const QString file = path(QStringLiteral("check.qe"));
        writeScore(file, c.track, c.numerator, c.denominator);
        const Outcome run = qanoredit({"--check", file});
        EXPECT_EQ(run.out.toStdString(), c.printed) << c.track;
        EXPECT_EQ(run.status, *c.printed ? 1 : 0) << c.track << run.err.toStdString();
    }
    writeAll(path(QStringLiteral("bad.qe")), "not a score");
    const Outcome bad = qanoredit({"--check", path(QStringLiteral("bad.qe"))});
    EXPECT_EQ(bad.status, 2);
    EXPECT_TRUE(bad.out.isEmpty());
    EXPECT_FALSE(bad.err.isEmpty());
    EXPECT_EQ(qanoredit({"--check", path(QStringLiteral("missing.qe"))}).status, 2);
    // The sample a new user opens first has every measure right.
    const QDir samples(QStringLiteral(QE_SOURCE_DIR "/resources/samples"));
    for (const QString& sample : samples.entryList({QStringLiteral("*.qe")})) {
        const Outcome run = qanoredit({"--check", samples.filePath(sample)});
        EXPECT_EQ(run.status, 0) << sample.toStdString() << run.out.toStdString();
    }
}

// --lyrics starts at the measure numbered as printed: after a pickup, measure 1 is the first
// full one; without --measure, the syllables start at the score's first note.
TEST_F(CommandLine, LyricsStartAtTheMeasureNumberedAsPrinted) {
    const QString file = path(QStringLiteral("pickup.qe"));
    writeScore(file, "5 | 1 2 3 | 1 - - |", 3, 4);
    const auto firstSyllableOn = [&](std::initializer_list<QString> options) {
        QStringList args = {QStringLiteral("--lyrics"), QStringLiteral("甲 乙"), file,
                            QStringLiteral("-o"), path(QStringLiteral("out.qe"))};
        args << options;
        const Outcome run = qanoredit(args);
        EXPECT_EQ(run.status, 0) << run.err.toStdString();
        const Outcome info = qanoredit({"--info", path(QStringLiteral("out.qe"))});
        const QJsonArray verse = QJsonDocument::fromJson(info.out).object()["lyrics"][0].toArray();
        return verse.isEmpty() ? -1 : verse[0]["place"]["itemIndex"].toInt();
    };
    EXPECT_EQ(firstSyllableOn({}), 0);  // the pickup's 5
    EXPECT_EQ(firstSyllableOn({QStringLiteral("--measure"), QStringLiteral("0")}), 0);
    EXPECT_EQ(firstSyllableOn({QStringLiteral("--measure"), QStringLiteral("1")}), 2);
    const Outcome none = qanoredit({"--lyrics", "甲", file, "--measure", "3"});
    EXPECT_EQ(none.status, 1);
    EXPECT_TRUE(none.err.contains(QStringLiteral("no measure 3"))) << none.err.toStdString();
}

// --info lists the measure marks and settings a script needs, and --check counts each measure
// in its own meter.
TEST_F(CommandLine, InfoListsMeasureMarksAndCheckCountsInEachMeter) {
    const QString file = QStringLiteral(QE_SOURCE_DIR "/tests/data/extension/measure_marks.qe");
    const Outcome info = qanoredit({"--info", file});
    ASSERT_EQ(info.status, 0) << info.err.toStdString();
    const QJsonObject json = QJsonDocument::fromJson(info.out).object();
    EXPECT_TRUE(json["measureNumbers"].toBool());
    EXPECT_EQ(json["tonicShift"].toInt(), 1);
    const QJsonArray marks = json["measureMarks"].toArray();
    ASSERT_EQ(marks.size(), 4);
    EXPECT_EQ(marks[0].toObject()["measure"].toInt(), 2);  // counted from 1, as people do
    EXPECT_EQ(marks[0].toObject()["jumps"].toArray().first().toString(), QStringLiteral("segno"));
    const QJsonObject change = marks[2].toObject();
    EXPECT_EQ(change["time"].toString(), QStringLiteral("3/4"));
    EXPECT_EQ(change["key"].toObject()["letter"].toInt(), 3);
    EXPECT_EQ(change["tempo"].toObject()["text"].toString(), QStringLiteral("渐慢"));
    EXPECT_EQ(marks[3].toObject()["jumps"].toArray(),
              (QJsonArray{QStringLiteral("dalSegno"), QStringLiteral("alFine")}));
    // "3 2 1" in 3/4 after the change is right; the same three beats in 4/4 would not be.
    const Outcome check = qanoredit({"--check", file});
    EXPECT_EQ(check.status, 0) << check.out.toStdString();
}

// --layout lists, page by page, the ink of every drawn thing with its role; on the project's
// own scores (the bundled sample, songs imported from MusicXML) every box lies inside its page
// and no two things overlap.
TEST_F(CommandLine, LayoutListsTheInkOfEveryDrawnThingClearOfTheOthers) {
    QStringList files{QStringLiteral(QE_SOURCE_DIR "/resources/samples/jasmine.qe")};
    for (const char* song : {"satb_chorale", "hymn_in_g", "pickup_hidden_rests"}) {
        const QString out = path(QString::fromLatin1(song) + QStringLiteral(".qe"));
        ASSERT_EQ(qanoredit({"--import",
                             QStringLiteral(QE_SOURCE_DIR "/tests/musicxml/data/songs/%1.musicxml")
                                 .arg(QString::fromLatin1(song)),
                             "-o", out})
                      .status,
                  0);
        files << out;
    }
    QSet<QString> roles;
    for (const QString& file : files) {
        SCOPED_TRACE(file.toStdString());
        const QJsonObject layout =
            QJsonDocument::fromJson(qanoredit({"--layout", file}).out).object();
        for (const QJsonValue& pageValue : layout["pages"].toArray()) {
            const QJsonObject page = pageValue.toObject();
            const QJsonArray ink = page["ink"].toArray();
            ASSERT_FALSE(ink.isEmpty());
            std::vector<std::tuple<int, QString, int, int, int, int>> boxes;
            for (const QJsonValue& v : ink) {
                const QJsonObject thing = v.toObject();
                const QJsonObject box = thing["box"].toObject();
                const int l = box["left"].toInt(), r = box["right"].toInt();
                const int t = box["top"].toInt(), b = box["bottom"].toInt();
                roles << thing["role"].toString();
                EXPECT_FALSE(thing["role"].toString().isEmpty());
                EXPECT_TRUE(l >= 0 && r <= page["width"].toInt() && t <= 0 &&
                            b >= page["height"].toInt())
                    << thing["role"].toString().toStdString() << " leaves its page";
                boxes.emplace_back(thing["thing"].toInt(), thing["role"].toString(), l, t, r, b);
            }
            for (std::size_t i = 0; i < boxes.size(); ++i)
                for (std::size_t j = i + 1; j < boxes.size(); ++j) {
                    const auto& [ti, ri, li, topi, righti, bi] = boxes[i];
                    const auto& [tj, rj, lj, topj, rightj, bj] = boxes[j];
                    EXPECT_FALSE(ti != tj && li < rightj && lj < righti && bi < topj && bj < topi)
                        << ri.toStdString() << " over " << rj.toStdString();
                }
        }
    }
    for (const char* role : {"digit", "octave dot", "underline", "bar line", "dash", "arc",
                             "volta bracket", "volta label", "lyric syllable", "title",
                             "partName", "page number", "bracket", "key"})
        EXPECT_TRUE(roles.contains(QString::fromLatin1(role))) << role;
}

// A metronome number printed otherwise ("100 - 110") is shown in --info beside the number
// played and printed on the page as the file prints it; a plain mark has no such field.
TEST_F(CommandLine, APrintedTempoNumberIsListedAndPrinted) {
    const QString in = QStringLiteral(QE_SOURCE_DIR "/tests/musicxml/data/printed_tempo.musicxml");
    const QString out = path(QStringLiteral("tempo.qe"));
    const Outcome imported = qanoredit({"--import", in, "-o", out});
    ASSERT_EQ(imported.status, 0) << imported.err.toStdString();
    const QJsonObject json = QJsonDocument::fromJson(qanoredit({"--info", out}).out).object();
    const QJsonObject title = json["tempoMark"].toObject();
    EXPECT_EQ(title["perMinute"].toInt(), 105);
    EXPECT_EQ(title["perMinuteText"].toString(), QStringLiteral("100–110"));
    EXPECT_EQ(json["measureMarks"][0]["tempo"]["perMinuteText"].toString(), QStringLiteral("c. 60"));
    const QString layout = QString::fromUtf8(qanoredit({"--layout", out}).out);
    // The dotted beat's note is drawn on its own, in the music symbol font, before ".=".
    EXPECT_TRUE(layout.contains(QStringLiteral("\"text\": \".=100–110\""))) << layout.toStdString();

    const QString file = QStringLiteral(QE_SOURCE_DIR "/tests/data/extension/measure_marks.qe");
    const QJsonObject plain = QJsonDocument::fromJson(qanoredit({"--info", file}).out).object();
    EXPECT_FALSE(plain["measureMarks"][2]["tempo"].toObject().contains("perMinuteText"));
}

// --info lists what notes carry beyond their digits; --check counts tuplets exactly: the
// triplet of eighths fills the quarter it stands in.
TEST_F(CommandLine, InfoListsNoteExtrasAndCheckCountsTuplets) {
    const QString file = QStringLiteral(QE_SOURCE_DIR "/tests/data/extension/note_extras.qe");
    const Outcome info = qanoredit({"--info", file});
    ASSERT_EQ(info.status, 0) << info.err.toStdString();
    const QJsonArray extras = QJsonDocument::fromJson(info.out).object()["noteExtras"].toArray();
    ASSERT_EQ(extras.size(), 6);
    EXPECT_EQ(extras[0].toObject()["tuplets"].toArray().first().toObject()["actual"].toInt(), 3);
    EXPECT_EQ(extras[3].toObject()["chordTones"].toArray().size(), 2);
    EXPECT_EQ(extras[3].toObject()["chordSymbol"].toString(), QStringLiteral("C"));
    EXPECT_EQ(extras[4].toObject()["articulations"].toArray(),
              (QJsonArray{QStringLiteral("fermata"), QStringLiteral("staccato")}));
    EXPECT_TRUE(extras[4].toObject()["graceNotes"].toArray()[2].toObject()["after"].toBool());
    const QString plain = QStringLiteral(QE_SOURCE_DIR "/tests/data/extension/note_extras.plain.qe");
    EXPECT_FALSE(QJsonDocument::fromJson(qanoredit({"--info", plain}).out).object().contains(
        QStringLiteral("noteExtras")));

    QeDocument doc = test::scoreOf({"1_ 2_ 3_ 4 5 6 |"});
    writeAll(path("plain.qe"), documentBytes(doc));
    EXPECT_EQ(qanoredit({"--check", path("plain.qe")}).status, 1);  // four and a half beats
    test::addTuplet(doc, 0, 0, 2, 3, 2);
    writeAll(path("triplet.qe"), documentBytes(doc));
    const Outcome check = qanoredit({"--check", path("triplet.qe")});
    EXPECT_EQ(check.status, 0) << check.out.toStdString();
}

TEST_F(CommandLine, TheScoresTempoMarkIsPlayedUnlessTempoIsGiven) {
    QeDocument doc = test::scoreOf({"1 2 3 4 |"});
    doc.header.tempo = TempoMark{4, false, 120, u"稍快"};
    writeAll(path("marked.qe"), documentBytes(doc));
    const Outcome info = qanoredit({"--info", path("marked.qe")});
    ASSERT_EQ(info.status, 0);
    const QJsonObject mark = QJsonDocument::fromJson(info.out).object()["tempoMark"].toObject();
    EXPECT_EQ(mark["perMinute"].toInt(), 120);
    EXPECT_EQ(mark["text"].toString(), QStringLiteral("稍快"));
    ASSERT_EQ(qanoredit({"--export", path("a.mid"), path("marked.qe")}).status, 0);
    EXPECT_TRUE(readAll(path("a.mid")).contains(QByteArray::fromHex("ff510307a120")));  // 0.5 s
    ASSERT_EQ(qanoredit({"--export", path("b.mid"), path("marked.qe"), "--tempo", "60"}).status, 0);
    EXPECT_TRUE(readAll(path("b.mid")).contains(QByteArray::fromHex("ff51030f4240")));  // 1 s
}

TEST_F(CommandLine, InfoPrintsTheWholeDocument) {
    qanoredit({"--new", path("a.qe")});
    const Outcome run = qanoredit({"--info", path("a.qe")});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const QJsonObject json = QJsonDocument::fromJson(run.out).object();
    EXPECT_EQ(json["author1"].toString(), QStringLiteral("Qanor简谱编辑器制谱"));
    EXPECT_EQ(json["keyLetter"].toInt(), 6);
    EXPECT_EQ(json["page"].toObject()["width"].toInt(), 11906);
    EXPECT_EQ(json["fonts"].toArray().size(), 8);  // the seven of the title block, and the lyrics
    EXPECT_EQ(json["fonts"].toArray()[1].toObject()["face"].toString(),
              QStringLiteral("QanorEditSymbol"));
    const QJsonArray tracks = json["tracks"].toArray();
    ASSERT_EQ(tracks.size(), 1);
    EXPECT_EQ(tracks[0].toArray()[0].toObject()["code"].toInt(), 0x0C06);
    EXPECT_TRUE(json["lyrics"].toArray().isEmpty());
}

TEST_F(CommandLine, NotADocumentFailsWithTheMessageAndTouchesNothing) {
    writeAll(path("junk.qe"), "PK\x03\x04 not a score");
    const Outcome info = qanoredit({"--info", path("junk.qe")});
    EXPECT_EQ(info.status, 1);
    EXPECT_TRUE(info.err.contains(QStringLiteral("无法识别的文档。")));
    EXPECT_TRUE(info.out.isEmpty());
    const Outcome typed = qanoredit({"--type", "123", path("junk.qe")});
    EXPECT_EQ(typed.status, 1);
    EXPECT_EQ(readAll(path("junk.qe")), QByteArray("PK\x03\x04 not a score"));
    // A truncated score is just as unreadable.
    qanoredit({"--new", path("a.qe")});
    writeAll(path("cut.qe"), readAll(path("a.qe")).left(100));
    EXPECT_EQ(qanoredit({"--layout", path("cut.qe")}).status, 1);
    EXPECT_EQ(qanoredit({"--info", path("missing.qe")}).status, 1);
}

TEST_F(CommandLine, UsageErrorsExitTwo) {
    EXPECT_EQ(qanoredit({"--new"}).status, 2);
    EXPECT_EQ(qanoredit({"--bogus"}).status, 2);
    EXPECT_EQ(qanoredit({"--info", "a", "--new", "b"}).status, 2);
    EXPECT_EQ(qanoredit({"--layout", "a.qe", "--mode", "sideways"}).status, 2);
    EXPECT_EQ(qanoredit({"--export", "out.png"}).status, 2);
    EXPECT_EQ(qanoredit({"--title", "x"}).status, 2);
    EXPECT_EQ(qanoredit({"--help"}).status, 0);
    EXPECT_EQ(qanoredit({"--version"}).status, 0);
}

// --help names the program and --version prints the one version; the manual page lists the
// same options as --help, with their values, from the same table.
TEST_F(CommandLine, HelpVersionAndTheManualPageAgree) {
    const Outcome run = qanoredit({"--help"});
    ASSERT_EQ(run.status, 0);
    const QString help = QString::fromUtf8(run.out);
    EXPECT_TRUE(help.startsWith(QStringLiteral("Usage: qanoredit [options]"))) << run.out.toStdString();
    EXPECT_FALSE(help.contains(QStringLiteral("executable_name")));
    EXPECT_EQ(QString::fromUtf8(qanoredit({"--version"}).out),
              QStringLiteral("qanoredit %1\n").arg(QString::fromLatin1(kVersion)));

    // "  -o, --output <file>  ..." in the help; ".TP\n\fB\-o\fR, \fB\-\-output\fR \fIfile\fR"
    // in the page.
    const QRegularExpression helpOption(QStringLiteral(R"(^  (?:-\w, )?--([\w-]+)(?: <(\w+)>)?)"),
                                        QRegularExpression::MultilineOption);
    QStringList fromHelp;
    for (auto m = helpOption.globalMatch(help); m.hasNext();) {
        const QRegularExpressionMatch match = m.next();
        if (match.captured(1) != u"help-all")  // Qt's own, for its own options
            fromHelp << match.captured(1) + u'/' + match.captured(2);
    }
    const QString page = manPage();
    const QRegularExpression pageOption(
        QStringLiteral(R"(^\.TP\n(?:\\fB\\-\w\\fR, )?\\fB\\-\\-([\w\\-]+)\\fR(?: \\fI(\w+)\\fR)?)"),
        QRegularExpression::MultilineOption);
    QStringList fromPage;
    for (auto m = pageOption.globalMatch(page); m.hasNext();) {
        const QRegularExpressionMatch match = m.next();
        fromPage << match.captured(1).remove(u'\\') + u'/' + match.captured(2);
    }
    EXPECT_GT(fromHelp.size(), 15);
    EXPECT_EQ(fromPage, fromHelp);
    EXPECT_TRUE(page.startsWith(QStringLiteral(".TH QANOREDIT 1 \"\" \"qanoredit %1\"").arg(QString::fromLatin1(kVersion))));
}

TEST_F(CommandLine, TypeEditsLikeTheEditorAndSavesAtomically) {
    qanoredit({"--new", path("a.qe")});
    const QByteArray original = readAll(path("a.qe"));
    const Outcome run =
        qanoredit({"--type", "k12\\n3s4\\b\\b5 \\<\\<6\\>\\\\", path("a.qe"), "-o", path("b.qe")});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(readAll(path("a.qe")), original);  // -o leaves the source alone
    const QJsonObject json =
        QJsonDocument::fromJson(qanoredit({"--info", path("b.qe")}).out).object();
    QStringList records;
    for (const QJsonValue& n : json["tracks"].toArray()[0].toArray())
        records << QStringLiteral("%1/%2")
                       .arg(n.toObject()["code"].toInt(), 0, 16)
                       .arg(n.toObject()["value"].toInt());
    // 1_ 2_ 6_ | |. 5_ |] : Backspace took the 4 with its sharp, then the 3; the arrows went
    // back to the end of the first measure for the 6, then on in front of the 5 for the dashed
    // bar line.
    EXPECT_EQ(records.join(' ').toStdString(), "39/1 3a/1 3e/1 c00/0 c05/0 3d/1 c06/0");
    // In place, and no temporary file is left behind.
    ASSERT_EQ(qanoredit({"--type", "7", path("a.qe")}).status, 0);
    EXPECT_NE(readAll(path("a.qe")), original);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2);
    EXPECT_EQ(qanoredit({"--type", "1\\q", path("a.qe")}).status, 2);
}

TEST_F(CommandLine, LayoutInBothModes) {
    qanoredit({"--new", path("a.qe")});
    qanoredit({"--type", "1234\\n5-", path("a.qe")});
    const Outcome page = qanoredit({"--layout", path("a.qe")});
    ASSERT_EQ(page.status, 0);
    const QJsonObject pages = QJsonDocument::fromJson(page.out).object();
    const QJsonArray list = pages["pages"].toArray();
    ASSERT_EQ(list.size(), 1);
    const QJsonObject line = list[0].toObject()["lines"].toArray()[0].toObject();
    // One short line is the last line of its score: left-aligned, not spread over the page.
    EXPECT_EQ(line["x"].toInt(), 1000);
    EXPECT_LT(line["width"].toInt(), 9906 * 3 / 4);
    const QJsonArray measures = line["tracks"].toArray()[0].toObject()["measures"].toArray();
    ASSERT_EQ(measures.size(), 2);
    EXPECT_EQ(measures[0].toObject()["elements"].toArray().size(), 4);
    EXPECT_EQ(measures[0].toObject()["weight"].toInt(), 64);
    EXPECT_EQ(measures[1].toObject()["barType"].toInt(), 6);
    const Outcome scroll = qanoredit({"--layout", path("a.qe"), "--mode", "scroll"});
    ASSERT_EQ(scroll.status, 0);
    const QJsonObject strip = QJsonDocument::fromJson(scroll.out).object();
    // The strip opens with the key and time signature, then the first measure.
    EXPECT_GT(strip["lines"].toArray()[0].toObject()["x"].toInt(), 320 + 500);
}

TEST_F(CommandLine, ATooWideMeasureIsReportedAsTheEditorWarnsAndEveryPageIsWritten) {
    qanoredit({"--new", path("a.qe")});
    const Outcome typed = qanoredit({"--type", QString(70, QLatin1Char('5')), path("a.qe")});
    EXPECT_EQ(typed.status, 0);  // typing goes on after the warning, and the edit is kept
    EXPECT_EQ(typed.err.count(QStringLiteral("单个小节不能换行")), 1);
    const Outcome layout = qanoredit({"--layout", path("a.qe")});
    EXPECT_EQ(layout.status, 0);
    EXPECT_TRUE(layout.err.contains(QStringLiteral("如果是散板，请使用虚小节线或隐藏小节线。")));
    EXPECT_EQ(QJsonDocument::fromJson(layout.out).object()["pages"].toArray().size(), 1);
    // The export writes the page, with the measure squeezed into its line.
    const Outcome exported = qanoredit({"--export", path("a.png"), path("a.qe")});
    EXPECT_EQ(exported.status, 0);
    EXPECT_TRUE(QFileInfo::exists(path("a_1-1.png")));
}

TEST_F(CommandLine, ADamagedTieIsLeftOutAndSaid) {
    QeDocument doc;
    doc.initNew(u"t");
    Format broken;
    broken.type = Format::kArc;
    broken.from = location(1, 0, 5);
    broken.to = location(1, 3, 9);
    doc.formatRecords().push_back(broken);
    writeAll(path("tie.qe"), documentBytes(doc));
    const Outcome run = qanoredit({"--layout", path("tie.qe")});
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(run.err.contains(QStringLiteral("1 tie(s) or volta bracket(s)")));
    EXPECT_TRUE(run.err.contains(QStringLiteral("are left out")));
    EXPECT_TRUE(QJsonDocument::fromJson(run.out).object()["arcs"].toArray().isEmpty());
}

TEST_F(CommandLine, TypingIntoADocumentSaysWhatItsSaveDropsAndWhatItKeepsUnshown) {
    QeDocument doc;
    doc.initNew(u"t");
    Format broken;
    broken.type = Format::kArc;
    broken.from = location(1, 0, 5);
    broken.to = location(1, 3, 9);
    doc.formatRecords().push_back(broken);
    Format unknown;
    unknown.type = 9;
    doc.formatRecords().push_back(unknown);
    auto& notes = doc.firstNoteTrack().content.items;
    notes.insert(notes.begin(), {note(0x2000, 0), note::barLine(9), note::mark(7)});
    writeAll(path("odd.qe"), documentBytes(doc));
    const Outcome run = qanoredit({"--type", "1", path("odd.qe"), "-o", path("typed.qe")});
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(run.err.contains(QStringLiteral("1 tie(s) or volta bracket(s)")));
    EXPECT_TRUE(run.err.contains(QStringLiteral("3 note record(s)")));
    EXPECT_TRUE(run.err.contains(QStringLiteral("1 format record(s)")));
    EXPECT_TRUE(run.err.contains(QStringLiteral("are not saved")));
    EXPECT_TRUE(run.err.contains(QStringLiteral("are saved as they were")));
    // The records it does not know stay in the saved file, in front of the note typed; the
    // tie that named nothing is gone.
    QeDocument typed;
    const QByteArray typedBytes = readAll(path("typed.qe"));
    MemoryIO in(std::vector<unsigned char>(typedBytes.begin(), typedBytes.end()));
    typed.serialize(in, false);
    EXPECT_EQ(typed.noteTracks()[0].content.items,
              (std::vector<note>{note(0x2000, 0), note::barLine(9), note::mark(7), note(0, 1, 0, 0),
                                 note::barLine(6)}));
    ASSERT_EQ(typed.formatRecords().size(), 1u);
    EXPECT_EQ(typed.formatRecords()[0].type, 9);
    // A document the editor reads whole says nothing.
    writeAll(path("clean.qe"), documentBytes(test::scoreOf({"1 2 |]"})));
    const Outcome again = qanoredit({"--type", "1", path("clean.qe")});
    EXPECT_EQ(again.status, 0);
    EXPECT_TRUE(again.err.isEmpty()) << again.err.toStdString();
}

TEST_F(CommandLine, ExportWritesEveryPageAt288Dpi) {
    QeDocument doc;
    doc.initNew(u"Pages");
    auto& notes = doc.firstNoteTrack().content.items;
    notes.clear();
    for (int m = 0; m < 150; ++m) {
        for (int d = 1; d <= 4; ++d)
            notes.push_back(note(0, d, 0, 0));
        notes.push_back(note::barLine(0));
    }
    writeAll(path("long.qe"), documentBytes(doc));
    const Outcome run = qanoredit({"--export", path("out.png"), path("long.qe")});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const QStringList written = QString::fromLocal8Bit(run.out).split('\n', Qt::SkipEmptyParts);
    ASSERT_GE(written.size(), 2);
    const int pages = static_cast<int>(written.size());
    for (int i = 1; i <= pages; ++i) {
        const QString name = path(QStringLiteral("out_%1-%2.png").arg(pages).arg(i));
        EXPECT_EQ(written[i - 1], name);
        const QImage image(name);
        EXPECT_EQ(image.width(), 2381);
        EXPECT_EQ(image.height(), 3367);
    }
    // The strip of scroll mode is one image as tall as the track line with its paddings; one
    // too long for an image is refused, not cut.
    const Outcome tooLong =
        qanoredit({"--export", path("long.png"), path("long.qe"), "--mode", "scroll"});
    EXPECT_EQ(tooLong.status, 1);
    EXPECT_TRUE(tooLong.err.contains(QStringLiteral("too long")));
    EXPECT_FALSE(QFileInfo::exists(path("long.png")));
    notes.resize(60 * 5);
    writeAll(path("short.qe"), documentBytes(doc));
    ASSERT_EQ(
        qanoredit({"--export", path("strip.png"), path("short.qe"), "--mode", "scroll"}).status, 0);
    const QImage strip(path("strip.png"));
    EXPECT_EQ(strip.height(), (320 + 40 + 720 + 40 + 320) / 5);
    // Ink on the page: digits are drawn in black somewhere in the content area.
    const QImage first(written[0]);
    bool ink = false;
    for (int y = 300; y < 3000 && !ink; y += 3)
        for (int x = 200; x < 2200 && !ink; x += 3)
            ink = qGray(first.pixel(x, y)) < 60;
    EXPECT_TRUE(ink);
}

}  // namespace
}  // namespace qe
