#pragma once

#include <QString>

#include "records/qe_document.h"

namespace qe {

// The outcome of reading or writing a score file, with the text to show when it failed.
struct FileResult {
    bool ok = true;
    bool notADocument = false;  // the file was read but is not a readable score document
    QString error;
};

// The message for a file that is not a readable score document.
QString unreadableDocumentMessage();

// Reads a whole score document from a file into `doc` (which should be empty).
FileResult loadScore(const QString& path, QeDocument& doc);

// Writes `doc` to a temporary file beside `path` and renames it into place, so that a failed
// save never leaves a half-written file behind.
FileResult saveScore(const QString& path, QeDocument& doc);

}  // namespace qe
