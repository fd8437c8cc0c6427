#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QTemporaryDir>
#include <QTimeZone>

#include "document/recovery_entry.h"
#include "document/recovery_store.h"
#include "records/memory_io.h"
#include "records/qe_document.h"
#include "support/file_size_limit.h"

namespace qe {
namespace {

QByteArray bytesOf(QeDocument& doc) {
    MemoryIO io;
    doc.serialize(io, true);
    return QByteArray(reinterpret_cast<const char*>(io.bytes().data()),
                      static_cast<qsizetype>(io.bytes().size()));
}

QByteArray scoreBytes(const std::u16string& title) {
    QeDocument doc;
    doc.initNew(title);
    return bytesOf(doc);
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// A process id that belonged to a process that is gone.
qint64 deadPid() {
    const pid_t child = fork();
    if (child == 0)
        _exit(0);
    waitpid(child, nullptr, 0);
    return child;
}

class RecoveryStoreTest : public ::testing::Test {
protected:
    QStringList filesIn(const QString& folder) const {
        return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }
    // An entry written once with `bytes` and left behind as a killed editor leaves it: the
    // files in place and the lock file still naming a process that is gone.
    QString leaveBehind(const QByteArray& bytes, const QString& file = QString()) {
        auto entry = store.createEntry();
        EXPECT_TRUE(entry);
        if (!entry)
            return {};
        EXPECT_TRUE(entry->write(bytes, file, QStringLiteral("茉莉花"), when).ok());
        const QString id = entry->id();
        const QString lockPath = dir.filePath(id + QStringLiteral(".lock"));
        QByteArray lock = readAll(lockPath);
        entry.reset();  // the lock file goes with the lock; put it back as the killed one's
        lock.replace(0, lock.indexOf('\n'), QByteArray::number(deadPid()));
        writeAll(lockPath, lock);
        return id;
    }

    QTemporaryDir dir;
    RecoveryStore store{dir.path()};
    QDateTime when = QDateTime(QDate(2024, 3, 9), QTime(20, 15, 30), QTimeZone::utc());
};

TEST_F(RecoveryStoreTest, EachWriteReplacesTheDocumentWhole) {
    auto entry = store.createEntry();
    ASSERT_TRUE(entry);
    const QByteArray first = scoreBytes(u"第一稿");
    const QByteArray second = scoreBytes(u"第二稿，长一些的标题");
    ASSERT_TRUE(
        entry->write(first, QStringLiteral("/scores/a.qe"), QStringLiteral("a"), when).ok());
    ASSERT_TRUE(
        entry->write(second, QStringLiteral("/scores/a.qe"), QStringLiteral("a"), when.addSecs(30))
            .ok());

    // One document, the one the record names, byte for byte; the first is gone.
    const QString id = entry->id();
    EXPECT_EQ(filesIn(dir.path()), QStringList({id + "-b.qe", id + ".json", id + ".lock"}));
    EXPECT_EQ(readAll(entry->documentPath()), second);
    const auto record = RecoveryRecord::fromJson(readAll(dir.filePath(id + ".json")));
    ASSERT_TRUE(record);
    EXPECT_EQ(record->file, QStringLiteral("/scores/a.qe"));
    EXPECT_EQ(record->autosaved, when.addSecs(30));
    EXPECT_EQ(record->bytes, second.size());
    QeDocument loaded;
    ASSERT_TRUE(entry->load(loaded).ok());
    EXPECT_EQ(bytesOf(loaded), second);
}

TEST_F(RecoveryStoreTest, AFailedWriteLeavesTheLastCompleteDocument) {
    auto entry = store.createEntry();
    ASSERT_TRUE(entry);
    const QByteArray first = scoreBytes(u"第一稿");
    ASSERT_TRUE(entry->write(first, QString(), QStringLiteral("a"), when).ok());
    Result written;
    {
        const test::FileSizeLimit full(first.size() + 64);
        written = entry->write(first + QByteArray(4096, '\0'), QString(), QStringLiteral("a"),
                               when.addSecs(30));
    }
    EXPECT_FALSE(written.ok());
    EXPECT_FALSE(written.message.isEmpty());
    EXPECT_TRUE(entry->intact());
    EXPECT_EQ(entry->record()->autosaved, when);
    QeDocument loaded;
    ASSERT_TRUE(entry->load(loaded).ok());
    EXPECT_EQ(bytesOf(loaded), first);
}

TEST_F(RecoveryStoreTest, AKilledEditorsEntryIsTakenOverWithItsStaleLock) {
    const QByteArray bytes = scoreBytes(u"茉莉花");
    const QString id = leaveBehind(bytes, QStringLiteral("/scores/茉莉花.qe"));
    // A document written while the editor died, never named by the record.
    writeAll(dir.filePath(id + "-b.qe"), "half a score");

    RecoveryStore::Leftovers left = store.takeLeftovers();
    ASSERT_EQ(left.entries.size(), 1u);
    EXPECT_TRUE(left.damaged.isEmpty());
    RecoveryEntry& entry = *left.entries.front();
    EXPECT_EQ(entry.id(), id);
    EXPECT_EQ(entry.record()->displayName(), QStringLiteral("茉莉花.qe"));
    EXPECT_EQ(entry.record()->autosaved, when);
    EXPECT_EQ(filesIn(dir.path()), QStringList({id + "-a.qe", id + ".json", id + ".lock"}));
    // Now this process's: a third editor would not see it.
    EXPECT_TRUE(RecoveryStore(dir.path()).takeLeftovers().entries.empty());
    entry.remove();
    EXPECT_TRUE(filesIn(dir.path()).isEmpty());
}

TEST_F(RecoveryStoreTest, ARunningEditorsEntryIsNotOffered) {
    auto live = store.createEntry();
    ASSERT_TRUE(live);
    ASSERT_TRUE(live->write(scoreBytes(u"正在编辑"), QString(), QStringLiteral("a"), when).ok());
    const QStringList before = filesIn(dir.path());

    const RecoveryStore::Leftovers left = RecoveryStore(dir.path()).takeLeftovers();
    EXPECT_TRUE(left.entries.empty());
    EXPECT_TRUE(left.damaged.isEmpty());
    EXPECT_EQ(filesIn(dir.path()), before);
}

TEST_F(RecoveryStoreTest, DamagedEntriesAreReportedMovedAsideAndTheRestOffered) {
    const QString good = leaveBehind(scoreBytes(u"好的"), QStringLiteral("/scores/good.qe"));
    // Cut off: the disk lost the end of the document.
    const QString cut = leaveBehind(scoreBytes(u"截断"), QStringLiteral("/scores/cut.qe"));
    const QString cutDocument = dir.filePath(cut + "-a.qe");
    writeAll(cutDocument, readAll(cutDocument).left(40));
    // A record that is not one.
    const QString garbled = leaveBehind(scoreBytes(u"乱码"));
    writeAll(dir.filePath(garbled + ".json"), "{\"format\": 1, \"file\": ");
    // A record that names a document outside the folder: the file there is not touched.
    QTemporaryDir elsewhere;
    const QString victim = elsewhere.filePath(QStringLiteral("victim.qe"));
    writeAll(victim, "someone else's file");
    const QString escaping = leaveBehind(scoreBytes(u"越界"));
    QByteArray record = readAll(dir.filePath(escaping + ".json"));
    record.replace((escaping + "-a.qe").toUtf8(),
                   QDir(dir.path()).relativeFilePath(victim).toUtf8());
    writeAll(dir.filePath(escaping + ".json"), record);

    const RecoveryStore::Leftovers left = store.takeLeftovers();
    ASSERT_EQ(left.entries.size(), 1u);
    EXPECT_EQ(left.entries.front()->id(), good);
    ASSERT_EQ(left.damaged.size(), 3);
    EXPECT_TRUE(left.damaged.join('\n').contains(QStringLiteral("cut.qe")));
    EXPECT_TRUE(left.damaged.join('\n').contains(garbled + ".json"));
    EXPECT_EQ(readAll(victim), QByteArray("someone else's file"));
    // Kept, not deleted, and not reported at the next start again.
    const QStringList kept = filesIn(store.damagedFolder());
    EXPECT_TRUE(kept.contains(cut + "-a.qe"));
    EXPECT_TRUE(kept.contains(garbled + ".json"));
    EXPECT_TRUE(kept.contains(escaping + ".json"));
    EXPECT_TRUE(RecoveryStore(dir.path()).takeLeftovers().damaged.isEmpty());
}

TEST_F(RecoveryStoreTest, ADocumentThatDoesNotReadWholeIsRefused) {
    auto entry = store.createEntry();
    ASSERT_TRUE(entry);
    // Written and recorded as it is, so its digest matches: only reading it shows the fault.
    QByteArray bytes = scoreBytes(u"茉莉花");
    bytes.chop(10);
    ASSERT_TRUE(entry->write(bytes, QString(), QStringLiteral("a"), when).ok());
    QeDocument loaded;
    const FileResult result = entry->load(loaded);
    EXPECT_FALSE(result.ok());
    EXPECT_TRUE(result.message.contains(entry->documentPath()));
}

TEST(RecoveryRecordTest, ReadsWhatItWritesAndRefusesOtherwise) {
    RecoveryRecord r;
    r.title = QStringLiteral("小星星");
    r.autosaved = QDateTime(QDate(2024, 3, 9), QTime(20, 15, 30, 250), QTimeZone::utc());
    r.document = QStringLiteral("0123456789abcdef0123456789abcdef-a.qe");
    r.bytes = 1234;
    r.sha256 = QByteArray(64, 'c');
    const auto back = RecoveryRecord::fromJson(r.toJson());
    ASSERT_TRUE(back);
    EXPECT_EQ(back->autosaved, r.autosaved);
    EXPECT_EQ(back->displayName(), QStringLiteral("未命名"));

    const auto refused = [&r](auto change) {
        RecoveryRecord bad = r;
        change(bad);
        return !RecoveryRecord::fromJson(bad.toJson());
    };
    EXPECT_TRUE(refused([](RecoveryRecord& b) { b.document = QStringLiteral("../x.qe"); }));
    EXPECT_TRUE(refused([](RecoveryRecord& b) { b.document = QStringLiteral("/etc/x.qe"); }));
    EXPECT_TRUE(refused([](RecoveryRecord& b) { b.file = QStringLiteral("relative.qe"); }));
    EXPECT_TRUE(refused([](RecoveryRecord& b) { b.bytes = -1; }));
    EXPECT_TRUE(
        refused([](RecoveryRecord& b) { b.bytes = RecoveryRecord::kMostDocumentBytes + 1; }));
    EXPECT_TRUE(refused([](RecoveryRecord& b) { b.sha256 = "beef"; }));
    EXPECT_FALSE(RecoveryRecord::fromJson(QByteArray(RecoveryRecord::kMostRecordBytes + 1, ' ')));
    EXPECT_FALSE(RecoveryRecord::fromJson("[1, 2]"));
}

}  // namespace
}  // namespace qe
