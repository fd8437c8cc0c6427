#pragma once

#include <QString>
#include <QStringList>
#include <map>

namespace qe::musicxml {

// What an import or export could not carry over, one line per kind: how many, and the first
// measure where it happened. Nothing the document cannot hold is dropped without a line here.
class ConversionReport {
public:
    // One more of `what` (a plural noun phrase with its fate, "chord notes dropped, the top
    // note kept") in the measure numbered `measure` as the file numbers it.
    void add(const QString& what, const QString& measure, int count = 1);
    // Something that concerns the whole score, with no measure.
    void addOnce(const QString& line);

    bool empty() const { return kinds_.empty() && lines_.isEmpty(); }
    // The lines, kinds in the order they first happened: "12 chord notes dropped, the top
    // note kept (first in measure 3)".
    QStringList lines() const;

private:
    struct Kind {
        int order = 0;
        int count = 0;
        QString firstMeasure;
    };
    std::map<QString, Kind> kinds_;
    QStringList lines_;
    int next_ = 0;
};

}  // namespace qe::musicxml
