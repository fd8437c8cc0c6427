#include "engrave/note_line.h"

#include <algorithm>

#include "engrave/item_elements.h"
#include "engrave/measure.h"
#include "engrave/note_element.h"
#include "music/score.h"
#include "records/doc_chunks.h"

namespace qe {

NoteLine::NoteLine(const format_track_header* format, int marginTop, int marginBottom)
    : Node(kNoteLine, format) {
    style.marginTop = marginTop;
    style.marginBottom = marginBottom;
}

int NoteLine::roomAbove() const {
    int room = 0;
    for (const auto& c : children_) {
        const Node* node = c.get();
        while (node && node->kind == kShadowNode)
            node = node->origin;
        if (const Measure* m = asMeasure(node))
            room = std::max(room, m->ornaments().top());
    }
    return room;
}

void NoteLine::arrange(Surface&) {
    style.paddingTop = roomAbove();
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

void NoteLine::draw(Surface& g) const {
    const RoleGuard named(g, "lyric syllable");  // the hyphens and lines between syllables
    struct Last {
        bool continues = false;
        Rect box;
    };
    std::vector<Last> rows;
    bool fontSet = false;
    int hyphenWidth = 0;
    const auto hyphen = [&](int left, int right, int top) {
        if (!fontSet) {
            if (format)
                g.setFont(format->font(kLyricsFont));
            hyphenWidth = g.textExtent(u"-").width;
            fontSet = true;
        }
        g.drawText(g.originX + (left + right - hyphenWidth) / 2, g.originY + top, u"-");
    };
    for (int i = 0; i < childCount(); ++i) {
        const Measure* m = asMeasure(realChild(i));
        if (!m || m->lyrics().boxes().empty())
            continue;
        const Style& at = child(i)->style;
        for (const MeasureLyrics::Box& b : m->lyrics().boxes()) {
            if (rows.size() <= static_cast<std::size_t>(b.row))
                rows.resize(static_cast<std::size_t>(b.row) + 1);
            Last& last = rows[static_cast<std::size_t>(b.row)];
            const Rect box{b.box.left + at.x, b.box.top + at.y, b.box.right + at.x,
                           b.box.bottom + at.y};
            if (last.continues)
                hyphen(last.box.right, box.left, box.top);
            last = {b.continues, box};
        }
    }
    for (const Last& last : rows)
        if (last.continues)
            hyphen(last.box.right,
                   std::max(last.box.right + MeasureLyrics::kGap,
                            std::min(style.width, last.box.right + 2 * MeasureLyrics::kGap)),
                   last.box.top);
}

std::unique_ptr<Measure> buildMeasure(const format_track_header* format, const music::Measure& m) {
    auto measure = std::make_unique<Measure>(format, m.barType());
    const int count = m.contentCount();
    for (int e = 0; e < count; ++e) {
        const music::Entry& entry = m.entries[static_cast<std::size_t>(e)];
        const std::optional<music::Item> item = entry.item();
        if (!item)
            continue;
        // A chord shows its lowest tone in the row and stacks the others above it.
        music::Item shown = *item;
        std::vector<NoteTone> stack;
        if (item->isDigit() && entry.extra && !entry.extra->tones.empty()) {
            stack = entry.extra->tones;
            stack.push_back(NoteTone{static_cast<std::uint8_t>(item->degree),
                                     static_cast<std::int8_t>(item->octave),
                                     static_cast<std::uint8_t>(item->accidental)});
            std::stable_sort(stack.begin(), stack.end(), [](const NoteTone& a, const NoteTone& b) {
                return a.octave * 7 + a.degree < b.octave * 7 + b.degree;
            });
            shown = music::Item::digit(stack.front().degree, stack.front().octave, item->underlines,
                                       stack.front().accidental);
            stack.erase(stack.begin());
        }
        auto elements = elementsOf(shown);
        for (auto& element : elements)
            element->entry = e;
        // Syllables and extras rest on the note itself, not on the accidental in front of it.
        if (!elements.empty()) {
            elements.back()->syllables = entry.syllables;
            elements.back()->extra = entry.extra;
            elements.back()->stack = std::move(stack);
        }
        for (auto& element : elements)
            measure->appendChild(std::move(element));
    }
    return measure;
}

void buildTrackLine(const format_track_header* format, Node& line, const music::Track& track) {
    for (const music::Measure& m : track.measures)
        line.appendChild(buildMeasure(format, m));
}

}  // namespace qe
