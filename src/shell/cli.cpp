#include "shell/cli.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QJsonDocument>
#include <QStringList>
#include <cstdio>
#include <memory>

#include "document/score_file.h"
#include "shell/cli_actions.h"
#include "shell/doc_json.h"
#include "shell/resources.h"

namespace qe {

namespace {

const char* const kUsage =
    "usage: qanoredit [--new OUT.qe [--title TEXT]] [--info FILE.qe] [--help] [--version]\n";

void printError(const QString& text) {
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

int usageError(const QString& why) {
    if (!why.isEmpty()) printError(QStringLiteral("qanoredit: ") + why);
    std::fputs(kUsage, stderr);
    return kExitUsage;
}

void writeStdout(const QByteArray& bytes) {
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stdout);
    std::fflush(stdout);
}

}  // namespace

int reportFileFailure(const FileResult& result) {
    printError(result.error);
    return kExitFailure;
}

int actionNew(const QString& out, const QString& title) {
    QanorDoc doc;
    doc.initNew(title.isEmpty() ? QStringLiteral("Qanor简谱1").toStdU16String() : title.toStdU16String());
    const FileResult saved = saveScore(out, doc);
    if (!saved.ok) return reportFileFailure(saved);
    return kExitOk;
}

int actionInfo(const QString& path) {
    QanorDoc doc;
    const FileResult loaded = loadScore(path, doc);
    if (!loaded.ok) return reportFileFailure(loaded);
    writeStdout(QJsonDocument(documentToJson(doc)).toJson(QJsonDocument::Indented));
    return kExitOk;
}

int runProgram(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);

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
    parser.addOption(newOption);
    parser.addOption(titleOption);
    parser.addOption(infoOption);

    QCoreApplication::setApplicationName(QStringLiteral("qanoredit"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QE_VERSION));
    if (!parser.parse(arguments)) return usageError(parser.errorText());
    if (parser.isSet(helpOption)) {
        writeStdout(parser.helpText().toLocal8Bit());
        return kExitOk;
    }
    if (parser.isSet(versionOption)) {
        writeStdout(QStringLiteral("qanoredit %1\n").arg(QStringLiteral(QE_VERSION)).toLocal8Bit());
        return kExitOk;
    }

    const int actions = int(parser.isSet(newOption)) + int(parser.isSet(infoOption));
    if (actions > 1) return usageError(QStringLiteral("give one action at a time"));
    if (parser.isSet(titleOption) && !parser.isSet(newOption))
        return usageError(QStringLiteral("--title goes with --new"));

    if (parser.isSet(newOption)) {
        if (!parser.positionalArguments().isEmpty()) return usageError(QStringLiteral("unexpected argument"));
        QCoreApplication app(argc, argv);
        return actionNew(parser.value(newOption), parser.value(titleOption));
    }
    if (parser.isSet(infoOption)) {
        if (!parser.positionalArguments().isEmpty()) return usageError(QStringLiteral("unexpected argument"));
        QCoreApplication app(argc, argv);
        return actionInfo(parser.value(infoOption));
    }
    return usageError(QString());
}

}  // namespace qe
