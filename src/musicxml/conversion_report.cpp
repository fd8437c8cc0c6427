#include "musicxml/conversion_report.h"

#include <vector>

namespace qe::musicxml {

void ConversionReport::add(const QString& what, const QString& measure, int count) {
    auto [at, inserted] = kinds_.try_emplace(what);
    if (inserted) {
        at->second.order = next_++;
        at->second.firstMeasure = measure;
    }
    at->second.count += count;
}

void ConversionReport::addOnce(const QString& line) {
    if (!lines_.contains(line))
        lines_.append(line);
}

QStringList ConversionReport::lines() const {
    std::vector<std::pair<int, QString>> ordered;
    for (const auto& [what, kind] : kinds_) {
        QString line = QStringLiteral("%1 %2").arg(kind.count).arg(what);
        if (!kind.firstMeasure.isEmpty())
            line += QStringLiteral(" (first in measure %1)").arg(kind.firstMeasure);
        ordered.emplace_back(kind.order, line);
    }
    std::sort(ordered.begin(), ordered.end());
    QStringList out = lines_;
    for (const auto& [order, line] : ordered)
        out.append(line);
    return out;
}

}  // namespace qe::musicxml
