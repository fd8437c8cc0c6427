#include "layout/note_line.h"

#include <algorithm>

#include "draw/note_element.h"
#include "layout/item_elements.h"
#include "layout/measure.h"
#include "model/doc_chunks.h"

namespace qe {

NoteLine::NoteLine(const format_track_header* format, int marginTop, int marginBottom)
    : Node(kNoteLine, format) {
    style.marginTop = marginTop;
    style.marginBottom = marginBottom;
}

void NoteLine::arrange(BaseGDI&) {
    int x = style.paddingLeft;
    int bottom = 0;
    for (auto& c : children_) {
        Style& s = c->style;
        s.x = x + s.marginLeft;
        s.y = -style.paddingTop - s.marginTop;
        x = s.x + s.width + s.marginRight;
        bottom = std::min(bottom, s.y + s.height - s.marginBottom);
    }
    style.width = x + style.paddingRight;
    style.height = bottom - style.paddingBottom;
}

int buildTrackLine(const format_track_header* format, Node& line, const note_track& track,
                   int trackIndex) {
    int itemIndex = 0;
    int skipped = 0;
    auto measure = std::make_unique<Measure>(format, 0);
    for (const note& record : track.content.items) {
        const std::optional<music::Item> item = music::decode(record);
        if (!item) {
            ++skipped;
            continue;
        }
        const qe::location here(1, trackIndex, static_cast<std::int16_t>(itemIndex++));
        if (item->isBarLine()) {
            measure->setBarType(item->barType);
            measure->location = here;
            line.appendChild(std::move(measure));
            measure = std::make_unique<Measure>(format, 0);
            continue;
        }
        for (auto& element : elementsOf(*item)) {
            element->location = here;
            measure->appendChild(std::move(element));
        }
    }
    if (measure->childCount() > 0) {
        measure->location = qe::location(1, trackIndex, static_cast<std::int16_t>(itemIndex));
        line.appendChild(std::move(measure));
    }
    return skipped;
}

}  // namespace qe
