#include "gui/recent_files.h"

#include <QFileInfo>
#include <QSettings>

namespace qe {

namespace {

const char* const kGroup = "Recent File List";

QString keyOf(int index) {
    return QStringLiteral("File%1").arg(index + 1);
}

void store(const QStringList& files) {
    QSettings settings;
    settings.beginGroup(QString::fromUtf8(kGroup));
    for (int i = 0; i < RecentFiles::kMostFiles; ++i) {
        if (i < files.size())
            settings.setValue(keyOf(i), files[i]);
        else
            settings.remove(keyOf(i));
    }
}

}  // namespace

QStringList RecentFiles::files() const {
    QSettings settings;
    settings.beginGroup(QString::fromUtf8(kGroup));
    QStringList files;
    for (int i = 0; i < kMostFiles; ++i) {
        const QString path = settings.value(keyOf(i)).toString();
        if (!path.isEmpty() && !files.contains(path))
            files << path;
    }
    return files;
}

void RecentFiles::add(const QString& path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QStringList list = files();
    list.removeAll(absolute);
    list.prepend(absolute);
    store(list.mid(0, kMostFiles));
}

void RecentFiles::remove(const QString& path) {
    QStringList list = files();
    list.removeAll(QFileInfo(path).absoluteFilePath());
    store(list);
}

}  // namespace qe
