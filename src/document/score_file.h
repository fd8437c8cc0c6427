#pragma once

#include <QString>

#include <utility>

#include "files/result.h"
#include "records/qe_document.h"

namespace qe {

// The outcome of reading or writing a score file.
struct FileResult : Result {
    bool notADocument = false;  // the file was read but is not a readable score document

    // A file that could not be read or written, for the reason given.
    static FileResult failure(QString why, bool notADocument = false) {
        FileResult result;
        result.fail(std::move(why));
        result.notADocument = notADocument;
        return result;
    }
};

// The message for a file that is not a readable score document.
QString unreadableDocumentMessage();
// The same, with a second line for a file that is a score document but damaged: where it was
// cut short, or where its content could not be read.
QString damagedDocumentMessage(const DamagedDocument& damage);

// Reads a whole score document from a file into `doc` (which should be empty).
FileResult loadScore(const QString& path, QeDocument& doc);

// Writes `doc` to a temporary file beside `path` and renames it into place, so that a failed
// save never leaves a half-written file behind.
FileResult saveScore(const QString& path, QeDocument& doc);

}  // namespace qe
