#include "musicxml/metronome_number.h"

#include <QRegularExpression>
#include <cmath>

namespace qe::musicxml {

namespace {

constexpr int kLongestPrinted = 32;

bool isTempo(double beats) {
    return std::isfinite(beats) && beats >= 1 && beats <= 1000;
}

// Words around the number, kept as printed, spaced once.
QString around(const QString& before, const QString& number, const QString& after) {
    QString out = before.simplified();
    if (!out.isEmpty())
        out += QLatin1Char(' ');
    out += number;
    if (!after.simplified().isEmpty())
        out += QLatin1Char(' ') + after.simplified();
    return out;
}

}  // namespace

std::optional<MetronomeNumber> readMetronomeNumber(const QString& text) {
    const QString t = text.simplified();
    bool plain = false;
    const double number = t.toDouble(&plain);
    if (plain)
        return isTempo(number) ? std::optional(MetronomeNumber{number, QString()}) : std::nullopt;
    if (t.size() > kLongestPrinted)
        return std::nullopt;
    // Words (no digits) before and after one number or two joined by a dash, "~" or "to".
    static const QRegularExpression range(QStringLiteral(
        "^(\\D*?)(\\d+(?:\\.\\d+)?)\\s*(?:-|\\x{2013}|\\x{2014}|~|to)\\s*(\\d+(?:\\.\\d+)?)(\\D*)$"));
    static const QRegularExpression single(QStringLiteral("^(\\D*?)(\\d+(?:\\.\\d+)?)(\\D*)$"));
    if (const QRegularExpressionMatch m = range.match(t); m.hasMatch()) {
        const double low = m.captured(2).toDouble();
        const double high = m.captured(3).toDouble();
        if (!isTempo(low) || !isTempo(high))
            return std::nullopt;
        const QString printed = m.captured(2) + QChar(0x2013) + m.captured(3);
        return MetronomeNumber{(low + high) / 2, around(m.captured(1), printed, m.captured(4))};
    }
    if (const QRegularExpressionMatch m = single.match(t); m.hasMatch()) {
        const double beats = m.captured(2).toDouble();
        if (!isTempo(beats))
            return std::nullopt;
        return MetronomeNumber{beats, around(m.captured(1), m.captured(2), m.captured(3))};
    }
    return std::nullopt;
}

int beatsOfQuarters(double quarters, int beatUnit, bool dotted) {
    if (beatUnit <= 0)
        return 0;
    // A beat of 1/beatUnit of a whole is 4/beatUnit quarters, half as long again when dotted.
    const double beats = quarters * beatUnit / 4 / (dotted ? 1.5 : 1.0);
    return isTempo(beats) ? static_cast<int>(beats + 0.5) : 0;
}

}  // namespace qe::musicxml
