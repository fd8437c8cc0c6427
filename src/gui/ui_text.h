#pragma once

#include <QCoreApplication>
#include <QString>

namespace qe {

// The context every text of the window is translated in.
inline constexpr const char* kUiContext = "qanoredit";

// A text of the window through Qt's translation system: the source is the Chinese text the
// editor has always shown, which stays when no translation is installed (the Chinese
// interface); translations/qanoredit_en.ts gives the English one. tools/update_translations.py
// finds every ui("...") of the sources.
inline QString ui(const char* source) {
    return QCoreApplication::translate(kUiContext, source);
}

// A text the core composed from its own table (the key guide's keys, the names of the status
// panes), translated where the window shows it; the same text when it has no translation.
inline QString uiText(const QString& source) {
    return QCoreApplication::translate(kUiContext, source.toUtf8().constData());
}

}  // namespace qe
