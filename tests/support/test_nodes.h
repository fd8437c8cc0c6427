#pragma once

#include <memory>
#include <string>

#include "engrave/node.h"
#include "engrave/recording_surface.h"
#include "engrave/surface.h"

namespace qe::test {

// A plain node with a box set by hand; drawing it records a text with its name.
class BoxNode : public Node {
public:
    explicit BoxNode(std::u16string name, int x = 0, int y = 0, int width = 0, int height = 0)
        : Node(kComplexLine), name(std::move(name)) {
        style.x = x;
        style.y = y;
        style.width = width;
        style.height = height;
    }
    void arrange(Surface&) override { ++arranged; }
    void draw(Surface& g) const override { g.drawText(g.originX, g.originY, name); }

    std::u16string name;
    int arranged = 0;
};

inline std::unique_ptr<BoxNode> box(std::u16string name, int x = 0, int y = 0, int width = 0,
                                    int height = 0) {
    return std::make_unique<BoxNode>(std::move(name), x, y, width, height);
}

// The names drawn on a recording surface, in drawing order.
inline std::u16string drawnNames(const RecordingSurface& g) {
    std::u16string names;
    for (const DrawCall& call : g.calls)
        if (call.op == "drawText")
            names += (names.empty() ? u"" : u" ") + call.text;
    return names;
}

}  // namespace qe::test
