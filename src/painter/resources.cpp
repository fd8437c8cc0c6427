#include "painter/resources.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>

namespace qe {

namespace {
QString g_fontPath;
}

bool registerApplicationFonts() {
    if (!g_fontPath.isEmpty())
        return true;
    QStringList folders;
    const QString fromEnvironment = qEnvironmentVariable("QANOREDIT_FONT_DIR");
    if (!fromEnvironment.isEmpty())
        folders << fromEnvironment;
    if (QCoreApplication::instance()) {
        const QString appDir = QCoreApplication::applicationDirPath();
        folders << appDir + QStringLiteral("/fonts")
                << appDir + QStringLiteral("/../share/qanoredit/fonts");
    }
    folders << QStringLiteral(QE_BUILD_FONT_DIR) << QStringLiteral(QE_INSTALLED_FONT_DIR);
    for (const QString& folder : folders) {
        const QString path = QDir(folder).filePath(QStringLiteral("QanorEditSymbol.ttf"));
        if (!QFileInfo::exists(path))
            continue;
        if (QFontDatabase::addApplicationFont(path) < 0)
            continue;
        g_fontPath = QFileInfo(path).absoluteFilePath();
        return true;
    }
    return false;
}

QString symbolFontPath() {
    return g_fontPath;
}

}  // namespace qe
