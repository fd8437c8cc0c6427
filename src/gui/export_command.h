#pragma once

#include <QString>

namespace qe {

class ScoreView;

// The export command of a score window: a save dialog for the folder, name and format, then
// the score written in that format: every page of the window's page layout as images, PDF or
// SVG (through the page export, whose questions the window's dialogs answer), or the score as
// MusicXML, MIDI or WAV. Sound is written at `tempo` quarter notes per minute, the tempo the
// window plays at. The window's status bar says what was written.
void runExportCommand(ScoreView& view, int tempo);
// The export once the save dialog has been answered with `chosen`; its extension chooses the
// format. Returns the status-bar message that tells what was written, empty when nothing was.
QString exportFromWindow(ScoreView& view, const QString& chosen, int tempo);
// The file types of the dialog, with their Chinese names: images, PDF, SVG, MusicXML (plain
// and compressed), MIDI and WAV.
const QStringList& exportFileTypes();

}  // namespace qe
