#pragma once

#include "engrave/shape.h"

namespace qe {

// One duration underline under a run of notes, at its level (0 nearest the digits).
class Underline : public Shape {
public:
    Underline(const format_track_header* format, Node* from, Node* to, int level)
        : Shape(kUnderlineShape, format, from, to), level(level) {}

    void arrange(Surface& g) override;
    // Thickness and gaps are whole pixels on every device, so levels never merge or vanish.
    void draw(Surface& g) const override;

    int level;
};

}  // namespace qe
