#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <memory>

#include "document/document_autosave.h"
#include "document/recovery_entry.h"
#include "document/recovery_store.h"
#include "document/score_document.h"
#include "fake_clock.h"
#include "records/memory_io.h"
#include "support/file_size_limit.h"

namespace qe {
namespace {

using namespace std::chrono_literals;

QByteArray bytesOf(QeDocument& doc) {
    MemoryIO io;
    doc.serialize(io, true);
    return QByteArray(reinterpret_cast<const char*>(io.bytes().data()),
                      static_cast<qsizetype>(io.bytes().size()));
}

// An open document with its autosave into a folder of the test's own, on a clock the test
// moves.
class DocumentAutosaveTest : public ::testing::Test {
protected:
    DocumentAutosaveTest() {
        doc->onNewDocument(QStringLiteral("小星星"));
        autosave = new DocumentAutosave(doc.get(), RecoveryStore(folder.path()), clock, 30s);
    }

    // A change to the score, as a view reports one.
    void edit(int title) {
        doc_header header = doc->score().header();
        header.title = u"小星星 " + std::u16string(1, char16_t(u'0' + title));
        doc->session().score.setHeader(header);
        doc->history().markUnsaved();
        doc->contentChanged(nullptr);
    }
    // Time passes and the autosave's timer looks; then its write reaches the disk.
    void pass(std::chrono::milliseconds time) {
        clock->advance(time);
        autosave->scheduler().poll();
        autosave->waitForWrite();
    }
    QStringList files() const {
        return QDir(folder.path())
            .entryList({QStringLiteral("*.qe"), QStringLiteral("*.json")}, QDir::Files);
    }

    QTemporaryDir folder;
    QTemporaryDir scores;
    std::shared_ptr<test::FakeClock> clock = std::make_shared<test::FakeClock>();
    std::unique_ptr<ScoreDocument> doc = std::make_unique<ScoreDocument>();
    DocumentAutosave* autosave;  // a child of the document
};

TEST_F(DocumentAutosaveTest, AChangedScoreIsWrittenAsASaveWouldWriteIt) {
    edit(1);
    pass(29s);
    EXPECT_TRUE(files().isEmpty());
    pass(1s);
    ASSERT_TRUE(autosave->entry());
    const RecoveryRecord record = *autosave->entry()->record();
    EXPECT_TRUE(record.file.isEmpty());
    EXPECT_EQ(record.displayName(), QStringLiteral("未命名"));
    EXPECT_EQ(record.title, QStringLiteral("小星星 1"));
    EXPECT_EQ(record.autosaved, clock->now());
    QeDocument recovered;
    ASSERT_TRUE(autosave->entry()->load(recovered).ok());
    QeDocument saved = doc->records();
    EXPECT_EQ(bytesOf(recovered), bytesOf(saved));
    // The score's own file is never where the recovery file goes.
    EXPECT_TRUE(QDir(scores.path()).isEmpty());
}

TEST_F(DocumentAutosaveTest, SavingOrReturningToTheSavedStateRemovesTheFile) {
    const QString path = scores.filePath(QStringLiteral("小星星.qe"));
    edit(1);
    pass(30s);
    ASSERT_EQ(files().size(), 2);
    ASSERT_TRUE(doc->onSaveDocument(path).ok());
    EXPECT_TRUE(files().isEmpty());

    // Edited again: the record names the saved file now.
    edit(2);
    pass(30s);
    ASSERT_EQ(files().size(), 2);
    EXPECT_EQ(autosave->entry()->record()->file, path);
    // Undone back to what was saved.
    doc->history().markClean();
    doc->contentChanged(nullptr);
    EXPECT_TRUE(files().isEmpty());
    pass(1min);
    EXPECT_TRUE(files().isEmpty());
}

TEST_F(DocumentAutosaveTest, AFailedWriteIsReportedAndTriedAgainOneIntervalLater) {
    QStringList failures;
    QObject::connect(autosave, &DocumentAutosave::writeFailed,
                     [&failures](const QString& error) { failures << error; });
    edit(1);
    {
        const test::FileSizeLimit full(64);
        pass(30s);
        QCoreApplication::processEvents();  // the write's end reaches the window's thread
    }
    ASSERT_EQ(failures.size(), 1);
    EXPECT_TRUE(files().isEmpty());
    EXPECT_TRUE(autosave->scheduler().pending());
    pass(30s);
    EXPECT_EQ(files().size(), 2);
}

TEST_F(DocumentAutosaveTest, ClosingWithoutSavingRemovesTheFile) {
    edit(1);
    pass(30s);
    ASSERT_EQ(files().size(), 2);
    doc.reset();
    EXPECT_TRUE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

TEST_F(DocumentAutosaveTest, ARecoveredScoreKeepsItsEntryUntilSavedWhereItCameFrom) {
    // Given an entry a killed editor left for a file ...
    const QString path = scores.filePath(QStringLiteral("茉莉花.qe"));
    QeDocument before;
    before.initNew(u"茉莉花");
    const QByteArray bytes = bytesOf(before);
    RecoveryStore store(folder.path());
    {
        auto left = store.createEntry();
        ASSERT_TRUE(left->write(bytes, path, QStringLiteral("茉莉花"), clock->now()).ok());
    }
    RecoveryStore::Leftovers leftovers = store.takeLeftovers();
    ASSERT_EQ(leftovers.entries.size(), 1u);
    QeDocument loaded;
    ASSERT_TRUE(leftovers.entries.front()->load(loaded).ok());

    // ... when it is recovered ...
    auto recovered = std::make_unique<ScoreDocument>();
    recovered->onRecoveredDocument(std::move(loaded), path);
    auto* keeper = new DocumentAutosave(recovered.get(), store, clock, 30s,
                                        std::move(leftovers.entries.front()));
    EXPECT_TRUE(recovered->isModified());
    EXPECT_EQ(recovered->path(), path);
    EXPECT_EQ(recovered->title(), QStringLiteral("茉莉花"));
    EXPECT_FALSE(recovered->history().canUndo());
    // ... its file stays while it is unsaved, and goes when it is saved to its own file.
    clock->advance(5min);
    keeper->scheduler().poll();
    EXPECT_EQ(files().size(), 2);
    ASSERT_TRUE(recovered->onSaveDocument(recovered->path()).ok());
    EXPECT_TRUE(files().isEmpty());
    QFile saved(path);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), bytes);
}

}  // namespace
}  // namespace qe
