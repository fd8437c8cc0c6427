#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "audio/soundfont.h"
#include "support/smf_reader.h"

namespace qe {
namespace {

struct Outcome {
    int status = -1;
    QByteArray out;
    QString err;
};

Outcome qanoredit(const QStringList& arguments) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(QE_CLI), arguments);
    process.waitForFinished(120000);
    Outcome run;
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = process.readAllStandardOutput();
    run.err = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}

std::vector<unsigned char> readBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    return std::vector<unsigned char>(bytes.begin(), bytes.end());
}

class SoundExport : public ::testing::Test {
protected:
    void SetUp() override {
        // A new score (1=G, 4/4) with 1 2 3 4 | 5 - - - typed into it.
        ASSERT_EQ(qanoredit({"--new", path("song.qe")}).status, 0);
        ASSERT_EQ(qanoredit({"--type", "1234\\n5---", path("song.qe")}).status, 0);
    }
    QString path(const QString& name) const { return dir.filePath(name); }
    QTemporaryDir dir;
};

TEST_F(SoundExport, MidiHoldsTheTypedNotesAtTheTempoAndProgramAsked) {
    const Outcome run = qanoredit(
        {"--export", path("song.mid"), path("song.qe"), "--tempo", "120", "--program", "40"});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(run.out.trimmed(), path("song.mid").toLocal8Bit());
    const test::SmfFile file = test::readSmf(readBytes(path("song.mid")));
    std::vector<int> keys;
    for (const test::SmfNote& n : file.notesOf(1))
        keys.push_back(n.key);
    EXPECT_EQ(keys, (std::vector<int>{55, 57, 59, 60, 62}));
    EXPECT_EQ(file.notesOf(1).back().length, 4 * 1920);
    EXPECT_EQ(file.meta(0x51)->data, (std::vector<unsigned char>{0x07, 0xA1, 0x20}));
    EXPECT_EQ(file.programs, (std::vector<std::pair<int, int>>{{0, 40}}));
    // The default tempo is 90 quarters a minute, the default program the piano.
    ASSERT_EQ(qanoredit({"--export", path("plain.MID"), path("song.qe")}).status, 0);
    const test::SmfFile plain = test::readSmf(readBytes(path("plain.MID")));
    EXPECT_EQ(plain.meta(0x51)->data, (std::vector<unsigned char>{0x0A, 0x2C, 0x2A}));  // 666666
    EXPECT_EQ(plain.programs, (std::vector<std::pair<int, int>>{{0, 0}}));
}

TEST_F(SoundExport, WavHoldsTheSoundOfTheWholeScore) {
    if (sound::findSoundFont().empty())
        GTEST_SKIP() << "no General MIDI SoundFont installed";
    const Outcome run =
        qanoredit({"--export", path("song.wav"), path("song.qe"), "--tempo", "240"});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    // Rendering offline opens no audio device: the audio system has nothing to say.
    EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();
    // Eight quarters at 240 a minute, two seconds, and a second and a half dying away.
    const std::vector<unsigned char> bytes = readBytes(path("song.wav"));
    EXPECT_EQ(bytes.size(), 44u + 4u * (88200u + 66150u));
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "RIFF");
}

TEST_F(SoundExport, MisusedOptionsAreUsageErrorsAndWriteNothing) {
    const QString song = path("song.qe");
    for (const QStringList& arguments :
         {QStringList{"--export", path("a.png"), song, "--tempo", "100"},
          QStringList{"--info", song, "--program", "3"},
          QStringList{"--export", path("a.mid"), song, "--tempo", "19"},
          QStringList{"--export", path("a.mid"), song, "--tempo", "401"},
          QStringList{"--export", path("a.mid"), song, "--tempo", "fast"},
          QStringList{"--export", path("a.wav"), song, "--program", "128"},
          QStringList{"--export", path("a.wav"), song, "--program", "-1"},
          QStringList{"--export", path("a.mid"), song, "--mode", "scroll"},
          QStringList{"--export", path("a.mid")}}) {
        const Outcome run = qanoredit(arguments);
        EXPECT_EQ(run.status, 2) << arguments.join(' ').toStdString();
        EXPECT_FALSE(run.err.isEmpty());
    }
    EXPECT_FALSE(QFile::exists(path("a.mid")));
    EXPECT_FALSE(QFile::exists(path("a.wav")));
}

TEST_F(SoundExport, UnreadableScoresAndUnwritableTargetsFail) {
    QFile junk(path("junk.qe"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not a score");
    junk.close();
    Outcome run = qanoredit({"--export", path("a.mid"), path("junk.qe")});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("无法识别的文档。")));
    EXPECT_FALSE(QFile::exists(path("a.mid")));
    run = qanoredit({"--export", path("no/such/folder/a.mid"), path("song.qe")});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("保存失败")));
    // A failed export leaves an existing file as it was, and so does one without --force.
    QFile old(path("old.mid"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("keep");
    old.close();
    EXPECT_EQ(qanoredit({"--export", path("old.mid"), path("junk.qe"), "--force"}).status, 1);
    EXPECT_EQ(readBytes(path("old.mid")), (std::vector<unsigned char>{'k', 'e', 'e', 'p'}));
    run = qanoredit({"--export", path("old.mid"), path("song.qe")});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("--force"))) << run.err.toStdString();
    EXPECT_EQ(readBytes(path("old.mid")), (std::vector<unsigned char>{'k', 'e', 'e', 'p'}));
    ASSERT_EQ(qanoredit({"--export", path("old.mid"), path("song.qe"), "--force"}).status, 0);
    EXPECT_EQ(test::readSmf(readBytes(path("old.mid"))).notes.size(), 5u);
}

}  // namespace
}  // namespace qe
