#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "engrave/node.h"

namespace qe {

// A node that draws a line or curve between two other nodes, its anchors. The tree that
// owns a shape keeps it in a list of its own, beside its children.
class Shape : public Node {
public:
    enum ShapeType : int { kUnderlineShape = 1, kArcShape = 2, kVoltaShape = 5, kMarkShape = 6 };

    Shape(int shapeType, const format_track_header* format, Node* from, Node* to)
        : Node(kShape, format), shapeType(shapeType), from(from), to(to) {}

    // Same type between the same two nodes.
    virtual bool sameShape(const Shape& other) const {
        return shapeType == other.shapeType && from.get() == other.from.get() &&
               to.get() == other.to.get();
    }
    // Both anchors still stand in a tree.
    bool anchored() const { return from && to; }

    int shapeType;
    Anchor from;  // empty once its node is deleted
    Anchor to;
    int arcWidth = 0;
    int arcDepth = 0;                     // negative
    std::vector<Rect> strips;             // one per line the shape crosses, in root coordinates
    std::vector<const Node*> stripLines;  // the line each strip lies on
    int thickness = 0;
    std::array<std::uint8_t, 4> color{};  // red, green, blue, and the colour's top byte
    std::uint8_t onPage = 0;              // page-mode copies find their anchors through the shadows

protected:
    // The pen colour of a font record.
    void takeColor(std::uint32_t rgb) {
        color = {static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8),
                 static_cast<std::uint8_t>(rgb), static_cast<std::uint8_t>(rgb >> 24)};
    }
};

// A shape that may span several measures and lines: tie arcs and jump lines.
class GlobalShape : public Shape {
public:
    using Shape::Shape;
};

}  // namespace qe
