#include "cli/cli.h"

#include <sys/stat.h>
#include <unistd.h>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QJsonDocument>
#include <QStringList>
#include <cerrno>
#include <cstdio>
#include <memory>

#include "base/version.h"
#include "cli/cli_actions.h"
#include "cli/cli_sound.h"
#include "cli/doc_json.h"
#include "document/score_file.h"
#include "painter/font_book.h"

namespace qe {

namespace {

const char* const kUsage =
    "usage: qanoredit [FILE.qe ...]          (the editor)\n"
    "       qanoredit --new OUT.qe [--title TEXT] | --info FILE.qe | --check FILE.qe\n"
    "                 | --layout FILE.qe [--mode page|scroll]\n"
    "                 | --export OUT.EXT FILE.qe [--mode page|scroll] [--force] [--no-watermark]\n"
    "                 | --export OUT.mid|OUT.wav FILE.qe [--tempo BPM] [--program N] [--force]\n"
    "                 | --import IN.musicxml|IN.mxl -o OUT.qe\n"
    "                 | --type KEYS FILE.qe [-o OUT.qe]\n"
    "                 | --lyrics TEXT FILE.qe [--track N] [--verse K] [--measure M] [-o OUT.qe]\n"
    "                 | --help | --version\n";

int usageError(const QString& why) {
    if (!why.isEmpty())
        printError(QStringLiteral("qanoredit: ") + why);
    std::fputs(kUsage, stderr);
    return kExitUsage;
}

}  // namespace

void printError(const QString& text) {
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

void writeStdout(const QByteArray& bytes) {
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stdout);
    std::fflush(stdout);
}

void warnWithoutSymbolFont(const FontBook& fonts) {
    if (!fonts.hasSymbolFont())
        printError(
            QStringLiteral("qanoredit: the music symbol font QanorEditSymbol.ttf was not found; "
                           "notes will not show."));
}

int reportFileFailure(const FileResult& result) {
    printError(result.error);
    return kExitFailure;
}

int actionNew(const QString& out, const QString& title) {
    QeDocument doc;
    doc.initNew(title.isEmpty() ? QStringLiteral("Qanor简谱1").toStdU16String()
                                : title.toStdU16String());
    const FileResult saved = saveScore(out, doc);
    if (!saved.ok)
        return reportFileFailure(saved);
    return kExitOk;
}

int actionInfo(const QString& path) {
    QeDocument doc;
    const FileResult loaded = loadScore(path, doc);
    if (!loaded.ok)
        return reportFileFailure(loaded);
    writeStdout(QJsonDocument(documentToJson(doc)).toJson(QJsonDocument::Indented));
    return kExitOk;
}

namespace {

// Headless machines draw and measure without a screen.
void preferOffscreenWithoutDisplay() {
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        // Qt wants a private runtime folder; without a session there is none, so make one
        // rather than have every command print a warning about it.
        const QByteArray folder =
            QDir::tempPath().toLocal8Bit() + "/runtime-qanoredit-" + QByteArray::number(::getuid());
        if (::mkdir(folder.constData(), 0700) == 0 || errno == EEXIST)
            qputenv("XDG_RUNTIME_DIR", folder);
    }
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return;
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

}  // namespace

std::optional<int> runCommandLine(int& argc, char** argv, QStringList& files) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Qanor简谱编辑器: a jianpu score editor."));
    const QCommandLineOption helpOption = parser.addHelpOption();
    const QCommandLineOption versionOption = parser.addVersionOption();
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
        QStringLiteral("measure"), QStringLiteral("With --lyrics: the first measure, from 1."),
        QStringLiteral("m"), QStringLiteral("1"));
    for (const QCommandLineOption& option :
         {newOption, titleOption, infoOption, checkOption, layoutOption, modeOption, exportOption, forceOption,
          noWatermarkOption, typeOption, outputOption, importOption, lyricsOption, trackOption,
          verseOption, measureOption})
        parser.addOption(option);
    for (const QCommandLineOption& option : soundOptions())
        parser.addOption(option);

    QCoreApplication::setApplicationName(QStringLiteral("qanoredit"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(kVersion));
    if (!parser.parse(arguments))
        return usageError(parser.errorText());
    if (parser.isSet(helpOption)) {
        writeStdout(parser.helpText().toLocal8Bit());
        return kExitOk;
    }
    if (parser.isSet(versionOption)) {
        writeStdout(
            QStringLiteral("qanoredit %1\n").arg(QString::fromLatin1(kVersion)).toLocal8Bit());
        return kExitOk;
    }

    const int actions = int(parser.isSet(newOption)) + int(parser.isSet(infoOption)) +
                        int(parser.isSet(checkOption)) +
                        int(parser.isSet(layoutOption)) + int(parser.isSet(exportOption)) +
                        int(parser.isSet(typeOption)) + int(parser.isSet(lyricsOption)) +
                        int(parser.isSet(importOption));
    if (actions > 1)
        return usageError(QStringLiteral("give one action at a time"));
    if (parser.isSet(titleOption) && !parser.isSet(newOption))
        return usageError(QStringLiteral("--title goes with --new"));
    if (parser.isSet(modeOption) && !parser.isSet(layoutOption) && !parser.isSet(exportOption))
        return usageError(QStringLiteral("--mode goes with --layout or --export"));
    const QString mode = parser.value(modeOption);
    if (mode != QStringLiteral("page") && mode != QStringLiteral("scroll"))
        return usageError(QStringLiteral("--mode is page or scroll"));
    const bool scrollMode = mode == QStringLiteral("scroll");
    if (parser.isSet(outputOption) && !parser.isSet(typeOption) && !parser.isSet(lyricsOption) &&
        !parser.isSet(importOption))
        return usageError(QStringLiteral("-o goes with --type, --lyrics or --import"));
    if ((parser.isSet(trackOption) || parser.isSet(verseOption) || parser.isSet(measureOption)) &&
        !parser.isSet(lyricsOption))
        return usageError(QStringLiteral("--track, --verse and --measure go with --lyrics"));
    if ((parser.isSet(forceOption) || parser.isSet(noWatermarkOption)) &&
        !parser.isSet(exportOption))
        return usageError(QStringLiteral("--force and --no-watermark go with --export"));
    if (const QString misuse = soundOptionMisuse(
            parser, parser.isSet(exportOption) && isSoundExport(parser.value(exportOption)));
        !misuse.isEmpty())
        return usageError(misuse);
    const QStringList positional = parser.positionalArguments();

    if (parser.isSet(checkOption)) {
        if (!positional.isEmpty())
            return usageError(QStringLiteral("unexpected argument: ") + positional.first());
        QCoreApplication app(argc, argv);
        return actionCheck(parser.value(checkOption));
    }
    if (parser.isSet(newOption) || parser.isSet(infoOption)) {
        if (!positional.isEmpty())
            return usageError(QStringLiteral("unexpected argument: ") + positional.first());
        QCoreApplication app(argc, argv);
        if (parser.isSet(newOption))
            return actionNew(parser.value(newOption), parser.value(titleOption));
        return actionInfo(parser.value(infoOption));
    }
    if (parser.isSet(layoutOption)) {
        if (!positional.isEmpty())
            return usageError(QStringLiteral("unexpected argument: ") + positional.first());
        preferOffscreenWithoutDisplay();
        QGuiApplication app(argc, argv);
        FontBook fonts;
        warnWithoutSymbolFont(fonts);
        return actionLayout(fonts, parser.value(layoutOption), scrollMode);
    }
    if (parser.isSet(importOption)) {
        if (!positional.isEmpty() || !parser.isSet(outputOption))
            return usageError(
                QStringLiteral("--import IN -o OUT.qe takes one score and one output"));
        QCoreApplication app(argc, argv);
        return actionImport(parser.value(importOption), parser.value(outputOption));
    }
    if (parser.isSet(exportOption)) {
        if (positional.size() != 1)
            return usageError(QStringLiteral("--export OUT FILE.qe takes one document"));
        ExportRequest request;
        request.out = parser.value(exportOption);
        request.document = positional.first();
        request.scrollMode = scrollMode;
        request.force = parser.isSet(forceOption);
        request.watermark = !parser.isSet(noWatermarkOption);
        readSoundOptions(parser, request);
        const ExportTarget* target = exportTargetFor(request.out);
        if (!target)
            return usageError(QStringLiteral("cannot export to %1; the extensions known are %2")
                                  .arg(request.out, exportExtensions()));
        if (scrollMode && !target->takesScrollMode)
            return usageError(QStringLiteral("--mode scroll cannot write %1").arg(request.out));
        preferOffscreenWithoutDisplay();
        QGuiApplication app(argc, argv);
        FontBook fonts;
        warnWithoutSymbolFont(fonts);
        request.fonts = &fonts;
        return target->write(request);
    }
    if (parser.isSet(typeOption)) {
        if (positional.size() != 1)
            return usageError(QStringLiteral("--type KEYS FILE.qe takes one document"));
        preferOffscreenWithoutDisplay();
        QGuiApplication app(argc, argv);
        FontBook fonts;
        warnWithoutSymbolFont(fonts);
        return actionType(fonts, parser.value(typeOption), positional.first(),
                          parser.value(outputOption));
    }
    if (parser.isSet(lyricsOption)) {
        if (positional.size() != 1)
            return usageError(QStringLiteral("--lyrics TEXT FILE.qe takes one document"));
        LyricsRequest request;
        request.text = parser.value(lyricsOption);
        request.document = positional.first();
        request.out = parser.value(outputOption);
        bool ok[3] = {};
        request.track = parser.value(trackOption).toInt(&ok[0]);
        request.verse = parser.value(verseOption).toInt(&ok[1]);
        request.measure = parser.value(measureOption).toInt(&ok[2]);
        if (!ok[0] || !ok[1] || !ok[2])
            return usageError(QStringLiteral("--track, --verse and --measure take numbers"));
        preferOffscreenWithoutDisplay();
        QGuiApplication app(argc, argv);
        FontBook fonts;
        warnWithoutSymbolFont(fonts);
        return actionLyrics(fonts, request);
    }
    // No action: the editor, on the documents named.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        printError(QStringLiteral(
            "qanoredit: there is no display to show the editor on (DISPLAY is not set); "
            "--export writes the pages of a score as images without one."));
        return kExitFailure;
    }
    files = positional;
    return std::nullopt;
}

}  // namespace qe
