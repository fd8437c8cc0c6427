#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "files/atomic_file.h"
#include "support/file_size_limit.h"

namespace qe {
namespace {

// A disk that fills up while the last buffered bytes go out: the file that stood there stays,
// and the write says it failed.
TEST(AtomicFileTest, ADiskFullAtTheLastFlushKeepsTheOldFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("page.png"));
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("the old page");
    }
    Result written;
    {
        const test::FileSizeLimit full(1024);
        // Small enough to wait in the file's buffer until the end.
        written = writeAtomically(
            path, [](QIODevice& device) { return device.write(QByteArray(4096, 'x')) == 4096; });
    }
    EXPECT_FALSE(written.ok());
    QFile kept(path);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("the old page"));
}

}  // namespace
}  // namespace qe
