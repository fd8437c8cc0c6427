#include "musicxml/score_reader.h"

#include <map>
#include <memory>

#include "musicxml/measure_reader.h"
#include "musicxml/musicxml_error.h"
#include "musicxml/part_state.h"
#include "musicxml/xml_input.h"

namespace qe::musicxml {

namespace {

struct Credit {
    QStringList types;
    QString text;
};

class ScoreReader {
public:
    ScoreReader(const QByteArray& xml, ConversionReport& report) : in_(xml), report_(report) {}

    ParsedScore read();

private:
    void readWork();
    void readIdentification();
    void readCredit();
    void readPartList();
    PartState& partNamed(const QString& id);
    void readMeasure(PartState& part, QStringView number);
    ParsedTitles titles() const;

    XmlInput in_;
    ConversionReport& report_;
    ScoreState score_;
    std::optional<QString> workTitle_;
    std::optional<QString> movementTitle_;
    std::vector<std::pair<QString, QString>> creators_;  // type, name
    std::vector<Credit> credits_;
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
    // Anything after the root element must still be well-formed.
    in_.finish();

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
        score.parts.push_back(std::move(parts_[id]->part));
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
    Credit credit;
    while (in_.nextChild()) {
        if (in_.name() == u"credit-type") {
            credit.types.append(in_.text(64).trimmed());
        } else if (in_.name() == u"credit-words") {
            const QString words = in_.text(limits::kMaxTextLength);
            credit.text = credit.text.isEmpty() ? words : credit.text + QLatin1Char(' ') + words;
        } else {
            in_.skip();
        }
    }
    if (credits_.size() < 256)
        credits_.push_back(std::move(credit));
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
        QStringList names;
        for (const auto& [type, name] : creators_)
            for (const char* wanted : types)
                if (type == QLatin1String(wanted))
                    names.append(name);
        return names.join(QStringLiteral(" / "));
    };
    const auto credit = [this](std::initializer_list<const char*> types) {
        for (const Credit& c : credits_)
            for (const char* wanted : types)
                if (c.types.contains(QLatin1String(wanted)))
                    return c.text;
        return QString();
    };
    const auto either = [](const QString& first, const QString& second) {
        return first.isEmpty() ? second : first;
    };
    ParsedTitles t;
    if (workTitle_) {
        t.title = *workTitle_;
        t.subtitle = movementTitle_ ? *movementTitle_ : credit({"subtitle"});
    } else {
        t.title = movementTitle_ ? *movementTitle_ : credit({"title"});
        t.subtitle = credit({"subtitle"});
    }
    t.author1 = either(creator({"composer"}), credit({"composer"}));
    t.author2 = either(creator({"lyricist", "poet"}), credit({"lyricist", "poet"}));
    t.author3 = either(creator({"arranger"}), credit({"arranger"}));
    t.comment1 = score_.firstWords.value_or(QString());
    t.comment2 = credit({"comment"});
    return t;
}

}  // namespace

ParsedScore readScore(const QByteArray& xml, ConversionReport& report) {
    return ScoreReader(xml, report).read();
}

}  // namespace qe::musicxml
