#include <fcntl.h>
#include <gtest/gtest.h>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include "music/score_records.h"

#include <vector>

#include "records/memory_io.h"
#include "export/export_scores.h"

extern char** environ;

namespace qe {
namespace {

struct Outcome {
    int status = -1;
    QStringList out;  // lines
    QString err;
    long peakKilobytes = 0;  // the child's largest resident set
};

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

class CommandLineExport : public ::testing::Test {
protected:
    QString path(const QString& name) const { return dir.filePath(name); }
    QStringList files() const { return QDir(dir.path()).entryList(QDir::Files, QDir::Name); }

    // Runs the program without a screen and measures its peak memory.
    Outcome qanoredit(const QStringList& arguments) const {
        std::vector<QByteArray> storage{QByteArray(QE_CLI)};
        for (const QString& argument : arguments)
            storage.push_back(QFile::encodeName(argument));
        std::vector<char*> argv;
        for (QByteArray& a : storage)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        const QByteArray out = QFile::encodeName(path(".stdout"));
        const QByteArray err = QFile::encodeName(path(".stderr"));
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, out.constData(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        posix_spawn_file_actions_addopen(&actions, 2, err.constData(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        qputenv("QT_QPA_PLATFORM", "offscreen");
        pid_t child = 0;
        Outcome run;
        const int spawned = posix_spawn(&child, QE_CLI, &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        if (spawned != 0)
            return run;
        int status = 0;
        rusage usage{};
        if (wait4(child, &status, 0, &usage) != child)
            return run;
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.peakKilobytes = usage.ru_maxrss;
        run.out = QString::fromLocal8Bit(readAll(path(".stdout"))).split('\n', Qt::SkipEmptyParts);
        run.err = QString::fromLocal8Bit(readAll(path(".stderr")));
        QFile::remove(path(".stdout"));
        QFile::remove(path(".stderr"));
        return run;
    }

    // Writes a score of `measures` measures; the file's path.
    QString score(int measures, const QString& name = QStringLiteral("song.qe")) const {
        QeDocument doc = test::exportScore(measures);
        return save(doc, name);
    }
    // Writes the score of exactly two pages.
    QString twoPages() const {
        QeDocument doc = music::recordsOfScore(*test::scoreOfPages(2)->score);
        return save(doc, "song.qe");
    }

    QString save(QeDocument& doc, const QString& name) const {
        MemoryIO io;
        doc.serialize(io, true);
        writeAll(path(name), QByteArray(reinterpret_cast<const char*>(io.bytes().data()),
                                        static_cast<qsizetype>(io.bytes().size())));
        return path(name);
    }

    QTemporaryDir dir;
};

TEST_F(CommandLineExport, EveryFormatIsChosenByTheExtension) {
    const QString song = twoPages();
    for (const QString extension : {"png", "jpg", "JPEG", "gif", "bmp", "svg"}) {
        SCOPED_TRACE(extension.toStdString());
        const Outcome run = qanoredit({"--export", path("out." + extension), song});
        ASSERT_EQ(run.status, 0) << run.err.toStdString();
        EXPECT_EQ(run.out,
                  QStringList({path("out_2-1." + extension), path("out_2-2." + extension)}));
    }
    const Outcome pdf = qanoredit({"--export", path("out.pdf"), song});
    EXPECT_EQ(pdf.status, 0);
    EXPECT_EQ(pdf.out, QStringList{path("out.pdf")});
    EXPECT_TRUE(readAll(path("out.pdf")).startsWith("%PDF-"));
    EXPECT_TRUE(readAll(path("out_2-1.gif")).startsWith("GIF8"));
    EXPECT_TRUE(readAll(path("out_2-2.JPEG")).startsWith("\xff\xd8\xff"));
}

TEST_F(CommandLineExport, AnExistingFileIsSkippedWithStatusOneUnlessForced) {
    const QString song = twoPages();
    writeAll(path("out_2-1.png"), "old");
    const Outcome skipped = qanoredit({"--export", path("out.png"), song});
    EXPECT_EQ(skipped.status, 1);
    EXPECT_TRUE(skipped.err.contains(path("out_2-1.png")));
    EXPECT_TRUE(skipped.err.contains("--force"));
    EXPECT_EQ(skipped.out, QStringList{path("out_2-2.png")});
    EXPECT_EQ(readAll(path("out_2-1.png")), "old");

    const Outcome forced = qanoredit({"--export", path("out.png"), song, "--force"});
    EXPECT_EQ(forced.status, 0) << forced.err.toStdString();
    EXPECT_EQ(forced.out.size(), 2);
    EXPECT_EQ(QImage(path("out_2-1.png")).size(), QSize(2381, 3367));
    // The strip of scroll mode is asked about in the same way.
    writeAll(path("strip.png"), "old");
    EXPECT_EQ(qanoredit({"--export", path("strip.png"), song, "--mode", "scroll"}).status, 1);
    EXPECT_EQ(readAll(path("strip.png")), "old");
    EXPECT_EQ(
        qanoredit({"--export", path("strip.png"), song, "--mode", "scroll", "--force"}).status, 0);
    EXPECT_FALSE(QImage(path("strip.png")).isNull());
}

TEST_F(CommandLineExport, WhatCannotBeExportedIsAUsageErrorThatWritesNothing) {
    const QString song = score(4);
    EXPECT_EQ(qanoredit({"--export", path("out.tiff"), song}).status, 2);
    EXPECT_EQ(qanoredit({"--export", path("out"), song}).status, 2);
    EXPECT_EQ(qanoredit({"--export", path("out.pdf"), song, "--mode", "scroll"}).status, 2);
    EXPECT_EQ(qanoredit({"--info", song, "--force"}).status, 2);
    EXPECT_EQ(qanoredit({"--layout", song, "--no-watermark"}).status, 2);
    EXPECT_EQ(files(), QStringList{"song.qe"});
}

TEST_F(CommandLineExport, FailuresAreSaidAndGiveStatusOne) {
    const QString song = twoPages();
    const Outcome unwritable = qanoredit({"--export", path("missing/out.png"), song});
    EXPECT_EQ(unwritable.status, 1);
    EXPECT_EQ(unwritable.err.count(QStringLiteral("保存失败，请检查文件路径与扩展名。")), 2);
    EXPECT_TRUE(unwritable.out.isEmpty());

    writeAll(path("junk.qe"), "PK\x03\x04 not a score");
    const Outcome junk = qanoredit({"--export", path("out.png"), path("junk.qe")});
    EXPECT_EQ(junk.status, 1);
    EXPECT_TRUE(junk.err.contains(QStringLiteral("无法识别的文档。")));
    EXPECT_EQ(files(), QStringList({"junk.qe", "song.qe"}));
}

TEST_F(CommandLineExport, NoWatermarkLeavesABlackScoreAllGrey) {
    const QString song = score(4);
    ASSERT_EQ(qanoredit({"--export", path("clean.gif"), song, "--no-watermark"}).status, 0);
    ASSERT_EQ(qanoredit({"--export", path("marked.gif"), song}).status, 0);
    const auto colourful = [](const QImage& image) {
        int count = 0;
        for (int y = 0; y < image.height(); y += 2)
            for (int x = 0; x < image.width(); x += 2)
                count += qRed(image.pixel(x, y)) != qBlue(image.pixel(x, y));
        return count;
    };
    EXPECT_EQ(colourful(QImage(path("clean_1-1.gif"))), 0);
    EXPECT_GT(colourful(QImage(path("marked_1-1.gif"))), 10000);
}

TEST_F(CommandLineExport, TwoHundredPagesTakeLessThanTwiceTheMemoryOfOne) {
    // About a hundred measures fill a page.
    int measures = 19000;
    while (test::LaidOutScore(test::exportScore(measures)).pages() < 200)
        measures += 500;
    const QString many = score(measures, "many.qe");
    const QString one = score(8, "one.qe");

    const Outcome small = qanoredit({"--export", path("one.jpg"), one});
    ASSERT_EQ(small.status, 0) << small.err.toStdString();
    ASSERT_EQ(small.out.size(), 1);
    const Outcome large = qanoredit({"--export", path("many.jpg"), many});
    ASSERT_EQ(large.status, 0) << large.err.toStdString();
    ASSERT_GE(large.out.size(), 200);
    EXPECT_LT(large.peakKilobytes, 2 * small.peakKilobytes)
        << "1 page: " << small.peakKilobytes << " kB, " << large.out.size()
        << " pages: " << large.peakKilobytes << " kB";
    RecordProperty("peak_kB_1_page", static_cast<int>(small.peakKilobytes));
    RecordProperty("peak_kB_200_pages", static_cast<int>(large.peakKilobytes));
}

}  // namespace
}  // namespace qe
