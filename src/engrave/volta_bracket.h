#pragma once

#include <string>
#include <vector>

#include "engrave/shape.h"

namespace qe {

namespace music {
struct Volta;
}

// A volta bracket ("跳房子") with its label, standing above a run of measures, possibly across
// line breaks: one strip per line.
class VoltaBracket : public GlobalShape {
public:
    // Whether it is drawn: a system shows an ending that every part repeats once, over the
    // highest part that has it.
    bool shown = true;
    // The room a bracket keeps over the ink of its measures that rises over their row.
    static constexpr int kGap = 40;

    VoltaBracket(std::u16string label, const format_track_header* format, Node* from, Node* to)
        : GlobalShape(kVoltaShape, format, from, to), label(std::move(label)) {}

    // Throws kMismatch when an anchor is missing or not a measure, or `to` does not follow
    // `from` in its line.
    void arrange(Surface& g) override;
    void draw(Surface& g) const override;

    std::u16string label;
};

// Whether ending `i` of `voltas` is one a higher part already has over the same measures,
// with the same label.
bool repeatsEndingAbove(const std::vector<music::Volta>& voltas, std::size_t i);

}  // namespace qe
