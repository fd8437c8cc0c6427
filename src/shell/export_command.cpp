#include "shell/export_command.h"

#include "shell/cqe_view.h"

namespace qe {

void runExportCommand(CQEView&) {}

}  // namespace qe
