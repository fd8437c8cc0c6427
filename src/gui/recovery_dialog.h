#pragma once

#include <QDialog>
#include <QList>
#include <vector>

#include "document/recovery_record.h"

class QPushButton;
class QTreeWidget;

namespace qe {

// The question at a start after the editor did not end cleanly: the documents it was
// keeping, each with its file's name (or "未命名") and the time of its last autosave, and
// what to do with them. The choice applies to the documents ticked; the others wait for a
// later start.
class RecoveryDialog : public QDialog {
    Q_OBJECT

public:
    enum Choice { Recover, Discard, Later };

    explicit RecoveryDialog(const std::vector<RecoveryRecord>& records, QWidget* parent = nullptr);

    Choice choice() const { return choice_; }
    // The rows ticked, in the order of the records.
    QList<int> chosenRows() const;

    QTreeWidget* list() const { return list_; }
    QPushButton* button(Choice choice) const { return buttons_[choice]; }

private:
    void choose(Choice choice);

    QTreeWidget* list_;
    QPushButton* buttons_[3] = {};
    Choice choice_ = Later;
};

}  // namespace qe
