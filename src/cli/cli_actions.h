#pragma once

#include <QString>

#include "document/score_file.h"

namespace qe {

class FontBook;
class ScoreLayout;
class ScoreSession;

// Prints a failed file operation's message on stderr; returns the failure exit status.
int reportFileFailure(const FileResult& result);
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

// What --export was asked for.
struct ExportRequest {
    QString out;
    QString document;
    bool scrollMode = false;  // --mode scroll
    bool force = false;       // overwrite existing files instead of skipping them
    bool watermark = true;
    int tempo = 90;             // --tempo of a sound export: quarter notes per minute
    bool tempoGiven = false;    // --tempo was given: it overrides the score's tempo mark
    int program = 0;            // --program of a sound export: the General MIDI instrument
    FontBook* fonts = nullptr;  // what pages and strips are drawn with
};

// A row of the export table: the output extensions it takes (lower case, no dot, separated by
// spaces), whether it can write the scroll-mode strip, and the action that writes.
struct ExportTarget {
    const char* extensions;
    bool takesScrollMode;
    int (*write)(const ExportRequest& request);
};

// The row for the extension of `out` in any case, or null when nothing writes it.
const ExportTarget* exportTargetFor(const QString& out);
// Every extension the table takes, for the usage message.
QString exportExtensions();

// Lays lyrics onto the notes of a document as the editor's lyrics command does, then saves.
struct LyricsRequest {
    QString text;
    QString document;
    QString out;    // empty: in place
    int track = 1;  // all three from 1
    int verse = 1;
    int measure = 1;
};
int actionLyrics(FontBook& fonts, const LyricsRequest& request);
// MusicXML: a score read into a new document saved as `out`, and the --export row that
// writes a document as a MusicXML file (compressed for .mxl). What cannot be carried over is
// reported on stderr.
int actionImport(const QString& in, const QString& out);
int exportMusicXml(const ExportRequest& request);
// Types KEYS into the document as the editor would, then saves to `out` (or in place).
int actionType(FontBook& fonts, const QString& keys, const QString& path, const QString& out);

}  // namespace qe
