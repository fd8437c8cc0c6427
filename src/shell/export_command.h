#pragma once

namespace qe {

class CQEView;

// The export command of a score window: a save dialog for the folder, name and format, then
// every page of the window's page layout written through the page export, whose questions
// (overwrite, another name, a failed file) the window's dialogs answer.
void runExportCommand(CQEView& view);

}  // namespace qe
