#include "musicxml/score_reader.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <memory>

#include "musicxml/credit_titles.h"
#include "musicxml/measure_reader.h"
#include "musicxml/musicxml_error.h"
#include "musicxml/part_state.h"
#include "musicxml/xml_input.h"

namespace qe::musicxml {

namespace {

// The number a voice is written with, by which the voices of a staff are ordered.
int voiceNumber(const std::u16string& name) {
    bool ok = false;
    const int number = QString::fromStdU16String(name).trimmed().toInt(&ok);
    return ok && number >= 0 ? number : std::numeric_limits<int>::max();
}

class ScoreReader {
public:
    ScoreReader(const QByteArray& xml, ConversionReport& report) : in_(xml), report_(report) {}

    ParsedScore read();

private:
    void readWork();
    void readIdentification();
    void readCredit();
    void readDefaults();
    void readPartList();
    PartState& partNamed(const QString& id);
    void readMeasure(PartState& part, QStringView number);
    ParsedTitles titles() const;
    QString openingWords(const ParsedTitles& t) const;

    XmlInput in_;
    ConversionReport& report_;
    ScoreState score_;
    std::optional<QString> workTitle_;
    std::optional<QString> movementTitle_;
    std::vector<std::pair<QString, QString>> creators_;  // type, name
    std::vector<CreditText> credits_;
    CreditPage page_;
    std::vector<QString> listed_;  // the part list, in order
    std::map<QString, PartName> names_;  // the printed names of the listed parts
    std::map<QString, std::unique_ptr<PartState>> parts_;
    std::vector<QString> order_;  // parts in the order the file gives their music
};

ParsedScore ScoreReader::read() {
    const QString root = in_.root();
    if (root == u"opus")
        in_.fail(QStringLiteral("this is a MusicXML opus, a list of scores; import its scores"));
    if (root != u"score-partwise" && root != u"score-timewise")
        in_.fail(QStringLiteral("not a MusicXML score: the document is <%1>").arg(root));
    const bool timewise = root == u"score-timewise";
    while (in_.nextChild()) {
        const QStringView name = in_.name();
        if (name == u"work") {
            readWork();
        } else if (name == u"movement-title") {
            movementTitle_ = in_.text(limits::kMaxTextLength);
        } else if (name == u"identification") {
            readIdentification();
        } else if (name == u"credit") {
            readCredit();
        } else if (name == u"defaults") {
            readDefaults();
        } else if (name == u"part-list") {
            readPartList();
        } else if (name == u"part" && !timewise) {
            PartState& part = partNamed(in_.attribute("id").toString());
            while (in_.nextChild()) {
                if (in_.name() == u"measure")
                    readMeasure(part, in_.attribute("number"));
                else
                    in_.skip();
            }
        } else if (name == u"measure" && timewise) {
            const QString number = in_.attribute("number").toString();
            while (in_.nextChild()) {
                if (in_.name() == u"part")
                    readMeasure(partNamed(in_.attribute("id").toString()), number);
                else
                    in_.skip();
            }
        } else {
            in_.skip();
        }
    }
    // Programs that read their own files back ignore what follows the root element.
    if (!in_.finish())
        report_.addOnce(QStringLiteral("characters after the end of the score ignored"));

    ParsedScore score;
    score.titles = titles();
    score.fifths = score_.fifths;
    score.meter = score_.meter;
    score.tempo = score_.tempo;
    score.measureNumbers = score_.measureNumbers;
    std::vector<QString> order;
    for (const QString& id : listed_)
        if (parts_.count(id) && std::find(order.begin(), order.end(), id) == order.end())
            order.push_back(id);
    for (const QString& id : order_) {
        if (std::find(order.begin(), order.end(), id) == order.end()) {
            order.push_back(id);
            report_.addOnce(
                QStringLiteral("parts missing from the part list imported after the "
                               "others"));
        }
    }
    for (const QString& id : order) {
        PartState& state = *parts_[id];
        for (const std::u16string& voice : state.voices)
            state.part.voiceNumbers.push_back(voiceNumber(voice));
        score.parts.push_back(std::move(state.part));
        if (const auto name = names_.find(id); name != names_.end())
            score.parts.back().name = name->second;
    }
    return score;
}

PartState& ScoreReader::partNamed(const QString& id) {
    auto& state = parts_[id];
    if (!state) {
        if (parts_.size() > static_cast<std::size_t>(limits::kMaxParts))
            in_.fail(QStringLiteral("the score has more than %1 parts").arg(limits::kMaxParts));
        state = std::make_unique<PartState>();
        state->part.id = id;
        order_.push_back(id);
        if (order_.size() == 1)
            score_.firstPart = id;
    }
    return *state;
}

void ScoreReader::readMeasure(PartState& part, QStringView number) {
    if (part.part.measures.size() >= static_cast<std::size_t>(limits::kMaxMeasures))
        in_.fail(QStringLiteral("part %1 has more than %2 measures")
                     .arg(part.part.id)
                     .arg(limits::kMaxMeasures));
    if (const auto name = names_.find(part.part.id); name != names_.end() && !name->second.name.empty())
        report_.setPart(QString::fromStdU16String(name->second.name));
    else
        report_.setPart(part.part.id);
    ParsedMeasure& measure = part.part.measures.emplace_back();
    measure.number = number.left(32).toString();
    MeasureReader(in_, part, score_, report_).read(measure);
}

void ScoreReader::readWork() {
    while (in_.nextChild()) {
        if (in_.name() == u"work-title")
            workTitle_ = in_.text(limits::kMaxTextLength);
        else
            in_.skip();
    }
}

void ScoreReader::readIdentification() {
    while (in_.nextChild()) {
        if (in_.name() == u"creator") {
            const QString type = in_.attribute("type").toString();
            creators_.emplace_back(type, in_.text(limits::kMaxTextLength));
        } else {
            in_.skip();
        }
    }
}

void ScoreReader::readCredit() {
    CreditText credit;
    bool ok = false;
    if (in_.hasAttribute("page"))
        credit.page = in_.attribute("page").toInt(&ok);
    while (in_.nextChild()) {
        if (in_.name() == u"credit-type") {
            credit.types.append(in_.text(64).trimmed());
        } else if (in_.name() == u"credit-words") {
            // The first words of a credit place it.
            if (credit.text.isEmpty()) {
                const auto number = [this](const char* name, double& out) {
                    bool read = false;
                    const double value = in_.attribute(name).toDouble(&read);
                    if (read && std::isfinite(value))
                        out = value;
                    return read && std::isfinite(value);
                };
                const bool hasX = number("default-x", credit.x);
                const bool hasY = number("default-y", credit.y);
                credit.placed = hasX && hasY;
                number("font-size", credit.size);
                QStringView align = in_.attribute("halign");
                if (align.isEmpty())
                    align = in_.attribute("justify");
                if (align == u"center")
                    credit.align = CreditText::Align::Centre;
                else if (align == u"left")
                    credit.align = CreditText::Align::Left;
                else if (align == u"right")
                    credit.align = CreditText::Align::Right;
            }
            const QString words = in_.text(limits::kMaxTextLength);
            credit.text = credit.text.isEmpty() ? words : credit.text + QLatin1Char(' ') + words;
        } else {
            in_.skip();
        }
    }
    if (credits_.size() < 256)
        credits_.push_back(std::move(credit));
}

void ScoreReader::readDefaults() {
    while (in_.nextChild()) {
        if (in_.name() != u"page-layout") {
            in_.skip();
            continue;
        }
        while (in_.nextChild()) {
            if (in_.name() == u"page-height")
                page_.height = in_.number();
            else if (in_.name() == u"page-width")
                page_.width = in_.number();
            else
                in_.skip();
        }
    }
}

void ScoreReader::readPartList() {
    while (in_.nextChild()) {
        if (in_.name() != u"score-part" || listed_.size() >= 4096) {
            in_.skip();
            continue;
        }
        const QString id = in_.attribute("id").toString();
        listed_.push_back(id);
        PartName name;
        while (in_.nextChild()) {
            const QStringView child = in_.name();
            // A name the file does not print is a label for the program, not for the page.
            const bool printed = in_.attribute("print-object") != u"no";
            if (child == u"part-name" && printed)
                name.name = in_.text(limits::kMaxTextLength).simplified().toStdU16String();
            else if (child == u"part-abbreviation" && printed)
                name.shortName = in_.text(limits::kMaxTextLength).simplified().toStdU16String();
            else
                in_.skip();
        }
        if (!name.empty())
            names_[id] = name;
    }
}

ParsedTitles ScoreReader::titles() const {
    const auto creator = [this](std::initializer_list<const char*> types) {
        // One person named as both lyricist and poet is one author of the words.
        QStringList names;
        for (const auto& [type, name] : creators_)
            for (const char* wanted : types)
                if (type == QLatin1String(wanted) &&
                    std::none_of(names.begin(), names.end(), [&name](const QString& known) {
                        return known.simplified().compare(name.simplified(),
                                                          Qt::CaseInsensitive) == 0;
                    }))
                    names.append(name);
        return names.join(QStringLiteral(" / "));
    };
    const auto credit = [this](std::initializer_list<const char*> types) {
        for (const CreditText& c : credits_)
            for (const char* wanted : types)
                if (c.types.contains(QLatin1String(wanted)))
                    return c.text.simplified();
        return QString();
    };
    const auto either = [](const QString& first, const QString& second) {
        return first.isEmpty() ? second : first;
    };
    // What the first page prints comes first: a work title is often a program's default
    // ("Untitled score") or a file name. Typed credits, then credits by their place.
    const QString typedTitle = credit({"title"});
    const CreditTitles placed = titlesFromPlacement(credits_, page_, typedTitle);
    ParsedTitles t;
    t.title = either(typedTitle, placed.title);
    t.subtitle = either(credit({"subtitle"}), placed.subtitle);
    if (t.title.isEmpty() && workTitle_) {
        t.title = *workTitle_;
        if (t.subtitle.isEmpty() && movementTitle_)
            t.subtitle = *movementTitle_;
    } else if (t.title.isEmpty() && movementTitle_) {
        t.title = *movementTitle_;
    }
    t.author1 = either(either(creator({"composer"}), credit({"composer"})), placed.composer);
    t.author2 = either(either(creator({"lyricist", "poet"}), credit({"lyricist", "poet"})),
                       placed.lyricist);
    t.author3 = either(either(creator({"arranger"}), credit({"arranger"})), placed.arranger);
    t.comment2 = credit({"comment"});
    t.comment1 = openingWords(t);
    return t;
}

// The words over the first measure, unless the title block prints them already: a file that
// repeats its subtitle or "Words: …" credit as the first direction shows them once.
QString ScoreReader::openingWords(const ParsedTitles& t) const {
    const QString words = score_.firstWords.value_or(QString()).simplified();
    const auto same = [&words](const QString& text) {
        return text.simplified().compare(words, Qt::CaseInsensitive) == 0;
    };
    for (const QString* line : {&t.title, &t.subtitle, &t.author1, &t.author2, &t.author3,
                                &t.comment2})
        if (same(*line))
            return QString();
    for (const CreditText& c : credits_)
        if (c.page == 1 && !looksLikeDirection(c.text) && same(c.text))
            return QString();
    return score_.firstWords.value_or(QString());
}

}  // namespace

ParsedScore readScore(const QByteArray& xml, ConversionReport& report) {
    return ScoreReader(xml, report).read();
}

}  // namespace qe::musicxml
