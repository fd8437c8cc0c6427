#pragma once

#include <string>
#include <vector>

#include "engrave/shape.h"
#include "records/extension.h"

namespace qe {

class Measure;

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
    // The pieces laid so far from the start of the measure: where the next one goes, the top
    // they hang from, the gap between them and the height of the tallest (negative), and the
    // single-line texts with their heights.
    struct Row {
        int x = 0;
        int top = 0;
        int gap = 0;
        int tallest = 0;
        std::vector<std::pair<std::size_t, int>> heights;
    };
    // "1=D", "1=♯F": the new key as printed.
    static std::u16string keyText(const MeasureMark& mark);
    // The segno and coda signs, `sign` wide and high.
    void addSigns(Row& row, int sign);
    void addText(Row& row, std::u16string text, const FontRecord& font, Surface& g);
    // The new time signature as a fraction.
    void addFraction(Row& row, const FontRecord& digits, Surface& g);
    // The words of the jumps, at the end of the measure.
    void addJumpWords(Row& row, const Measure& measure, bool viaShadows, const FontRecord& font,
                      Surface& g);
    // Stands the texts on the bottom of the tallest piece and lifts everything above the
    // row's top; returns how far it went up.
    int standOnRow(const Row& row);

    std::vector<Piece> parts_;
    Rect segno_{};
    Rect coda_{};
    Rect fractionLine_{};
};

}  // namespace qe
