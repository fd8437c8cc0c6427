#include "gui/interface_language.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QSettings>
#include <QTranslator>

namespace qe {

namespace {

const QString kSetting = QStringLiteral("interface/language");

InterfaceLanguage current = InterfaceLanguage::Chinese;

}  // namespace

InterfaceLanguage languageOfLocale(const QLocale& locale) {
    return locale.language() == QLocale::English ? InterfaceLanguage::English
                                                 : InterfaceLanguage::Chinese;
}

std::optional<InterfaceLanguage> chosenLanguage() {
    const QString value = QSettings().value(kSetting).toString();
    if (value == u"en")
        return InterfaceLanguage::English;
    if (value == u"zh")
        return InterfaceLanguage::Chinese;
    return std::nullopt;
}

void chooseLanguage(std::optional<InterfaceLanguage> language) {
    QSettings settings;
    if (!language)
        settings.remove(kSetting);
    else
        settings.setValue(kSetting, *language == InterfaceLanguage::English ? QStringLiteral("en")
                                                                            : QStringLiteral("zh"));
}

InterfaceLanguage startingLanguage() {
    // The C and POSIX locales name no language: QLocale::system() reads them as C, which is
    // not English here.
    return chosenLanguage().value_or(languageOfLocale(QLocale::system()));
}

QString translationsFolder() {
    // Beside the program in the build, then where an installation puts them relative to the
    // program (the package installs under /usr whatever this build's prefix), then the
    // build's and the prefix's own folders.
    const QString appDir = QCoreApplication::applicationDirPath();
    const QStringList folders = {appDir + QStringLiteral("/translations"),
                                 appDir + QStringLiteral("/../share/qanoredit/translations"),
                                 QStringLiteral(QE_BUILD_TRANSLATIONS_DIR),
                                 QStringLiteral(QE_INSTALLED_TRANSLATIONS_DIR)};
    for (const QString& folder : folders)
        if (QFileInfo::exists(folder + QStringLiteral("/qanoredit_en.qm")))
            return QDir(folder).absolutePath();
    return folders.back();
}

void installLanguage(InterfaceLanguage language) {
    // The translators live as long as the application; a second call replaces the first.
    static QTranslator* own = nullptr;
    static QTranslator* qt = nullptr;
    for (QTranslator** translator : {&own, &qt}) {
        if (*translator) {
            QCoreApplication::removeTranslator(*translator);
            delete *translator;
            *translator = nullptr;
        }
    }
    current = language;
    const QLocale locale = language == InterfaceLanguage::English
                               ? QLocale(QLocale::English, QLocale::UnitedStates)
                               : QLocale(QLocale::Chinese, QLocale::China);
    QLocale::setDefault(locale);
    if (language == InterfaceLanguage::English) {
        own = new QTranslator(qApp);
        if (own->load(QStringLiteral("qanoredit_en"), translationsFolder()))
            QCoreApplication::installTranslator(own);
    }
    // Qt's file, print, font and colour dialogs and its standard buttons speak Chinese too;
    // in English they need no translation.
    if (language == InterfaceLanguage::Chinese) {
        qt = new QTranslator(qApp);
        if (qt->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
            QCoreApplication::installTranslator(qt);
    }
}

InterfaceLanguage currentLanguage() {
    return current;
}

}  // namespace qe
