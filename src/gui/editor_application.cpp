#include "gui/editor_application.h"

#include <QMessageBox>
#include <QPushButton>

#include "base/version.h"
#include "gui/drawn_icon.h"
#include "gui/interface_language.h"
#include "gui/main_window.h"
#include "gui/ui_text.h"
#include "painter/font_book.h"

namespace qe {

EditorApplication::EditorApplication(int& argc, char** argv) : QApplication(argc, argv) {}

EditorApplication::~EditorApplication() {
    // The main window and its documents go while the application is still whole.
    frame_.reset();
    fonts_.reset();
}

bool EditorApplication::initPlatform() {
    setOrganizationName(QStringLiteral("OrmindoSoftware"));
    setApplicationName(QStringLiteral("QanorEdit"));
    setApplicationVersion(QString::fromLatin1(kVersion));
    setDesktopFileName(QStringLiteral("qanoredit"));
    // The window speaks Chinese, or English on an English desktop or when chosen; Qt's own
    // dialogs and buttons speak the same.
    installLanguage(startingLanguage());
    setWindowIcon(DrawnIcon::make(IconKind::Application));
    fonts_ = std::make_unique<FontBook>();
    return fonts_->hasSymbolFont();
}

bool EditorApplication::initInstance(const QStringList& files) {
    const bool fonts = initPlatform();
    frame_ = std::make_unique<MainWindow>(*fonts_);
    frame_->show();
    if (!fonts) {
        QMessageBox box(QMessageBox::Warning, MainWindow::appTitle(),
                        ui("找不到音符字体 QanorEditSymbol.ttf，谱中的音符将无法显示。"),
                        QMessageBox::Ok, frame_.get());
        box.button(QMessageBox::Ok)->setText(ui("确定"));
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
    EditorApplication app(argc, argv);
    if (!app.initInstance(files))
        return 1;
    return app.exec();
}

}  // namespace qe
