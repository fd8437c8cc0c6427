#include "layout/note_line.h"

#include <algorithm>

#include "draw/note_element.h"
#include "draw/symbols.h"
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

namespace {

// The element a mark type stands for, or null for a mark type the editor does not know.
std::unique_ptr<NoteElement> markElement(int markType) {
    switch (markType) {
        case note::kDash:
            return NoteElement::makeMark(glyph::kDash, kDashElement);
        case note::kAugmentationDot:
            return NoteElement::makeMark(glyph::kAugmentationDot, kDotElement);
        case note::kBreath:
            return NoteElement::makeMark(glyph::kBreath, kMarkElement);
        case note::kOpenParen:
            return NoteElement::makeMark(glyph::kOpenParen, kMarkElement);
        case note::kCloseParen:
            return NoteElement::makeMark(glyph::kCloseParen, kMarkElement);
        default:
            return nullptr;
    }
}

}  // namespace

int buildTrackLine(const format_track_header* format, Node& line, const note_track& track,
                   int trackIndex) {
    int itemIndex = 0;
    int skipped = 0;
    const auto here = [&] {
        return qe::location(1, trackIndex, static_cast<std::int16_t>(itemIndex));
    };
    auto measure = std::make_unique<Measure>(format, 0);
    for (const note& item : track.content.items) {
        if (item.isNoteLike()) {
            if (item.degree() == 0 && item.octaveCode() == note::kMarkOctaveCode) {
                std::unique_ptr<NoteElement> mark = markElement(item.markType());
                if (!mark) {
                    ++skipped;
                    continue;
                }
                mark->location = here();
                measure->appendChild(std::move(mark));
                ++itemIndex;
            } else if (item.degree() != 0 || item.octaveCode() == note::kRestOctaveCode) {
                if (item.accidental() != 0) {
                    auto sign = NoteElement::makeAccidental(item.accidental());
                    sign->location = here();
                    measure->appendChild(std::move(sign));
                }
                auto digit =
                    NoteElement::makeNote(item.degree(), item.duration(), item.octaveCode() - 7);
                digit->location = here();
                measure->appendChild(std::move(digit));
                ++itemIndex;
            } else {
                ++skipped;
            }
        } else if (item.isBarLine()) {
            if (item.barType() > 7) {
                ++skipped;
                continue;  // the measure it would close goes on
            }
            measure->setBarType(item.barType());
            measure->location = here();
            line.appendChild(std::move(measure));
            ++itemIndex;
            measure = std::make_unique<Measure>(format, 0);
        } else {
            ++skipped;
        }
    }
    if (measure->childCount() > 0) {
        measure->location = here();
        line.appendChild(std::move(measure));
    }
    return skipped;
}

}  // namespace qe
