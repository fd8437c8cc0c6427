#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "music/meter.h"
#include "music/pitch.h"
#include "records/doc_chunks.h"

namespace qe::music {

// What holds in one measure: the key its digits are read in, its time signature, whether it
// is in free meter (its length is whatever its notes take), and the tempo mark in force.
struct MeasureAttributes {
    Key key;
    Meter meter;
    bool free = false;
    TempoMark tempo;
    friend bool operator==(const MeasureAttributes&, const MeasureAttributes&) = default;
};

// The key, meter and tempo of every measure, from the title block and the marks where they
// change. A key change takes effect at the start of its measure in every track, and so do the
// others; a mark past the last measure changes nothing that is shown.
class Attributes {
public:
    Attributes() : Attributes(doc_header{}) {}
    explicit Attributes(const doc_header& header);
    // One key and meter throughout: for walking records without a title block.
    Attributes(const Key& key, const Meter& meter = {});

    const MeasureAttributes& at(int measure) const;
    const Key& keyAt(int measure) const { return at(measure).key; }
    const Meter& meterAt(int measure) const { return at(measure).meter; }
    // The length a measure should have; 0 in free meter or for a signature with no length.
    Ticks expectedLength(int measure) const {
        const MeasureAttributes& a = at(measure);
        return a.free ? 0 : a.meter.measureLength();
    }
    // The beat that groups underlines: the meter's, a quarter in free meter.
    Ticks beatAt(int measure) const {
        const MeasureAttributes& a = at(measure);
        return a.free ? kTicksPerQuarter : a.meter.beat();
    }
    // Whether anything but the start changes: a score that has a single key and meter.
    bool changes() const { return spans_.size() > 1; }

private:
    struct Span {
        int from = 0;
        MeasureAttributes attributes;
    };
    std::vector<Span> spans_;  // by measure, the first from 0
};

// Puts a mark in the header's list at its measure, in measure order: replacing the mark there,
// or taking it away when the new one is empty.
void setMark(doc_header& header, const MeasureMark& mark);

// The most passes a volta label can name.
inline constexpr int kMostPasses = 16;
// The passes a volta label names, bit p-1 for pass p: "1." {1}, "2." {2}, "1.-3." {1,2,3},
// "1, 2" {1,2}; 0 for a label without a number from 1 to 16.
std::uint32_t passesOfLabel(std::u16string_view label);

// The key of a key change mark, with the octave of its "1"; nothing for a letter outside A..G.
std::optional<Key> keyOfMark(const MeasureMark& mark);

}  // namespace qe::music
