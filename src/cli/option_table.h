#pragma once

#include <QCommandLineOption>
#include <QList>

namespace qe {

// One line on what the program is, for --help and the manual page.
inline constexpr const char* kDescription = "Qanor简谱编辑器: a jianpu score editor.";

// The usage summary printed after a usage error and in the manual page's synopsis.
extern const char* const kUsage;

// Every option of the command line but --help and --version, in the order --help lists them:
// the one table that --help, the parser and the manual page are made from.
QList<QCommandLineOption> actionOptions();

}  // namespace qe
