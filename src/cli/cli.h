#pragma once

#include <QStringList>
#include <optional>

namespace qe {

// Exit statuses of the command line.
enum ExitStatus : int { kExitOk = 0, kExitFailure = 1, kExitUsage = 2 };

// Runs the command-line action the arguments give and returns its exit status. With no action,
// returns nothing and leaves in `files` the scores the editor is to open: the program then
// opens its windows.
std::optional<int> runCommandLine(int& argc, char** argv, QStringList& files);

}  // namespace qe
