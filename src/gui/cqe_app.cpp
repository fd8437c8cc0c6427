#include "gui/cqe_app.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>

#include "base/version.h"
#include "gui/drawn_icon.h"
#include "gui/main_frame.h"
#include "painter/font_book.h"

namespace qe {

CQEApp::CQEApp(int& argc, char** argv) : QApplication(argc, argv) {}

CQEApp::~CQEApp() {
    // The main window and its documents go while the application is still whole.
    frame_.reset();
    fonts_.reset();
}

bool CQEApp::initPlatform() {
    setOrganizationName(QStringLiteral("OrmindoSoftware"));
    setApplicationName(QStringLiteral("QanorEdit"));
    setApplicationVersion(QString::fromLatin1(kVersion));
    setDesktopFileName(QStringLiteral("qanoredit"));
    // The editor speaks Chinese, and so do the file, print, font and colour dialogs and the
    // standard buttons Qt makes.
    const QLocale chinese(QLocale::Chinese, QLocale::China);
    QLocale::setDefault(chinese);
    if (qtTranslator_.load(chinese, QStringLiteral("qtbase"), QStringLiteral("_"),
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(&qtTranslator_);
    setWindowIcon(DrawnIcon::make(IconKind::Application));
    fonts_ = std::make_unique<FontBook>();
    return fonts_->hasSymbolFont();
}

bool CQEApp::initInstance(const QStringList& files) {
    const bool fonts = initPlatform();
    frame_ = std::make_unique<CMainFrame>(*fonts_);
    frame_->show();
    if (!fonts) {
        QMessageBox box(
            QMessageBox::Warning, CMainFrame::appTitle(),
            QStringLiteral("找不到音符字体 QanorEditSymbol.ttf，谱中的音符将无法显示。"),
            QMessageBox::Ok, frame_.get());
        box.button(QMessageBox::Ok)->setText(QStringLiteral("确定"));
        box.exec();
    }
    // Scores a crashed editor was keeping come back first, so that a file named below that
    // one of them belongs to shows the recovered score rather than opening twice.
    const int recovered = frame_->offerRecovery();
    if (files.isEmpty() && recovered == 0)
        frame_->onFileNew();
    for (const QString& path : files)
        frame_->openDocument(path);
    return true;
}

int runEditor(int& argc, char** argv, const QStringList& files) {
    CQEApp app(argc, argv);
    if (!app.initInstance(files))
        return 1;
    return app.exec();
}

}  // namespace qe
