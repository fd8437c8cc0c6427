#pragma once

#include <QString>

#include "document/score_file.h"

namespace qe {

// Prints a failed file operation's message on stderr; returns the failure exit status.
int reportFileFailure(const FileResult& result);
void printError(const QString& text);
void writeStdout(const QByteArray& bytes);
void warnWithoutSymbolFont();

int actionNew(const QString& out, const QString& title);
int actionInfo(const QString& path);
int actionLayout(const QString& path, bool scrollMode);
int actionExport(const QString& out, const QString& path);
// Writes the scroll-mode strip, every track line of the score, as one image.
int actionExportStrip(const QString& out, const QString& path);
// Types KEYS into the document as the editor would, then saves to `out` (or in place).
int actionType(const QString& keys, const QString& path, const QString& out);

}  // namespace qe
