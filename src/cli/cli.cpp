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
#include <cstdlib>
#include <memory>

#include "base/version.h"
#include "cli/cli_actions.h"
#include "cli/cli_sound.h"
#include "cli/doc_json.h"
#include "cli/option_table.h"
#include "document/score_file.h"
#include "export/export_registry.h"
#include "painter/font_book.h"

namespace qe {

namespace {

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
    parser.setApplicationDescription(QString::fromUtf8(kDescription));
    const QCommandLineOption helpOption = parser.addHelpOption();
    const QCommandLineOption versionOption = parser.addVersionOption();
    const QList<QCommandLineOption> options = actionOptions();
    parser.addOptions(options);
    const auto option = [&options](const char* name) -> const QCommandLineOption& {
        for (const QCommandLineOption& o : options)
            if (o.names().contains(QLatin1String(name)))
                return o;
        std::abort();  // every name asked for below is in the table
    };
    const QCommandLineOption& newOption = option("new");
    const QCommandLineOption& titleOption = option("title");
    const QCommandLineOption& infoOption = option("info");
    const QCommandLineOption& checkOption = option("check");
    const QCommandLineOption& layoutOption = option("layout");
    const QCommandLineOption& modeOption = option("mode");
    const QCommandLineOption& exportOption = option("export");
    const QCommandLineOption& forceOption = option("force");
    const QCommandLineOption& noWatermarkOption = option("no-watermark");
    const QCommandLineOption& typeOption = option("type");
    const QCommandLineOption& outputOption = option("output");
    const QCommandLineOption& importOption = option("import");
    const QCommandLineOption& lyricsOption = option("lyrics");
    const QCommandLineOption& trackOption = option("track");
    const QCommandLineOption& verseOption = option("verse");
    const QCommandLineOption& measureOption = option("measure");

    QCoreApplication::setApplicationName(QStringLiteral("qanoredit"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(kVersion));
    if (!parser.parse(arguments))
        return usageError(parser.errorText());
    if (parser.isSet(helpOption)) {
        // Without an application object yet the parser cannot know the program's name.
        writeStdout(parser.helpText()
                        .replace(QStringLiteral("<executable_name>"), QStringLiteral("qanoredit"))
                        .toLocal8Bit());
        return kExitOk;
    }
    if (parser.isSet(versionOption)) {
        writeStdout(
            QStringLiteral("qanoredit %1\n").arg(QString::fromLatin1(kVersion)).toLocal8Bit());
        return kExitOk;
    }

    const int actions = int(parser.isSet(newOption)) + int(parser.isSet(infoOption)) +
                        int(parser.isSet(checkOption)) + int(parser.isSet(layoutOption)) +
                        int(parser.isSet(exportOption)) + int(parser.isSet(typeOption)) +
                        int(parser.isSet(lyricsOption)) + int(parser.isSet(importOption));
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
    const ExportRegistry& formats = ExportRegistry::standard();
    const ExportFormat* exportFormat =
        parser.isSet(exportOption) ? formats.formatFor(parser.value(exportOption)) : nullptr;
    if (const QString misuse = soundOptionMisuse(parser, exportFormat); !misuse.isEmpty())
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
        request.format = exportFormat;
        request.force = parser.isSet(forceOption);
        request.options.watermark = !parser.isSet(noWatermarkOption);
        request.options.scrollStrip = scrollMode;
        readSoundOptions(parser, request.options);
        if (!request.format)
            return usageError(
                QStringLiteral("cannot export to %1; the extensions known are %2")
                    .arg(request.out, formats.extensions().join(QStringLiteral(", "))));
        if (scrollMode && !request.format->takes(ExportOption::kScrollStrip))
            return usageError(QStringLiteral("--mode scroll cannot write %1").arg(request.out));
        preferOffscreenWithoutDisplay();
        QGuiApplication app(argc, argv);
        FontBook fonts;
        warnWithoutSymbolFont(fonts);
        return actionExport(fonts, request);
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
