#include "musicxml/measure_time.h"

#include <algorithm>

namespace qe::musicxml {

namespace {

constexpr ExactTicks kSameTime = 1e-6;

// The printed part of one measure: hidden rests and blank time before its first note and
// after its last are left out, and the measure is as long as what stands between.
void dropEdges(ParsedMeasure& measure) {
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
        return;
    std::erase_if(measure.notes, [first, last](const ParsedNote& n) {
        return n.rest && n.hidden &&
               (n.start + n.length <= first + kSameTime || n.start >= last - kSameTime);
    });
    for (ParsedNote& n : measure.notes)
        n.start = std::max(0.0, n.start - first);
    for (ParsedHarmony& h : measure.harmonies)
        h.start = std::max(0.0, h.start - first);
    measure.length = last - first;
}

bool holdsBlankTime(const ParsedMeasure& measure) {
    return std::any_of(measure.notes.begin(), measure.notes.end(),
                       [](const ParsedNote& n) { return n.blank; });
}

QString partLabel(const ParsedPart& part) {
    return part.name.name.empty() ? part.id : QString::fromStdU16String(part.name.name);
}

}  // namespace

void dropHiddenEdges(ParsedScore& score, ConversionReport& report) {
    for (ParsedPart& part : score.parts) {
        report.setPart(partLabel(part));
        for (ParsedMeasure& measure : part.measures) {
            dropEdges(measure);
            // Jianpu has no blank time: inside the music the track shows it as rests.
            if (holdsBlankTime(measure))
                report.add(QStringLiteral("time printed blank inside measures written as rests"),
                           measure.number);
        }
    }
}

}  // namespace qe::musicxml
