#pragma once

#include <string>
#include <vector>

#include "engrave/shape.h"
#include "records/extension.h"

namespace qe {

// What a measure mark prints above the start of its measure in the first track: the segno
// and coda signs, the new key "1=D", the new time signature as a fraction (nothing for free
// meter but the words "散板"), and a tempo mark; and above its end, right-aligned before the
// bar line, the words of its jumps ("D.S. al Coda", "Fine", "To Coda"). It stands above a
// volta bracket that starts on the same measure.
class MarkText : public GlobalShape {
public:
    MarkText(const MeasureMark& mark, const format_track_header* format, Node* measure,
             bool aboveBracket)
        : GlobalShape(kMarkShape, format, measure, measure),
          mark(mark),
          aboveBracket(aboveBracket) {}

    // Throws kMismatch when the anchor is missing or not a measure.
    void arrange(Surface& g) override;
    void draw(Surface& g) const override;

    MeasureMark mark;
    bool aboveBracket = false;

private:
    // Parts in root coordinates, as laid out: texts, and where the signs and the fraction
    // line go.
    struct Piece {
        std::u16string text;
        FontRecord font;
        Point at;
    };
    std::vector<Piece> parts_;
    Rect segno_{};
    Rect coda_{};
    Rect fractionLine_{};
};

// The words of a mark's jumps at the end of its measure: "D.S. al Coda", "Fine", ...; empty
// when it has none.
std::u16string jumpWords(std::uint32_t jumps);

}  // namespace qe
