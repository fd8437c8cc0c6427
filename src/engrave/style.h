#pragma once

namespace qe {

// Position, size and box model of a node, in logical units with y up. The box covers x from 0
// up to `width` (exclusive) and y from 0 down to `height` (exclusive, height <= 0). Margins
// and paddings are non-negative distances in every direction: a parent that moves down by a
// top margin subtracts it from y.
struct Style {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    int marginLeft = 0;
    int marginTop = 0;
    int marginRight = 0;
    int marginBottom = 0;
    int paddingLeft = 0;
    int paddingTop = 0;
    int paddingRight = 0;
    int paddingBottom = 0;

    friend bool operator==(const Style&, const Style&) = default;
};

}  // namespace qe
