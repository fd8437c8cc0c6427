#pragma once

#include <optional>
#include <utility>
#include <vector>

#include "edit/position.h"
#include "engrave/geometry.h"
#include "engrave/node.h"
#include "engrave/score_layout.h"

namespace qe {

// Where the caret keys take the caret: one stop left or right; the start or end of its line;
// the start or end of the score; the line above or below (the next track of the system, then
// the next system) at the nearest horizontal place; a page up or down.
enum class CaretMove {
    Left, Right, LineStart, LineEnd, ScoreStart, ScoreEnd, LineUp, LineDown, PageUp, PageDown
};

// Where the places of a score stand in a layout of it, and which place stands where: the node
// that shows a caret position, the position a node stands for, the caret's and a position's
// rectangles, the lines of the layout and the caret moves between them, and the place under a
// point. It reads the score and one root of its layout (a page view or the strip), and is
// made afresh each time it is asked, as both change with every edit.
class LayoutPlaces {
public:
    LayoutPlaces(const music::Score& score, ScoreLayout& layout, Node& root,
                 bool scrollMode);

    // The node that shows a position (an element, or the measure for its end), and the
    // position a node stands for; null or nothing when there is none.
    Node* nodeOf(const Position& at) const;
    std::optional<Position> positionOf(const Node* node) const;
    // The caret's rectangle at a position, and the position's own box (the element's, or the
    // bar line's), in the root's coordinates.
    Rect caretRectOf(const Position& at) const;
    Rect positionRect(const Position& at) const;
    // The two positions in the order they are read on the page.
    std::pair<Position, Position> orderPositions(const Position& a, const Position& b) const;

    // A line of the root: one track's measures of a display line (page mode) or one whole
    // track (scroll mode), with its box in the root's coordinates.
    struct Line {
        const Node* node = nullptr;
        int track = 0;
        int firstMeasure = 0;
        int lastMeasure = 0;
        Rect box;
    };
    std::vector<Line> lines() const;
    std::optional<Line> lineOf(const Position& at) const;
    // The caret stop of a line nearest to `x`.
    Position nearestInLine(const Line& line, int x) const;

    // Where a move takes a caret at `at` whose rectangle's top-left corner is `caret`; up and
    // down stay in the track with `sameTrack`, a page is `pageHeight` logical units.
    Position target(const Position& at, Point caret, CaretMove move, bool sameTrack,
                    int pageHeight) const;
    // The place under a point: on a digit or mark, in front of it; beside the notes of a line,
    // the nearest place of that line; nothing elsewhere.
    std::optional<Position> hit(Point p) const;

private:
    const music::Score& score_;
    ScoreLayout& layout_;
    Node& root_;
    bool scrollMode_;
};

}  // namespace qe
