#pragma once

namespace qe {

// Layout and drawing coordinates are integers in 1/1440 inch (twips) with the y axis
// pointing up: a point lower on the page has the smaller y, and the height of a box or a
// text is zero or negative. A rectangle's `top` is therefore numerically above its `bottom`.

struct Point {
    int x = 0;
    int y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
    int width = 0;
    int height = 0;  // zero or negative
    friend bool operator==(const Size&, const Size&) = default;
};

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    friend bool operator==(const Rect&, const Rect&) = default;
};

}  // namespace qe
