#pragma once

#include <string>

#include "engrave/shape.h"

namespace qe {

// A volta bracket ("跳房子") with its label, standing above a run of measures, possibly across
// line breaks: one strip per line.
class VoltaBracket : public GlobalShape {
public:
    VoltaBracket(std::u16string label, const format_track_header* format, Node* from, Node* to)
        : GlobalShape(kVoltaShape, format, from, to), label(std::move(label)) {}

    // Throws kMismatch when an anchor is missing or not a measure, or `to` does not follow
    // `from` in its line.
    void arrange(Surface& g) override;
    void draw(Surface& g) const override;

    std::u16string label;
};

}  // namespace qe
