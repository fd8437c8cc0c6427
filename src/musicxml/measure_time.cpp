#include "musicxml/measure_time.h"

#include <algorithm>
#include <utility>

namespace qe::musicxml {

namespace {

constexpr ExactTicks kSameTime = 1e-6;

// The printed part of one measure: hidden rests and blank time before its first note and
// after its last are left out, and the measure is as long as what stands between. True when
// time before its first note was left out: the measure ends where the others do.
bool dropEdges(ParsedMeasure& measure) {
    bool hidden = false;
    ExactTicks first = measure.length;
    ExactTicks last = 0;
    for (const ParsedNote& n : measure.notes) {
        if (n.rest && n.hidden) {
            hidden = true;
            continue;
        }
        if (n.grace || n.cue)
            continue;
        first = std::min(first, n.start);
        last = std::max(last, n.start + n.length);
    }
    if (!hidden || last <= first)
        return false;
    std::erase_if(measure.notes, [first, last](const ParsedNote& n) {
        return n.rest && n.hidden &&
               (n.start + n.length <= first + kSameTime || n.start >= last - kSameTime);
    });
    for (ParsedNote& n : measure.notes)
        n.start = std::max(0.0, n.start - first);
    for (ParsedHarmony& h : measure.harmonies)
        h.start = std::max(0.0, h.start - first);
    measure.length = last - first;
    return first > kSameTime;
}

bool holdsBlankTime(const ParsedMeasure& measure) {
    return std::any_of(measure.notes.begin(), measure.notes.end(),
                       [](const ParsedNote& n) { return n.blank; });
}

QString partLabel(const ParsedPart& part) {
    return part.name.name.empty() ? part.id : QString::fromStdU16String(part.name.name);
}

}  // namespace

ScoreEdges dropHiddenEdges(ParsedScore& score, ConversionReport& report) {
    ScoreEdges edges;
    for (ParsedPart& part : score.parts) {
        report.setPart(partLabel(part));
        std::vector<MeasureEdges>& ofPart = edges.emplace_back();
        for (ParsedMeasure& measure : part.measures) {
            const ExactTicks timed = measure.length;
            ofPart.push_back({timed, dropEdges(measure)});
            // Jianpu has no blank time: inside the music the track shows it as rests.
            if (holdsBlankTime(measure))
                report.add(QStringLiteral("time printed blank inside measures written as rests"),
                           measure.number);
        }
    }
    return edges;
}

namespace {

// The longest of measure `m` in the parts written, as printed and as timed.
std::pair<ExactTicks, ExactTicks> longest(const ParsedScore& score,
                                          const std::vector<bool>& written, const ScoreEdges& edges,
                                          std::size_t m) {
    ExactTicks printed = 0, timed = 0;
    for (std::size_t p = 0; p < score.parts.size(); ++p) {
        if (written[p] && m < score.parts[p].measures.size()) {
            printed = std::max(printed, score.parts[p].measures[m].length);
            timed = std::max(timed, edges[p][m].timed);
        }
    }
    return {printed, timed};
}

// A measure ending where the others do: the rests that fill it stand before its notes.
void fillBefore(ParsedMeasure& measure, ExactTicks length) {
    const ExactTicks shift = length - measure.length;
    for (ParsedNote& n : measure.notes)
        n.start += shift;
    for (ParsedHarmony& h : measure.harmonies)
        h.start += shift;
    measure.length = length;
}

}  // namespace

void alignParts(ParsedScore& score, const std::vector<bool>& written, const ScoreEdges& edges,
                ConversionReport& report) {
    std::size_t measures = 0;
    for (std::size_t p = 0; p < score.parts.size(); ++p)
        if (written[p])
            measures = std::max(measures, score.parts[p].measures.size());
    for (std::size_t m = 0; m < measures; ++m) {
        const auto [printed, timed] = longest(score, written, edges, m);
        for (std::size_t p = 0; p < score.parts.size(); ++p) {
            if (!written[p] || m >= score.parts[p].measures.size())
                continue;
            ParsedMeasure& measure = score.parts[p].measures[m];
            if (edges[p][m].endAligned && measure.length < printed - kSameTime)
                fillBefore(measure, printed);
            // A measure with nothing in it is a part silent there, as the page shows it.
            if (edges[p][m].timed > 0 && edges[p][m].timed < timed - kSameTime) {
                report.setPart(partLabel(score.parts[p]));
                report.add(QStringLiteral(
                               "measures shorter than in other parts lined up at their bar lines"),
                           measure.number);
            }
        }
    }
}

}  // namespace qe::musicxml
