#include "cli/cli.h"
#include "gui/editor_application.h"

// A command-line action when the arguments give one, otherwise the editor's windows.
int main(int argc, char** argv) {
    QStringList files;
    if (const std::optional<int> status = qe::runCommandLine(argc, argv, files))
        return *status;
    return qe::runEditor(argc, argv, files);
}
