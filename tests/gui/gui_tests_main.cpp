#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "gui/editor_application.h"
#include "gui/interface_language.h"
#include "gui_suites.h"
#include "support/qt/test_fonts.h"

// The windows under test draw with the application's fonts.
qe::FontBook& qe::test::fonts() {
    return static_cast<qe::EditorApplication*>(QCoreApplication::instance())->fonts();
}

// The editor's windows on the offscreen screen, with settings kept in a folder of their own.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    // Recovery files of the tests' own, never among the person's.
    QTemporaryDir data;
    qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
    QTemporaryDir runtime;
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        QFile::setPermissions(runtime.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                  QFileDevice::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    }
    qe::EditorApplication app(argc, argv);
    app.initPlatform();
    // The tests read the window's own texts, the Chinese interface's, whatever the machine's
    // locale; the language tests switch to English and back.
    qe::installLanguage(qe::InterfaceLanguage::Chinese);
    int status = 0;
    for (auto make :
         {qe::gui::makeEditingTests, qe::gui::makeDocumentTests, qe::gui::makeDialogTests,
          qe::gui::makePrintingTests, qe::gui::makeExportTests, qe::gui::makeEditMenuTests,
          qe::gui::makePlaybackTests, qe::gui::makeRecoveryTests, qe::gui::makeWorkbenchTests,
          qe::gui::makeLanguageTests}) {
        const std::unique_ptr<QObject> suite(make());
        status |= QTest::qExec(suite.get(), argc, argv);
    }
    return status;
}
