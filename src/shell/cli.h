#pragma once

namespace qe {

// Exit statuses of the command line.
enum ExitStatus : int { kExitOk = 0, kExitFailure = 1, kExitUsage = 2 };

// Runs the program: a command-line action when one is given, otherwise the editor.
int runProgram(int& argc, char** argv);

}  // namespace qe
