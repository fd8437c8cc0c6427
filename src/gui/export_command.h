#pragma once

#include <QString>

namespace qe {

class ScoreView;

// The export command of a score window: a save dialog for the folder, name and format, then
// every page of the window's page layout written through the page export, whose questions
// (overwrite, another name, a failed file) the window's dialogs answer.
void runExportCommand(ScoreView& view);
// The export once the save dialog has been answered with `chosen`.
void exportWindowPages(ScoreView& view, const QString& chosen);

}  // namespace qe
