#include "layout/complex_line.h"

#include <algorithm>

namespace qe {

std::unique_ptr<ComplexLine> ComplexLine::displayLine() {
    auto line = std::make_unique<ComplexLine>();
    line->style.marginTop = kDisplayLineMargin;
    line->style.marginBottom = kDisplayLineMargin;
    return line;
}

void ComplexLine::arrange(BaseGDI&) {
    int y = -style.paddingTop;
    int right = style.paddingLeft;
    for (auto& c : children_) {
        Style& s = c->style;
        s.x = style.paddingLeft + s.marginLeft;
        s.y = y - s.marginTop;
        y = s.y + s.height - s.marginBottom;
        right = std::max(right, s.x + s.width);
    }
    style.width = right + style.paddingRight;
    style.height = y - style.paddingBottom;
}

}  // namespace qe
