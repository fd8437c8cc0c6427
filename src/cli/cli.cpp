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

int reportFileFailure(const Result& result) {
    printError(result.message);
    return kExitFailure;
}

int actionNew(const QString& out, const QString& title) {
    QeDocument doc;
    doc.initNew(title.isEmpty() ? QStringLiteral("Qanor简谱1").toStdU16String()
                                : title.toStdU16String());
    const FileResult saved = saveScore(out, doc);
    if (!saved.ok())
        return reportFileFailure(saved);
    return kExitOk;
}

int actionInfo(const QString& path) {
    QeDocument doc;
    const FileResult loaded = loadScore(path, doc);
    if (!loaded.ok())
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

namespace {

bool given(const QCommandLineParser& parser, const char* name) {
    return parser.isSet(QLatin1String(name));
}

QString valueOf(const QCommandLineParser& parser, const char* name) {
    return parser.value(QLatin1String(name));
}

bool scrollModeAsked(const QCommandLineParser& parser) {
    return valueOf(parser, "mode") == QStringLiteral("scroll");
}

// The format --export names by its extension; null when there is no --export or no format
// has the extension.
const ExportFormat* exportFormatAsked(const QCommandLineParser& parser) {
    return given(parser, "export") ? ExportRegistry::standard().formatFor(valueOf(parser, "export"))
                                   : nullptr;
}

// Reads the arguments into `parser`. Answers --help, --version and arguments that cannot be
// parsed; nothing for everything else.
std::optional<int> parseArguments(QCommandLineParser& parser, int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    parser.setApplicationDescription(QString::fromUtf8(kDescription));
    const QCommandLineOption helpOption = parser.addHelpOption();
    const QCommandLineOption versionOption = parser.addVersionOption();
    parser.addOptions(actionOptions());
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
    return std::nullopt;
}

// Why the options given do not go together, or an empty text.
QString optionMisuse(const QCommandLineParser& parser) {
    const auto set = [&parser](const char* name) { return given(parser, name); };
    const int actions = int(set("new")) + int(set("info")) + int(set("check")) +
                        int(set("layout")) + int(set("export")) + int(set("type")) +
                        int(set("lyrics")) + int(set("import"));
    if (actions > 1)
        return QStringLiteral("give one action at a time");
    if (set("title") && !set("new"))
        return QStringLiteral("--title goes with --new");
    if (set("mode") && !set("layout") && !set("export"))
        return QStringLiteral("--mode goes with --layout or --export");
    const QString mode = valueOf(parser, "mode");
    if (mode != QStringLiteral("page") && mode != QStringLiteral("scroll"))
        return QStringLiteral("--mode is page or scroll");
    if (set("output") && !set("type") && !set("lyrics") && !set("import"))
        return QStringLiteral("-o goes with --type, --lyrics or --import");
    if ((set("track") || set("verse") || set("measure")) && !set("lyrics"))
        return QStringLiteral("--track, --verse and --measure go with --lyrics");
    if ((set("force") || set("no-watermark") || set("pages")) && !set("export"))
        return QStringLiteral("--force, --no-watermark and --pages go with --export");
    return soundOptionMisuse(parser, exportFormatAsked(parser));
}

// The actions that need no drawing.
int runWithoutDrawing(const QCommandLineParser& parser, const QStringList& positional, int& argc,
                      char** argv) {
    if (given(parser, "import")) {
        if (!positional.isEmpty() || !given(parser, "output"))
            return usageError(
                QStringLiteral("--import IN -o OUT.qe takes one score and one output"));
    } else if (!positional.isEmpty()) {
        return usageError(QStringLiteral("unexpected argument: ") + positional.first());
    }
    QCoreApplication app(argc, argv);
    if (given(parser, "check"))
        return actionCheck(valueOf(parser, "check"));
    if (given(parser, "new"))
        return actionNew(valueOf(parser, "new"), valueOf(parser, "title"));
    if (given(parser, "info"))
        return actionInfo(valueOf(parser, "info"));
    return actionImport(valueOf(parser, "import"), valueOf(parser, "output"));
}

// Runs an action that draws or measures with the real fonts, without a screen when there is
// none.
template <class Action>
int runWithFonts(int& argc, char** argv, const Action& action) {
    preferOffscreenWithoutDisplay();
    QGuiApplication app(argc, argv);
    FontBook fonts;
    warnWithoutSymbolFont(fonts);
    return action(fonts);
}

int runExport(const QCommandLineParser& parser, const QStringList& positional, int& argc,
              char** argv) {
    if (positional.size() != 1)
        return usageError(QStringLiteral("--export OUT FILE.qe takes one document"));
    ExportRequest request;
    request.out = valueOf(parser, "export");
    request.document = positional.first();
    request.format = exportFormatAsked(parser);
    request.force = given(parser, "force");
    request.options.watermark = !given(parser, "no-watermark");
    if (given(parser, "pages")) {
        bool ok = false;
        request.pages = valueOf(parser, "pages").toInt(&ok);
        if (!ok || request.pages < 1 || request.pages > 255)
            return usageError(QStringLiteral("--pages takes a number of pages from 1 to 255"));
        if (!request.format || !request.format->takes(ExportOption::kWatermark))
            return usageError(QStringLiteral("--pages goes with an export of pages"));
    }
    request.options.scrollStrip = scrollModeAsked(parser);
    readSoundOptions(parser, request.options);
    if (!request.format)
        return usageError(QStringLiteral("cannot export to %1; the extensions known are %2")
                              .arg(request.out, ExportRegistry::standard().extensions().join(
                                                    QStringLiteral(", "))));
    if (request.options.scrollStrip && !request.format->takes(ExportOption::kScrollStrip))
        return usageError(QStringLiteral("--mode scroll cannot write %1").arg(request.out));
    return runWithFonts(argc, argv,
                        [&request](FontBook& fonts) { return actionExport(fonts, request); });
}

int runLyrics(const QCommandLineParser& parser, const QStringList& positional, int& argc,
              char** argv) {
    if (positional.size() != 1)
        return usageError(QStringLiteral("--lyrics TEXT FILE.qe takes one document"));
    LyricsRequest request;
    request.text = valueOf(parser, "lyrics");
    request.document = positional.first();
    request.out = valueOf(parser, "output");
    bool ok[3] = {true, true, true};
    request.track = valueOf(parser, "track").toInt(&ok[0]);
    request.verse = valueOf(parser, "verse").toInt(&ok[1]);
    if (parser.isSet(QStringLiteral("measure")))
        request.measure = valueOf(parser, "measure").toInt(&ok[2]);
    if (!ok[0] || !ok[1] || !ok[2])
        return usageError(QStringLiteral("--track, --verse and --measure take numbers"));
    return runWithFonts(argc, argv,
                        [&request](FontBook& fonts) { return actionLyrics(fonts, request); });
}

// The action the options name, or nothing when they name none.
std::optional<int> runAction(const QCommandLineParser& parser, int& argc, char** argv) {
    const QStringList positional = parser.positionalArguments();
    if (given(parser, "check") || given(parser, "new") || given(parser, "info") ||
        given(parser, "import"))
        return runWithoutDrawing(parser, positional, argc, argv);
    if (given(parser, "layout")) {
        if (!positional.isEmpty())
            return usageError(QStringLiteral("unexpected argument: ") + positional.first());
        return runWithFonts(argc, argv, [&parser](FontBook& fonts) {
            return actionLayout(fonts, valueOf(parser, "layout"), scrollModeAsked(parser));
        });
    }
    if (given(parser, "export"))
        return runExport(parser, positional, argc, argv);
    if (given(parser, "type")) {
        if (positional.size() != 1)
            return usageError(QStringLiteral("--type KEYS FILE.qe takes one document"));
        return runWithFonts(argc, argv, [&](FontBook& fonts) {
            return actionType(fonts, valueOf(parser, "type"), positional.first(),
                              valueOf(parser, "output"));
        });
    }
    if (given(parser, "lyrics"))
        return runLyrics(parser, positional, argc, argv);
    return std::nullopt;
}

}  // namespace

std::optional<int> runCommandLine(int& argc, char** argv, QStringList& files) {
    QCommandLineParser parser;
    if (const std::optional<int> answered = parseArguments(parser, argc, argv))
        return answered;
    if (const QString misuse = optionMisuse(parser); !misuse.isEmpty())
        return usageError(misuse);
    if (const std::optional<int> status = runAction(parser, argc, argv))
        return status;
    // No action: the editor, on the documents named.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        printError(QStringLiteral(
            "qanoredit: there is no display to show the editor on (DISPLAY is not set); "
            "--export writes the pages of a score as images without one."));
        return kExitFailure;
    }
    files = parser.positionalArguments();
    return std::nullopt;
}

}  // namespace qe
