#pragma once

#include <string>

#include "engrave/node.h"
#include "records/font_record.h"

namespace qe {

// A text of the title block, drawn with its own copy of a font record.
class Text : public Node {
public:
    Text(Node* parent, std::u16string text, const FontRecord& font);

    void arrange(Surface& g) override;
    void draw(Surface& g) const override;

    std::u16string text;
    FontRecord font;
    // What the text is in the title block or beside a line ("title", "subtitle", "author",
    // "tempo", "comment", "partName", "measureNumber"), for tools that check a layout.
    const char* role = "";
};

}  // namespace qe
