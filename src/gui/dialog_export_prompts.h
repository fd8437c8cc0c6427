#pragma once

#include "export/export_host.h"

class QWidget;

namespace qe {

// The export's questions, answered by the person at the window: the overwrite question, a
// save dialog for another name, and the failure message, all over `parent`.
class DialogExportPrompts : public ExportPrompts {
public:
    explicit DialogExportPrompts(QWidget* parent) : parent_(parent) {}

    bool confirmOverwrite(const QString& path) override;
    QString chooseOtherPath(const QString& folder, const QString& suggestedName,
                            const QString& extension) override;
    void reportFailure(const QString& path) override;

private:
    QWidget* parent_;
};

}  // namespace qe
