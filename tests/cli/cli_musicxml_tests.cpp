#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

namespace qe {
namespace {

struct Outcome {
    int status = -1;
    QString out;
    QString err;
};

Outcome qanoredit(const QStringList& arguments) {
    QProcess process;
    process.start(QStringLiteral(QE_CLI), arguments);
    process.waitForFinished(60000);
    Outcome run;
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    run.err = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}

QString data(const char* name) {
    return QStringLiteral(QE_SOURCE_DIR "/tests/musicxml/data/") + QString::fromLatin1(name);
}

class MusicXmlCommands : public ::testing::Test {
protected:
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    QTemporaryDir dir;
};

TEST_F(MusicXmlCommands, ImportWritesTheDocumentAndReportsWhatItDropped) {
    const Outcome run = qanoredit({"--import", data("lyrics.musicxml"), "-o", path("song.qe")});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(
        run.err.contains(QStringLiteral("qanoredit: 1 syllables of dropped notes dropped")))
        << run.err.toStdString();
    // The document loads, and goes out and back in again unchanged.
    ASSERT_EQ(qanoredit({"--export", path("song.mxl"), path("song.qe")}).status, 0);
    ASSERT_EQ(qanoredit({"--import", path("song.mxl"), "-o", path("again.qe")}).status, 0);
    QFile a(path("song.qe")), b(path("again.qe"));
    ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
    EXPECT_EQ(a.readAll(), b.readAll());
}

TEST_F(MusicXmlCommands, ARefusedScoreSaysWhyAndWritesNothing) {
    for (const char* name : {"malformed.xml", "billion_laughs.xml", "not_a_zip.mxl"}) {
        const Outcome run = qanoredit({"--import", data(name), "-o", path("out.qe")});
        EXPECT_EQ(run.status, 1) << name;
        EXPECT_TRUE(run.err.startsWith(QStringLiteral("qanoredit: ") + data(name) + u':'))
            << run.err.toStdString();
        EXPECT_FALSE(QFileInfo::exists(path("out.qe"))) << name;
    }
    EXPECT_EQ(qanoredit({"--import", data("no_such_file.xml"), "-o", path("out.qe")}).status, 1);
    EXPECT_FALSE(QFileInfo::exists(path("out.qe")));
}

TEST_F(MusicXmlCommands, ExportWritesMusicXmlOrSaysWhyNot) {
    ASSERT_EQ(qanoredit({"--new", path("new.qe")}).status, 0);
    const Outcome plain = qanoredit({"--export", path("new.musicxml"), path("new.qe")});
    ASSERT_EQ(plain.status, 0) << plain.err.toStdString();
    EXPECT_EQ(plain.out.trimmed(), path("new.musicxml"));
    QFile xml(path("new.musicxml"));
    ASSERT_TRUE(xml.open(QIODevice::ReadOnly));
    EXPECT_TRUE(xml.readAll().contains("<score-partwise version=\"4.0\">"));

    // An existing file stays as it is unless --force overwrites it.
    const Outcome again = qanoredit({"--export", path("new.musicxml"), path("new.qe")});
    EXPECT_EQ(again.status, 1);
    EXPECT_TRUE(again.err.contains(QStringLiteral("exists; left as it is")));
    EXPECT_EQ(qanoredit({"--export", path("new.musicxml"), path("new.qe"), "--force"}).status, 0);

    QFile archive(path("new.mxl"));
    ASSERT_EQ(qanoredit({"--export", path("new.mxl"), path("new.qe")}).status, 0);
    ASSERT_TRUE(archive.open(QIODevice::ReadOnly));
    EXPECT_TRUE(archive.read(4) == "PK\x03\x04");

    EXPECT_EQ(qanoredit({"--export", path("missing/x.musicxml"), path("new.qe")}).status, 1);
    EXPECT_EQ(qanoredit({"--export", path("x.musicxml"), path("nothing.qe")}).status, 1);
    EXPECT_FALSE(QFileInfo::exists(path("x.musicxml")));
}

TEST_F(MusicXmlCommands, UsageMistakesExitWithStatusTwo) {
    EXPECT_EQ(qanoredit({"--import", data("lyrics.musicxml")}).status, 2);
    EXPECT_EQ(qanoredit({"--import", data("lyrics.musicxml"), "-o", path("a.qe"), "extra"}).status,
              2);
    EXPECT_EQ(qanoredit({"--export", path("a.musicxml"), "x.qe", "--mode", "scroll"}).status, 2);
    EXPECT_EQ(qanoredit({"--import", data("lyrics.musicxml"), "--info", "x.qe"}).status, 2);
}

}  // namespace
}  // namespace qe
