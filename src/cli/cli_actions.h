#pragma once

#include <QString>
#include <optional>

#include "document/score_file.h"
#include "export/export_format.h"
#include "files/result.h"

namespace qe {

class FontBook;
class ScoreLayout;
class ScoreSession;

// Prints a failed file operation's message on stderr; returns the failure exit status.
int reportFileFailure(const Result& result);
void printError(const QString& text);
void writeStdout(const QByteArray& bytes);
void warnWithoutSymbolFont(const FontBook& fonts);

int actionNew(const QString& out, const QString& title);
int actionInfo(const QString& path);
// Prints every measure whose length is not the time signature's, one line each; exits 1 when
// one is, 0 when none is, 2 when the file cannot be read.
int actionCheck(const QString& path);
int actionLayout(FontBook& fonts, const QString& path, bool scrollMode);
// Opens a score file into a session, saying on stderr what of it is not shown (`saving`: the
// command saves it again). A failure is reported and leaves its exit status in `status`.
bool openScore(const QString& path, ScoreSession& session, bool saving, int& status);
// Lays a score out with the real fonts measuring, in page mode or as the one strip of scroll
// mode. A failure is reported on stderr and leaves its exit status in `status`.
bool layOut(FontBook& fonts, ScoreLayout& layout, int& status);

// What --export was asked for: the score `document` written to `out` in `format`.
struct ExportRequest {
    QString out;
    QString document;
    const ExportFormat* format = nullptr;
    bool force = false;  // overwrite existing files instead of skipping them
    // The number of pages the score is fitted to, in place of the one it asks for; 0 keeps
    // that.
    int pages = 0;
    ExportOptions options;
};

// Writes the score through the registry's row for the request, laying it out only when the
// format draws it; prints the files written on stdout, and on stderr what the format could
// not carry over and why a file was not written.
int actionExport(FontBook& fonts, const ExportRequest& request);

// Lays lyrics onto the notes of a document as the editor's lyrics command does, then saves.
struct LyricsRequest {
    QString text;
    QString document;
    QString out;    // empty: in place
    int track = 1;  // from 1
    int verse = 1;  // from 1
    // The measure the syllables start from, numbered as printed (a pickup is 0); without it,
    // the first measure of the score.
    std::optional<int> measure;
};
int actionLyrics(FontBook& fonts, const LyricsRequest& request);
// MusicXML: a score read into a new document saved as `out`. What cannot be carried over is
// reported on stderr.
int actionImport(const QString& in, const QString& out);
// What a conversion could not carry over, a line each on stderr.
void printReport(const QStringList& lines);
// Types KEYS into the document as the editor would, then saves to `out` (or in place).
int actionType(FontBook& fonts, const QString& keys, const QString& path, const QString& out);

}  // namespace qe
