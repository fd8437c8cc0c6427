#include "cli/man_page.h"

#include <QStringList>

#include "base/version.h"
#include "cli/option_table.h"

namespace qe {

namespace {

// Text as roff shows it literally: backslashes doubled, a leading dot or quote escaped, and
// hyphens as the minus signs of option names.
QString roff(QString text) {
    text.replace(QLatin1Char('\\'), QStringLiteral("\\e"));
    text.replace(QLatin1Char('-'), QStringLiteral("\\-"));
    if (text.startsWith(QLatin1Char('.')) || text.startsWith(QLatin1Char('\'')))
        text.prepend(QStringLiteral("\\&"));
    return text;
}

QString optionLine(const QCommandLineOption& option) {
    QStringList names;
    for (const QString& name : option.names())
        names.append(QStringLiteral("\\fB%1%2\\fR")
                         .arg(name.size() == 1 ? QStringLiteral("\\-") : QStringLiteral("\\-\\-"),
                              roff(name)));
    QString line = names.join(QStringLiteral(", "));
    if (!option.valueName().isEmpty())
        line += QStringLiteral(" \\fI%1\\fR").arg(roff(option.valueName()));
    return line;
}

}  // namespace

QString manPage() {
    QStringList out;
    out << QStringLiteral(".TH QANOREDIT 1 \"\" \"qanoredit %1\" \"User Commands\"")
               .arg(QString::fromLatin1(kVersion));
    out << QStringLiteral(".SH NAME");
    out << QStringLiteral("qanoredit \\- %1").arg(roff(QString::fromUtf8(kDescription)
                                                            .section(QStringLiteral(": "), 1)));
    out << QStringLiteral(".SH SYNOPSIS") << QStringLiteral(".nf");
    for (const QString& line : QString::fromLatin1(kUsage).split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        out << roff(line.mid(7));  // past "usage: " or its indent
    out << QStringLiteral(".fi");
    out << QStringLiteral(".SH DESCRIPTION");
    out << roff(QStringLiteral(
        "Without an action, qanoredit opens its window on the score documents (.qe) named, "
        "where jianpu is typed at a caret, laid out as a strip or as pages, printed and "
        "played. With an action it works without a window: it writes a new document, prints a "
        "document or its layout as JSON, checks its measures, exports its pages as images, "
        "SVG or PDF, the score as MusicXML, MIDI or WAV, imports MusicXML, types keys or lays "
        "lyrics into a document."));
    out << QStringLiteral(".SH OPTIONS");
    // In the order --help lists them: its own two first.
    QList<QCommandLineOption> options = {
        QCommandLineOption({QStringLiteral("h"), QStringLiteral("help")},
                           QStringLiteral("Displays help on commandline options.")),
        QCommandLineOption({QStringLiteral("v"), QStringLiteral("version")},
                           QStringLiteral("Displays version information."))};
    options.append(actionOptions());
    for (const QCommandLineOption& option : options) {
        out << QStringLiteral(".TP") << optionLine(option) << roff(option.description());
    }
    out << QStringLiteral(".SH EXIT STATUS");
    out << roff(QStringLiteral("0 when the action succeeded, 1 when it failed (the reason is "
                               "printed on standard error), 2 for a usage error."));
    out << QStringLiteral(".SH FILES");
    out << QStringLiteral(".TP") << QStringLiteral("\\fI/usr/share/qanoredit/fonts/QanorEditSymbol.ttf\\fR")
        << roff(QStringLiteral("The music symbol font the digits, dots and lines are drawn with."));
    return out.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

}  // namespace qe
