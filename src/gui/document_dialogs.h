#pragma once

#include <QDialog>
#include <QString>
#include <vector>

#include "records/extension.h"

class QDialogButtonBox;
class QWidget;

namespace qe {

class ScoreDocument;

// What the windows ask about a document, with the dialogs and messages of the editor.

// The file type of score documents, for file dialogs.
QString scoreFileFilter();

// The save commands; false when nothing was saved. A failed save is said in a message.
bool saveDocument(ScoreDocument& doc, QWidget* parent);
bool saveDocumentAs(ScoreDocument& doc, QWidget* parent);
// Before a modified document closes: asks whether to save it (保存 / 不保存 / 取消).
// False keeps it open: cancelled, or the save failed.
bool saveModifiedDocument(ScoreDocument& doc, QWidget* parent);

// The title command: edits the title block, key and time signature.
void editTitleBlock(ScoreDocument& doc, QWidget* parent);
// The font command: edits the fonts of the seven text categories. Cancel leaves the fonts as
// they were.
void editFonts(ScoreDocument& doc, QWidget* parent);
// 谱面 > 声部名称: the name and short name of each part, as one undoable step.
void editPartNames(ScoreDocument& doc, QWidget* parent);
// The dialog of editPartNames, for the score's parts; `names` gives what it shows first.
QDialog* makePartNamesDialog(const std::vector<PartName>& names, int parts, QWidget* parent);
// What a part-names dialog holds, by part.
std::vector<PartName> partNamesOf(const QDialog& dialog);

}  // namespace qe
