#pragma once

#include <QDialog>
#include <QString>
#include <vector>

#include "musicxml/conversion_report.h"

class QPlainTextEdit;
class QPushButton;

namespace qe {

// What an import could not carry over, in the window's language: one line per kind with how
// many and the first measure; 显示详情 opens the list of every place (measure and part).
class ImportReportDialog : public QDialog {
public:
    ImportReportDialog(const std::vector<musicxml::ReportKind>& kinds, QWidget* parent);

    // The line a kind is summed up in, and the lines of its places, as shown.
    static QString summary(const musicxml::ReportKind& kind);
    static QStringList places(const musicxml::ReportKind& kind);

private:
    QPlainTextEdit* details_ = nullptr;
    QPushButton* more_ = nullptr;
};

}  // namespace qe
