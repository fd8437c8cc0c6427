#pragma once

#include <QDialog>
#include <QList>
#include <QString>

namespace qe {

class Commands;

// One line of the key guide: its group, the key (or keys), and what it does.
struct KeyGuideRow {
    QString group;
    QString keys;
    QString meaning;
};

// Every key of the editor, grouped: the note-entry keys from the input method's own table, the
// keys of the score window and of the menus from the command table, and the keys of lyrics and
// chord-symbol entry from their own tables. Nothing is written twice, so the guide cannot
// drift from what the keys do.
QList<KeyGuideRow> keyGuideRows(const Commands& commands);

// 帮助 > 键盘指南: the rows in a tree of groups, in a window that stays open beside the score.
class KeyGuide : public QDialog {
    Q_OBJECT

public:
    KeyGuide(const QList<KeyGuideRow>& rows, QWidget* parent = nullptr);
};

}  // namespace qe
