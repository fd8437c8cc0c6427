#pragma once

#include <QString>
#include <QStringList>

namespace qe {

class ScoreView;

// The export command of a score window: a save dialog for the folder, name and format, then
// the score written through the export registry in the format of the name's extension: every
// page of the window's page layout as images, SVG drawings or a PDF (the window's dialogs
// answer the questions), or the score as MusicXML, MIDI or WAV. Sound is written at `tempo`
// quarter notes per minute, the tempo the window plays at. The window's status bar says what
// was written.
void runExportCommand(ScoreView& view, int tempo);
// The export once the save dialog has been answered with `chosen`. Returns the status-bar
// message that tells what was written, empty when nothing was (a dialog has said why).
QString exportFromWindow(ScoreView& view, const QString& chosen, int tempo);
// The file types of the dialog, translated: the registry's formats in its order.
QStringList exportFileTypes();

}  // namespace qe
