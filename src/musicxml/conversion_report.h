#pragma once

#include <QString>
#include <QStringList>
#include <map>
#include <vector>

namespace qe::musicxml {

// One kind of thing an import or export could not carry over: how many, where first, and
// every place it happened (measure and part). Measures are said as a musician numbers them
// once the import has renumbered them (see renumber), as the file numbers them until then.
struct ReportKind {
    struct Place {
        QString measure;
        QString part;
        int count = 0;
        friend bool operator==(const Place&, const Place&) = default;
    };
    QString what;  // a plural noun phrase with its fate: "chord symbols ... dropped"
    int count = 0;  // 0 for a line about the whole score, which has no places
    QString firstMeasure;
    std::vector<Place> places;  // in the order they happened, at most kMostPlaces
};

// What an import or export could not carry over, one line per kind: how many, and the first
// measure where it happened. Nothing the document cannot hold is dropped without a line here.
class ConversionReport {
public:
    // Places kept per kind: enough to find each in a song, bounded for a hostile file.
    static constexpr int kMostPlaces = 1000;

    // The part that what is added next happens in (its printed name, or its id).
    void setPart(const QString& part) { part_ = part; }
    // One more of `what` (a plural noun phrase with its fate, "chord notes dropped, the top
    // note kept") in the measure numbered `measure` as the file numbers it.
    void add(const QString& what, const QString& measure, int count = 1);
    // Something that concerns the whole score, with no measure.
    void addOnce(const QString& line);
    // Says every measure by the number a musician gives it instead of the file's: `shown`
    // maps a file's number to it. Numbers it does not hold stay as the file wrote them.
    void renumber(const std::map<QString, QString>& shown);

    bool empty() const { return kinds_.empty() && lines_.isEmpty(); }
    // The lines, kinds in the order they first happened: "12 chord notes dropped, the top
    // note kept (first in measure 3)".
    QStringList lines() const;
    // The same as kinds with their places: lines about the whole score first.
    std::vector<ReportKind> kinds() const;

private:
    std::map<QString, ReportKind> kinds_;
    std::map<QString, int> order_;
    QStringList lines_;
    QString part_;
    int next_ = 0;
};

}  // namespace qe::musicxml
