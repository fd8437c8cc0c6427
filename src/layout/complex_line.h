#pragma once

#include <memory>

#include "layout/node.h"

namespace qe {

// A column of lines, left-aligned, each separated from the next by the bottom margin of the
// upper and the top margin of the lower. Page mode's display lines are complex lines holding
// one note line of shadows per track.
class ComplexLine : public Node {
public:
    static constexpr int kDisplayLineMargin = 80;

    ComplexLine() : Node(kComplexLine) {}
    // A display line: 80 above and 80 below.
    static std::unique_ptr<ComplexLine> displayLine();

    void arrange(BaseGDI& g) override;
    void draw(BaseGDI&) override {}
};

}  // namespace qe
