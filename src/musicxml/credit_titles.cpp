#include "musicxml/credit_titles.h"

#include <QRegularExpression>
#include <algorithm>
#include <cmath>

namespace qe::musicxml {

namespace {

// An A4 page at the usual scaling, for files that give no page size.
constexpr double kDefaultWidth = 1190;
constexpr double kDefaultHeight = 1683;

const QRegularExpression& directionWords() {
    // Tempo and character words, style names and the rhythmic descriptors French and German
    // folk editions print above the music.
    static const QRegularExpression words(
        QStringLiteral(
            "^(?:(?:tempo|a tempo|largo|larghetto|lento|adagio|adagietto|andante|andantino|"
            "moderato|allegretto|allegro|vivace|vivo|presto|prestissimo|grave|rubato|maestoso|"
            "cantabile|dolce|espressivo|legato|tranquillo|con moto|con brio|rit\\.?|"
            "ritardando|rall\\.?|rallentando|accel\\.?|swing|shuffle|rock|ballad|bossa|"
            "bossa nova|latin|waltz|valse|march|freely|slowly|slow|moderately|brightly|fast|"
            "lively|gently|with feeling|binaire|ternaire|anacrouse|lent|modéré|vif|"
            "langsam|mäßig|ruhig|schnell|frisch|bewegt|non troppo|ma non troppo|molto|poco|"
            "assai|più|meno|mosso|straight|even|eighths|8ths|feel|groove|bpm)[\\s,.;:!()-]*)+$"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::UseUnicodePropertiesOption);
    return words;
}

bool says(const QString& text, const char* pattern) {
    return QRegularExpression(QString::fromUtf8(pattern),
                              QRegularExpression::CaseInsensitiveOption |
                                  QRegularExpression::UseUnicodePropertiesOption)
        .match(text)
        .hasMatch();
}

bool namesArranger(const QString& text) {
    return says(text, "\\barr(?:\\.|anged|angement|\\b)|\\bbearb|编配|编曲|配器|改编");
}

bool namesLyricist(const QString& text) {
    return says(text, "^(?:words|lyrics?|text|poem|paroles|texte|worte)\\b|作词|词[:：]|^词");
}

bool namesComposer(const QString& text) {
    return says(text, "^(?:music|musique|melody|tune|komponist|composed)\\b|作曲|曲[:：]|^曲");
}

// Not a name at all: a copyright line, a page number, a web address.
bool isNoTitle(const QString& text) {
    return says(text, "©|\\(c\\)|copyright|all rights|https?:|www\\.|^\\d+$|^page \\d");
}

// One untyped text of the first page that may stand in the title block, with its alignment
// (told from its place when the file gives none).
struct Candidate {
    const CreditText* credit;
    CreditText::Align align;
    QString text;
};

std::vector<Candidate> candidates(const std::vector<CreditText>& credits, CreditPage page) {
    const double width = page.width > 0 ? page.width : kDefaultWidth;
    const double height = page.height > 0 ? page.height : kDefaultHeight;
    std::vector<Candidate> top;
    for (const CreditText& c : credits) {
        const QString text = c.text.simplified();
        if (!c.types.isEmpty() || c.page != 1 || text.isEmpty() || isNoTitle(text) ||
            looksLikeDirection(text))
            continue;
        // A text of many lines is a block of verses or notes printed with the music.
        if (c.text.count(QLatin1Char('\n')) > 2 || text.size() > 160)
            continue;
        // The title block stands in the upper half of the first page (on a small page it
        // reaches down that far); a text without a place is taken to stand there, as
        // programs that omit places write only title texts.
        if (c.placed && c.y < height * 0.5)
            continue;
        CreditText::Align align = c.align;
        if (align == CreditText::Align::Unknown) {
            if (!c.placed || std::abs(c.x - width / 2) < width * 0.15)
                align = CreditText::Align::Centre;
            else
                align = c.x > width / 2 ? CreditText::Align::Right : CreditText::Align::Left;
        }
        top.push_back({&c, align, text});
    }
    return top;
}

}  // namespace

bool looksLikeDirection(const QString& text) {
    const QString t = text.simplified();
    if (t.isEmpty())
        return false;
    // A metronome mark: a note sign or "= 96".
    if (says(t, "[\\x{2669}\\x{266A}\\x{1D15F}-\\x{1D164}]|=\\s*c?a?\\.?\\s*\\d"))
        return true;
    return directionWords().match(t).hasMatch();
}

CreditTitles titlesFromPlacement(const std::vector<CreditText>& credits, CreditPage page,
                                 const QString& typedTitle) {
    std::vector<Candidate> top = candidates(credits, page);
    // Larger first, then higher on the page, then in file order.
    std::stable_sort(top.begin(), top.end(), [](const Candidate& a, const Candidate& b) {
        if (a.credit->size != b.credit->size)
            return a.credit->size > b.credit->size;
        return a.credit->y > b.credit->y;
    });
    CreditTitles out;
    const auto add = [](QString& line, const QString& text) {
        line = line.isEmpty() ? text : line + QStringLiteral(" / ") + text;
    };
    const bool titleTyped = !typedTitle.isEmpty();
    for (const Candidate& c : top) {
        if (c.align != CreditText::Align::Centre)
            continue;
        if (titleTyped && c.text.compare(typedTitle, Qt::CaseInsensitive) == 0)
            continue;
        if (out.title.isEmpty() && !titleTyped)
            out.title = c.text;
        else if (namesArranger(c.text))
            add(out.arranger, c.text);
        else if (namesLyricist(c.text))
            add(out.lyricist, c.text);
        else if (namesComposer(c.text))
            add(out.composer, c.text);
        else if (out.subtitle.isEmpty())
            out.subtitle = c.text;
    }
    // Authors top down, as they are read.
    std::vector<Candidate> sides;
    for (const Candidate& c : top)
        if (c.align != CreditText::Align::Centre)
            sides.push_back(c);
    std::stable_sort(sides.begin(), sides.end(), [](const Candidate& a, const Candidate& b) {
        return a.credit->y > b.credit->y;
    });
    for (const Candidate& c : sides) {
        if (namesArranger(c.text))
            add(out.arranger, c.text);
        else if (namesLyricist(c.text))
            add(out.lyricist, c.text);
        else if (namesComposer(c.text))
            add(out.composer, c.text);
        else if (c.align == CreditText::Align::Right)
            add(out.composer, c.text);
        else
            add(out.lyricist, c.text);
    }
    return out;
}

}  // namespace qe::musicxml
