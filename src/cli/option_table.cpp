#include "cli/option_table.h"

#include "cli/cli_sound.h"

namespace qe {

const char* const kUsage =
    "usage: qanoredit [FILE.qe ...]          (the editor)\n"
    "       qanoredit --new OUT.qe [--title TEXT] | --info FILE.qe | --check FILE.qe\n"
    "                 | --layout FILE.qe [--mode page|scroll]\n"
    "                 | --export OUT.EXT FILE.qe [--mode page|scroll] [--force] [--no-watermark]\n"
    "                   [--pages N]\n"
    "                 | --export OUT.mid|OUT.wav FILE.qe [--tempo BPM] [--program N] [--force]\n"
    "                 | --import IN.musicxml|IN.mxl -o OUT.qe\n"
    "                 | --type KEYS FILE.qe [-o OUT.qe]\n"
    "                 | --lyrics TEXT FILE.qe [--track N] [--verse K] [--measure M] [-o OUT.qe]\n"
    "                 | --help | --version\n";

namespace {

// A new document, and what the program tells of one: the whole of it, its measures that do
// not add up, its layout in either mode.
QList<QCommandLineOption> documentOptions() {
    const QCommandLineOption newOption(QStringLiteral("new"),
                                       QStringLiteral("Write a new score document to <file>."),
                                       QStringLiteral("file"));
    const QCommandLineOption titleOption(QStringLiteral("title"),
                                         QStringLiteral("Main title of the new document."),
                                         QStringLiteral("text"));
    const QCommandLineOption infoOption(QStringLiteral("info"),
                                        QStringLiteral("Print the whole document <file> as JSON."),
                                        QStringLiteral("file"));
    const QCommandLineOption checkOption(
        QStringLiteral("check"),
        QStringLiteral("Print every measure of <file> whose beats do not add up to the time "
                       "signature (a pickup and the last measure that completes it pass); exit "
                       "status 1 when there is one, 0 when there is none, 2 when <file> cannot "
                       "be read."),
        QStringLiteral("file"));
    const QCommandLineOption layoutOption(
        QStringLiteral("layout"), QStringLiteral("Print the laid-out tree of <file> as JSON."),
        QStringLiteral("file"));
    const QCommandLineOption modeOption(
        QStringLiteral("mode"),
        QStringLiteral("Layout mode for --layout and --export: page (default) or scroll, where "
                       "--export writes the whole strip as the one image <out>."),
        QStringLiteral("mode"), QStringLiteral("page"));
    return {newOption, titleOption, infoOption, checkOption, layoutOption, modeOption};
}

QList<QCommandLineOption> exportOptions() {
    const QCommandLineOption exportOption(
        QStringLiteral("export"),
        QStringLiteral("Write every page of the document given after it, in the format of "
                       "<out>'s extension: png, jpg, gif or bmp images at 288 dots per inch or "
                       "svg drawings, one per page named <out>_N-i.<ext> (N pages, page i); "
                       "pdf, one document <out>; musicxml or xml, the score as MusicXML (mxl "
                       "compressed); mid, a MIDI file, or wav, rendered audio: the score as it "
                       "sounds, repeats played out."),
        QStringLiteral("out"));
    const QCommandLineOption forceOption(
        QStringLiteral("force"),
        QStringLiteral("With --export: overwrite existing files (otherwise they are skipped)."));
    const QCommandLineOption noWatermarkOption(
        QStringLiteral("no-watermark"),
        QStringLiteral("With --export: pages without the watermark."));
    const QCommandLineOption pagesOption(
        QStringLiteral("pages"),
        QStringLiteral("With --export of pages: fit the score on <n> pages (1..255), its "
                       "systems closer and then its music smaller, down to 60 % of its size; "
                       "exit status 1 and nothing written when even that is not enough."),
        QStringLiteral("n"));
    return {exportOption, forceOption, noWatermarkOption, pagesOption};
}

// The actions that change a document and save it.
QList<QCommandLineOption> editingOptions() {
    const QCommandLineOption typeOption(
        QStringLiteral("type"),
        QStringLiteral(
            "Type <keys> into the document given after it, as typed in the editor, and save it. "
            "\\n is Enter, \\b Backspace, \\< and \\> the arrow keys, \\z undo, \\y redo, \\\\ a "
            "backslash."),
        QStringLiteral("keys"));
    const QCommandLineOption outputOption(
        QStringList{QStringLiteral("o"), QStringLiteral("output")},
        QStringLiteral("With --type or --lyrics: save to <file> instead of in place. With "
                       "--import: the document to write."),
        QStringLiteral("file"));
    const QCommandLineOption importOption(
        QStringLiteral("import"),
        QStringLiteral("Read the MusicXML score <file> (.musicxml, .xml or compressed .mxl) into "
                       "a new document saved as the -o file."),
        QStringLiteral("file"));
    const QCommandLineOption lyricsOption(
        QStringLiteral("lyrics"),
        QStringLiteral("Lay <text> as lyrics onto the notes of the document given after it and "
                       "save it: a Chinese character or a Latin word part (split at spaces and "
                       "after hyphens) per note, _ for a note without; replaces the verse from "
                       "the measure on."),
        QStringLiteral("text"));
    const QCommandLineOption trackOption(QStringLiteral("track"),
                                         QStringLiteral("With --lyrics: the note track, from 1."),
                                         QStringLiteral("n"), QStringLiteral("1"));
    const QCommandLineOption verseOption(QStringLiteral("verse"),
                                         QStringLiteral("With --lyrics: the verse, from 1."),
                                         QStringLiteral("k"), QStringLiteral("1"));
    const QCommandLineOption measureOption(
        QStringLiteral("measure"),
        QStringLiteral("With --lyrics: the first measure, numbered as printed (a pickup is 0); "
                       "the start of the score when not given."),
        QStringLiteral("m"));
    return {typeOption,  outputOption, importOption, lyricsOption,
            trackOption, verseOption,  measureOption};
}

}  // namespace

QList<QCommandLineOption> actionOptions() {
    return documentOptions() + exportOptions() + editingOptions() + soundOptions();
}

}  // namespace qe
