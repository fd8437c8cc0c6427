#include "perform/form.h"

#include <algorithm>
#include <cstddef>

namespace qe::sound {

namespace {

constexpr int kBeginRepeat = 3;
constexpr int kEndRepeat = 4;

struct MeasureForm {
    Ticks length = 0;
    bool beginRepeat = false;
    bool endRepeat = false;
    int firstEndingEnd = -1;  // for an end repeat: the last measure of its first ending
    int firstEndingStart = -1;
};

struct Bracket {
    int first = 0;
    int last = 0;
};

// The measure a bracket end names: the measure whose closing bar line it is, or -1.
int measureOfBarLine(const music::TrackWalk& walk, int itemIndex) {
    if (itemIndex < 0 || static_cast<std::size_t>(itemIndex) >= walk.items.size())
        return -1;
    const music::WalkItem& item = walk.items[static_cast<std::size_t>(itemIndex)];
    return item.item.isBarLine() ? item.measure : -1;
}

std::vector<Bracket> readBrackets(const std::vector<music::TrackWalk>& tracks,
                                  const std::vector<Format>& formats) {
    std::vector<Bracket> brackets;
    for (const Format& record : formats) {
        if (record.type != Format::kJumpLine || record.from.placeKind != 1 ||
            record.to.placeKind != 1 || record.from.trackIndex != record.to.trackIndex ||
            record.from.trackIndex < 0 ||
            static_cast<std::size_t>(record.from.trackIndex) >= tracks.size())
            continue;
        const music::TrackWalk& walk = tracks[static_cast<std::size_t>(record.from.trackIndex)];
        const int first = measureOfBarLine(walk, record.from.itemIndex);
        const int last = measureOfBarLine(walk, record.to.itemIndex);
        if (first >= 0 && last >= first)
            brackets.push_back(Bracket{first, last});
    }
    return brackets;
}

std::vector<MeasureForm> readForm(const std::vector<music::TrackWalk>& tracks,
                                  const std::vector<Format>& formats) {
    std::size_t count = 0;
    for (const music::TrackWalk& walk : tracks)
        count = std::max(count, walk.measures.size());
    std::vector<MeasureForm> form(count);
    for (const music::TrackWalk& walk : tracks) {
        for (std::size_t m = 0; m < walk.measures.size(); ++m) {
            const music::MeasureSpan& span = walk.measures[m];
            form[m].length = std::max(form[m].length, span.length);
            form[m].beginRepeat = form[m].beginRepeat || span.barType == kBeginRepeat;
            form[m].endRepeat = form[m].endRepeat || span.barType == kEndRepeat;
        }
    }
    std::vector<int> endRepeats;
    for (std::size_t m = 0; m < form.size(); ++m)
        if (form[m].endRepeat)
            endRepeats.push_back(static_cast<int>(m));
    // A bracket is the first ending of the first end repeat inside it, where the playing
    // turns back; of several brackets over one end repeat, their whole span is skipped.
    for (const Bracket& bracket : readBrackets(tracks, formats)) {
        const auto end = std::lower_bound(endRepeats.begin(), endRepeats.end(), bracket.first);
        if (end == endRepeats.end() || *end > bracket.last)
            continue;
        MeasureForm& repeat = form[static_cast<std::size_t>(*end)];
        if (repeat.firstEndingStart < 0 || bracket.first < repeat.firstEndingStart)
            repeat.firstEndingStart = bracket.first;
        repeat.firstEndingEnd = std::max(repeat.firstEndingEnd, bracket.last);
    }
    return form;
}

}  // namespace

std::vector<PlayedMeasure> unfold(const std::vector<music::TrackWalk>& tracks,
                                  const std::vector<Format>& formats) {
    const std::vector<MeasureForm> form = readForm(tracks, formats);
    const int count = static_cast<int>(form.size());
    std::vector<bool> repeated(form.size(), false);
    std::vector<PlayedMeasure> played;
    Ticks time = 0;
    int sectionStart = 0;
    // While a section is played the second time: the first ending it skips, if any.
    int skipFrom = -1;
    int skipTo = -1;
    for (int m = 0; m < count;) {
        if (skipFrom >= 0 && m >= skipFrom && m <= skipTo) {
            m = skipTo + 1;
            sectionStart = m;
            skipFrom = skipTo = -1;
            continue;
        }
        const MeasureForm& here = form[static_cast<std::size_t>(m)];
        played.push_back(PlayedMeasure{m, time, here.length});
        time += here.length;
        if (here.endRepeat) {
            if (!repeated[static_cast<std::size_t>(m)]) {
                repeated[static_cast<std::size_t>(m)] = true;
                skipFrom = here.firstEndingStart;
                skipTo = here.firstEndingEnd;
                m = sectionStart;
                continue;
            }
            sectionStart = m + 1;
            skipFrom = skipTo = -1;
        }
        if (here.beginRepeat)
            sectionStart = m + 1;
        ++m;
    }
    return played;
}

}  // namespace qe::sound
