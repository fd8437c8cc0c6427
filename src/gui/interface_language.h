#pragma once

#include <QLocale>
#include <QString>
#include <optional>

namespace qe {

// The language of the window: Chinese, the editor's own, or English. It follows the desktop's
// (English for an English locale, Chinese for any other, the C and POSIX locales included)
// unless 视图 > 语言 chose one, which is remembered.
enum class InterfaceLanguage { Chinese, English };

// What the desktop's locale gives.
InterfaceLanguage languageOfLocale(const QLocale& locale);
// The language chosen in the menu, or nothing when it follows the desktop.
std::optional<InterfaceLanguage> chosenLanguage();
// Remembers a choice; nothing: follow the desktop again. Takes effect at the next start.
void chooseLanguage(std::optional<InterfaceLanguage> language);
// The language the window starts in: the choice, else the desktop's.
InterfaceLanguage startingLanguage();

// Installs the translations of `language` into the application: the editor's own texts and
// Qt's dialogs and buttons, and the default locale to go with them. The language stays for
// the application's life; `current()` tells it.
void installLanguage(InterfaceLanguage language);
InterfaceLanguage currentLanguage();

// The folder the compiled translations are in: beside the build, or where the package puts
// them.
QString translationsFolder();

}  // namespace qe
