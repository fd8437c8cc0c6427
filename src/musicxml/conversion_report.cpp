#include "musicxml/conversion_report.h"

#include <algorithm>

namespace qe::musicxml {

void ConversionReport::add(const QString& what, const QString& measure, int count) {
    auto [at, inserted] = kinds_.try_emplace(what);
    ReportKind& kind = at->second;
    if (inserted) {
        order_[what] = next_++;
        kind.what = what;
        kind.firstMeasure = measure;
    }
    kind.count += count;
    // Several in one measure of one part are one place.
    if (!kind.places.empty() && kind.places.back().measure == measure &&
        kind.places.back().part == part_)
        kind.places.back().count += count;
    else if (std::ssize(kind.places) < kMostPlaces)
        kind.places.push_back({measure, part_, count});
}

void ConversionReport::renumber(const std::map<QString, QString>& shown) {
    const auto said = [&shown](QString& measure) {
        if (const auto found = shown.find(measure); found != shown.end())
            measure = found->second;
    };
    for (auto& [what, kind] : kinds_) {
        said(kind.firstMeasure);
        for (ReportKind::Place& place : kind.places)
            said(place.measure);
    }
}

void ConversionReport::addOnce(const QString& line) {
    if (!lines_.contains(line))
        lines_.append(line);
}

std::vector<ReportKind> ConversionReport::kinds() const {
    std::vector<ReportKind> out;
    for (const QString& line : lines_)
        out.push_back({line, 0, {}, {}});
    std::vector<const ReportKind*> ordered;
    for (const auto& [what, kind] : kinds_)
        ordered.push_back(&kind);
    std::sort(ordered.begin(), ordered.end(), [this](const ReportKind* a, const ReportKind* b) {
        return order_.at(a->what) < order_.at(b->what);
    });
    for (const ReportKind* kind : ordered)
        out.push_back(*kind);
    return out;
}

QStringList ConversionReport::lines() const {
    QStringList out;
    for (const ReportKind& kind : kinds()) {
        if (kind.count == 0) {
            out.append(kind.what);
            continue;
        }
        QString line = QStringLiteral("%1 %2").arg(kind.count).arg(kind.what);
        if (!kind.firstMeasure.isEmpty())
            line += QStringLiteral(" (first in measure %1)").arg(kind.firstMeasure);
        out.append(line);
    }
    return out;
}

}  // namespace qe::musicxml
