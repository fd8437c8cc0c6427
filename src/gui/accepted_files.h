#pragma once

#include <QFileDialog>
#include <QStringList>

namespace qe {

// Runs a file dialog and returns the files it was accepted with; nothing when cancelled. They
// are taken at the moment of acceptance: a dialog still reading a folder in the background may
// put its first name back into its name field afterwards.
inline QStringList acceptedFiles(QFileDialog& dialog) {
    QStringList files;
    QObject::connect(&dialog, &QFileDialog::filesSelected, &dialog,
                     [&files](const QStringList& selected) { files = selected; });
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return files;
}

}  // namespace qe
