#include "engrave/text.h"

namespace qe {

Text::Text(Node* parentNode, std::u16string value, const FontRecord& record)
    : Node(kText), text(std::move(value)), font(record) {
    heldBy(parentNode);
}

void Text::arrange(Surface& g) {
    g.setFont(font);
    const Size extent = g.textExtent(text);
    style.width = extent.width;
    style.height = extent.height;
}

void Text::draw(Surface& g) const {
    const RoleGuard named(g, role && *role ? role : g.role ? g.role : "text");
    g.setFont(font);
    g.drawText(g.originX, g.originY, text);
}

}  // namespace qe
