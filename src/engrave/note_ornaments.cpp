#include "engrave/note_ornaments.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "engrave/measure.h"
#include "engrave/note_element.h"
#include "engrave/symbols.h"
#include "engrave/underline.h"
#include "music/chord_symbol.h"
#include "records/doc_chunks.h"

namespace qe {

namespace {

// The digit element of the item an element belongs to, when it is one with extras.
const NoteExtra* extrasOf(const NoteElement& e) {
    return e.elementKind == kDigitElement && e.extra ? e.extra.get() : nullptr;
}

// The chord symbol as printed, or nothing.
std::u16string chordText(const NoteExtra& extra) {
    if (extra.chordSymbol.empty())
        return {};
    const auto chord = music::parseChordSymbol(extra.chordSymbol);
    return chord ? chord->shown() : extra.chordSymbol;
}

// Where a text at an element starts: at the accidental in front of its digit, if it has one.
const NoteElement* frontOf(const std::vector<const NoteElement*>& elements, std::size_t i) {
    if (i > 0 && elements[i - 1]->elementKind == kAccidentalElement &&
        elements[i - 1]->entry == elements[i]->entry)
        return elements[i - 1];
    return elements[i];
}

// Chord symbols are read at a glance over the melody: the text font, set bold.
FontRecord chordFont(const format_track_header& format) {
    FontRecord font = format.font(kTextFont);
    font.logFont.weight = std::max<std::int32_t>(font.logFont.weight, 700);
    return font;
}

int countBefore(const NoteExtra& extra) {
    return static_cast<int>(std::count_if(extra.graces.begin(), extra.graces.end(),
                                          [](const GraceNote& g) { return !g.after; }));
}

}  // namespace

void NoteOrnaments::widen(Measure& measure, Surface& g) {
    chordWidths_.clear();
    aboveWidths_.clear();
    belowWidths_.clear();
    const format_track_header* format = measure.format;
    bool anyGrace = false;
    bool anyStack = false;
    bool anyChord = false;
    any_ = false;
    measure.forEachElement([&](const NoteElement& e) {
        if (const NoteExtra* x = extrasOf(e)) {
            any_ = true;
            anyGrace |= !x->graces.empty();
            anyChord |= !x->chordSymbol.empty() || !x->textAbove.empty() || !x->textBelow.empty();
        }
        anyStack |= !e.stack.empty();
    });
    if (format) {
        noteHeight_ = std::abs(format->font(kNoteFont).logFont.height);
        graceHeight_ = std::abs(format->font(kGraceNoteFont).logFont.height);
        textHeight_ = std::abs(format->font(kTextFont).logFont.height);
    }
    if (anyGrace)
        measureGraces(format, g);
    if (anyStack) {
        if (format)
            g.setFont(format->font(kNoteFont));
        const char16_t sharp = glyph::kSharp;
        accidentalWidth_ = g.textExtent(&sharp, 1).width;
    }
    if (!anyGrace && !anyStack && !anyChord)
        return;
    if (anyChord && format)
        g.setFont(format->font(kTextFont));
    // Room before and after the digits, for what stands against them; chord symbols are kept
    // apart by the time grid, which is told their widths.
    NoteElement* previous = nullptr;
    measure.forEachElement([&](NoteElement& e) {
        const NoteExtra* extra = extrasOf(e);
        // Room on the left goes before the accidental in front of the digit, if it has one.
        NoteElement* front =
            previous && previous->elementKind == kAccidentalElement && previous->entry == e.entry
                ? previous
                : &e;
        int before = 0;
        int after = 0;
        if (extra) {
            for (const GraceNote& grace : extra->graces)
                (grace.after ? after : before) += graceRoom(grace);
        }
        const bool stackAccidental = std::any_of(
            e.stack.begin(), e.stack.end(), [](const NoteTone& t) { return t.accidental != 0; });
        if (stackAccidental && front == &e)
            before += accidentalWidth_;
        if (before > 0)
            front->style.marginLeft += before + graceHeight_ / 6;
        if (after > 0)
            e.style.marginRight += after + graceHeight_ / 6;
        if (extra && !extra->chordSymbol.empty()) {
            if (format)
                g.setFont(chordFont(*format));
            chordWidths_.push_back(g.textExtent(chordText(*extra)).width);
            if (format)
                g.setFont(format->font(kTextFont));
        }
        if (extra && !extra->textAbove.empty())
            aboveWidths_.push_back(g.textExtent(extra->textAbove).width);
        if (extra && !extra->textBelow.empty())
            belowWidths_.push_back(g.textExtent(extra->textBelow).width);
        previous = &e;
    });
}

void NoteOrnaments::measureGraces(const format_track_header* format, Surface& g) {
    graceWidths_.assign(8, graceHeight_ / 2);
    if (format)
        g.setFont(format->font(kGraceNoteFont));
    for (int d = 0; d < 8; ++d) {
        const char16_t c = static_cast<char16_t>(glyph::kDigit + d);
        graceWidths_[static_cast<std::size_t>(d)] = g.textExtent(&c, 1).width;
    }
    graceAccidentalWidths_.assign(6, 0);
    for (int a = 1; a < 6; ++a) {
        const char16_t c = static_cast<char16_t>(glyph::kAccidentalBase + a);
        graceAccidentalWidths_[static_cast<std::size_t>(a)] = g.textExtent(&c, 1).width;
    }
}

void NoteOrnaments::place(const Measure& measure, const std::vector<Underline>& underlines) {
    glyphs_.clear();
    lines_.clear();
    dots_.clear();
    arcs_.clear();
    texts_.clear();
    spans_.clear();
    belowFrom_ = 0;
    tupletsEnd_ = 0;
    top_ = 0;
    if (!any_)
        return;
    std::vector<int> tops;  // per element: the highest point above it
    std::vector<const NoteElement*> elements;
    measure.forEachElement([&](const NoteElement& e) {
        elements.push_back(&e);
        int top = placeStack(e);
        endSpan(kStackTones);
        if (const NoteExtra* extra = extrasOf(e)) {
            if (!extra->graces.empty())
                top = placeGraces(e, *extra, elements, top);
            endSpan("grace note");
            if (extra->articulations != 0)
                top = placeMarks(e, extra->articulations, top);
        }
        tops.push_back(top);
    });
    placeTuplets(elements, tops, underlines);
    endSpan("tuplet number");
    tupletsEnd_ = texts_.size();
    placeChordSymbols(elements, tops);
    endSpan("chord symbol");
    placeWordsAbove(elements, tops);
    endSpan("words");
    for (const Text& t : texts_)
        top_ = std::max(top_, t.at.y);
    for (int top : tops)
        top_ = std::max(top_, top);
    belowFrom_ = texts_.size();
}

// The upper tones of a chord over the digit, lowest first, each with its accidental and
// octave dots; returns the highest point of the digit, its dots and the stack.
int NoteOrnaments::placeStack(const NoteElement& e) {
    const int dot = dotRadius();
    // The highest point of the digit and its octave dots (dotsTop counts from the digit's top).
    int top = e.style.y + std::max(0, e.dotsTop);
    const int digitHeight = std::abs(e.style.height);
    const int cx = e.style.x + e.style.width / 2;
    bool dotsUnder = e.octave > 0;  // dots between this tone and the one below
    for (const NoteTone& tone : e.stack) {
        int bottom = top + dot;
        for (int k = 0; k < -tone.octave; ++k) {
            const int cy = bottom + dot + k * 3 * dot;
            dots_.push_back({cx - dot, cy + dot, cx + dot, cy - dot});
            bottom = cy + 2 * dot;
        }
        dotsUnder = dotsUnder || tone.octave < 0;
        // A digit's box reaches a fifth of its height under the foot of its ink, which tones
        // overlap one another by; over octave dots the foot stands a dot clear of them.
        const int glyphTop =
            bottom + digitHeight * 4 / 5 + (dotsUnder ? digitHeight * 2 / 25 + dot : 0);
        dotsUnder = tone.octave > 0;
        glyphs_.push_back({{e.style.x, glyphTop},
                           static_cast<char16_t>(glyph::kDigit + tone.degree),
                           false,
                           e.style.width});
        if (tone.accidental != 0)
            glyphs_.push_back({{e.style.x - accidentalWidth_, glyphTop},
                               static_cast<char16_t>(glyph::kAccidentalBase + tone.accidental),
                               false,
                               accidentalWidth_});
        top = glyphTop;
        for (int k = 0; k < tone.octave; ++k) {
            const int cy = top + 2 * dot;
            dots_.push_back({cx - dot, cy + dot, cx + dot, cy - dot});
            top = cy + dot;
        }
    }
    return top;
}

// Small digits before the note (in front of its accidental) and after it, each row with its
// octave dots, accidentals and underlines, joined to the note by an arc.
int NoteOrnaments::placeGraces(const NoteElement& e, const NoteExtra& extra,
                               const std::vector<const NoteElement*>& elements, int top) {
    const int h = noteHeight_;
    const int before = countBefore(extra);
    const int count = static_cast<int>(extra.graces.size());
    // Each arc rises from over the middle of its row, clear of the row's raised accidentals
    // and dots, to the note: over its middle, or at its side when a chord stands over it.
    // Arcs on both sides of one note stop short of its middle, apart.
    const bool stacked = !e.stack.empty();
    const int apart = before > 0 && before < count ? e.style.width / 6 : 0;
    const int noteY = e.style.y + h / 12;
    int highest = top;
    // From left to right, as the row and the note stand.
    const auto join = [&](Point left, Point right) {
        const int bow = std::max(left.y, right.y) + h / 3;
        arcs_.push_back({left, {left.x, bow}, {right.x, bow}, right});
        highest = std::max(highest, bow);
    };
    const int cx = e.style.x + e.style.width / 2;
    if (before > 0) {
        int width = 0;
        for (int i = 0; i < before; ++i)
            width += graceRoom(extra.graces[static_cast<std::size_t>(i)]);
        const NoteElement* front = &e;
        if (elements.size() >= 2 &&
            elements[elements.size() - 2]->elementKind == kAccidentalElement &&
            elements[elements.size() - 2]->entry == e.entry)
            front = elements[elements.size() - 2];
        const GraceRow row =
            placeGraceRow(extra, 0, before, e.style.y, front->style.x - width - graceHeight_ / 6);
        join({(row.left + row.right) / 2, row.top + h / 12},
             {stacked ? e.style.x : cx - apart, noteY});
    }
    if (before < count) {
        const int x = e.style.x + e.style.width + graceHeight_ / 6;
        const GraceRow row = placeGraceRow(extra, before, count, e.style.y, x);
        join({stacked ? e.style.x + e.style.width : cx + apart, noteY},
             {(row.left + row.right) / 2, row.top + h / 12});
    }
    return highest;
}

// One row of small digits from `x`, their tops at `gy`, with their octave dots, accidentals
// and underlines.
NoteOrnaments::GraceRow NoteOrnaments::placeGraceRow(const NoteExtra& extra, int from, int to,
                                                     int gy, int x) {
    const int dot = dotRadius();
    const int thin = lineWidth();
    const int gh = graceHeight_;
    GraceRow row{x, x, gy};
    int digitsLeft = -1;  // where the underlines start: under the first digit, not its accidental
    for (int i = from; i < to; ++i) {
        const GraceNote& grace = extra.graces[static_cast<std::size_t>(i)];
        // The accidental stands raised in front of its digit, in room of its own: drawn over
        // the half of the digit before it, it would read as that digit's.
        if (grace.tone.accidental != 0) {
            const int aw = graceAccidentalWidth(grace.tone.accidental);
            glyphs_.push_back(
                {{x, gy + gh / 4},
                 static_cast<char16_t>(glyph::kAccidentalBase + grace.tone.accidental),
                 true,
                 aw});
            row.top = std::max(row.top, gy + gh / 4);
            x += aw;
        }
        if (digitsLeft < 0)
            digitsLeft = x;
        const int w = graceWidths_[static_cast<std::size_t>(grace.tone.degree % 8)];
        glyphs_.push_back(
            {{x, gy}, static_cast<char16_t>(glyph::kDigit + grace.tone.degree), true, w});
        const int gx = x + w / 2;
        for (int k = 0; k < grace.tone.octave; ++k) {
            const int cy = gy + dot + k * 2 * dot;
            dots_.push_back(
                {gx - dot * 2 / 3, cy + dot * 2 / 3, gx + dot * 2 / 3, cy - dot * 2 / 3});
            row.top = std::max(row.top, cy + dot * 2 / 3);
        }
        for (int k = 0; k < -grace.tone.octave; ++k) {
            const int cy = gy - gh - dot - grace.underlines * 2 * thin - k * 2 * dot;
            dots_.push_back(
                {gx - dot * 2 / 3, cy + dot * 2 / 3, gx + dot * 2 / 3, cy - dot * 2 / 3});
        }
        x += w;
    }
    row.right = x;
    // Underlines under the small digits, as many as the most any of them has.
    int levels = 0;
    for (int i = from; i < to; ++i)
        levels = std::max<int>(levels, extra.graces[static_cast<std::size_t>(i)].underlines);
    for (int k = 0; k < levels; ++k) {
        const int y = gy - gh - thin - k * 2 * thin;
        lines_.push_back({{digitsLeft, y}, {x, y}, thin});
    }
    return row;
}

int NoteOrnaments::graceAccidentalWidth(int accidental) const {
    const auto a = static_cast<std::size_t>(accidental);
    return a < graceAccidentalWidths_.size() ? graceAccidentalWidths_[a] : graceHeight_ / 4;
}

int NoteOrnaments::graceRoom(const GraceNote& grace) const {
    const int digit = graceWidths_[static_cast<std::size_t>(grace.tone.degree % 8)];
    return digit + (grace.tone.accidental != 0 ? graceAccidentalWidth(grace.tone.accidental) : 0);
}

// The marks of the note above what stands over it, in the notation's order.
int NoteOrnaments::placeMarks(const NoteElement& e, std::uint32_t marks, int top) {
    const int cx = e.style.x + e.style.width / 2;
    for (const music::NoteMark& mark : music::noteMarks()) {
        if (marks & mark.flag) {
            top = placeFigure(mark.figure, cx, top);
            endSpan(kOneFigure);  // a fermata's arc and dot are one mark
        }
    }
    return top;
}

// One mark centred on `cx`, a little above `top`; returns its top.
int NoteOrnaments::placeFigure(music::MarkFigure figure, int cx, int top) {
    const int h = noteHeight_;
    const int thin = lineWidth();
    const int bottom = top + h / 8;
    switch (figure) {
        case music::MarkFigure::Wedge: {
            // Pointing down at the digit.
            const int height = h / 4;
            const int half = h / 12;
            for (int dx = -half; dx <= half; dx += std::max(1, half / 4))
                lines_.push_back({{cx, bottom}, {cx + dx, bottom + height}, thin});
            return bottom + height;
        }
        case music::MarkFigure::Accent: {
            const int height = h / 4;
            const int half = h / 5;
            lines_.push_back(
                {{cx - half, bottom + height}, {cx + half, bottom + height / 2}, thin});
            lines_.push_back({{cx + half, bottom + height / 2}, {cx - half, bottom}, thin});
            return bottom + height;
        }
        case music::MarkFigure::Fermata: {
            const int dot = dotRadius();
            const int half = h / 2;
            arcs_.push_back({{cx - half, bottom},
                             {cx - half, bottom + h * 2 / 3},
                             {cx + half, bottom + h * 2 / 3},
                             {cx + half, bottom}});
            dots_.push_back({cx - dot, bottom + 2 * dot, cx + dot, bottom});
            return bottom + h / 2;
        }
        case music::MarkFigure::Line: {
            // As wide as a digit, as thick as an underline.
            const int half = h * 3 / 10;
            const int width = std::max(1, h / 16);
            const int y = bottom + width / 2;
            lines_.push_back({{cx - half, y}, {cx + half, y}, width});
            return bottom + width;
        }
    }
    return top;
}

// Tuplet numbers: over each group, above the highest of its notes, inner groups first.
void NoteOrnaments::placeTuplets(const std::vector<const NoteElement*>& elements,
                                 std::vector<int>& tops, const std::vector<Underline>& underlines) {
    const int h = noteHeight_;
    const int thin = lineWidth();
    for (int level = 1; level >= 0; --level) {
        std::size_t i = 0;
        while (i < elements.size()) {
            const NoteExtra* x = extrasOf(*elements[i]);
            const bool isNote = elements[i]->elementKind == kDigitElement;
            if (!isNote || !x || !x->tuplets[static_cast<std::size_t>(level)].active()) {
                ++i;
                continue;
            }
            const TupletMark mark = x->tuplets[static_cast<std::size_t>(level)];
            std::size_t first = i;
            std::size_t last = i;  // the last element of the group (its dashes and dots too)
            std::size_t j = i + 1;
            for (; j < elements.size(); ++j) {
                const NoteElement& e = *elements[j];
                if (e.elementKind == kAccidentalElement)
                    continue;
                if (e.elementKind == kDigitElement) {
                    const NoteExtra* y = extrasOf(e);
                    const TupletMark* m =
                        y ? &y->tuplets[static_cast<std::size_t>(level)] : nullptr;
                    if (!m || !m->active() || m->starts || m->actual != mark.actual ||
                        m->normal != mark.normal)
                        break;
                }
                if (e.elementKind == kMarkElement)
                    continue;
                last = j;
            }
            int top = 0;
            for (std::size_t k = first; k <= last; ++k)
                top = std::max(top, tops[k]);
            const NoteElement& a = *elements[first];
            const NoteElement& b = *elements[last];
            const int left = a.style.x;
            const int right = b.style.x + b.style.width;
            std::u16string shown;
            for (int n = mark.actual; n > 0; n /= 10)
                shown.insert(shown.begin(), static_cast<char16_t>(u'0' + n % 10));
            const int y = top + textHeight_ + h / 10;
            const int numberWidth = textHeight_ * 3 / 5 * static_cast<int>(shown.size());
            texts_.push_back({{(left + right - numberWidth) / 2, y}, shown, kTextFont});
            // A bracket when no one underline joins the whole group.
            const bool joined =
                std::any_of(underlines.begin(), underlines.end(), [&](const Underline& u) {
                    return u.level == 0 && u.from.get() == &a &&
                           (u.to.get() == &b || u.to.get() == elements[last]);
                });
            if (!joined && last > first) {
                const int by = y - textHeight_ / 2;
                const int hook = h / 6;
                const int gapLeft = (left + right - numberWidth) / 2 - h / 10;
                const int gapRight = (left + right + numberWidth) / 2 + h / 10;
                lines_.push_back({{left, by - hook}, {left, by}, thin});
                lines_.push_back({{left, by}, {gapLeft, by}, thin});
                lines_.push_back({{gapRight, by}, {right, by}, thin});
                lines_.push_back({{right, by}, {right, by - hook}, thin});
            }
            for (std::size_t k = first; k <= last; ++k)
                tops[k] = std::max(tops[k], y);
            i = j;
        }
    }
}

// Chord symbols on one row, at the same height in every measure of a line unless something of
// the measure reaches higher (a chord stack, a fermata).
void NoteOrnaments::placeChordSymbols(const std::vector<const NoteElement*>& elements,
                                      const std::vector<int>& tops) {
    const int h = noteHeight_;
    int row = std::numeric_limits<int>::min();
    for (std::size_t i = 0; i < elements.size(); ++i)
        row = std::max({row, tops[i], elements[i]->style.y + h * 5 / 4});
    for (std::size_t i = 0; i < elements.size(); ++i) {
        const NoteExtra* x = extrasOf(*elements[i]);
        if (!x || x->chordSymbol.empty())
            continue;
        texts_.push_back({{frontOf(elements, i)->style.x, row + textHeight_ + h / 8},
                          chordText(*x),
                          kTextFont,
                          true});
    }
}

// Words over the notes on a row of their own, over the chord symbols when the measure has any.
void NoteOrnaments::placeWordsAbove(const std::vector<const NoteElement*>& elements,
                                    const std::vector<int>& tops) {
    if (aboveWidths_.empty())
        return;
    const int h = noteHeight_;
    int row = std::numeric_limits<int>::min();
    for (std::size_t i = 0; i < elements.size(); ++i)
        row = std::max({row, tops[i], elements[i]->style.y + h * 5 / 4});
    for (const Text& t : texts_)
        row = std::max(row, t.at.y);  // the chord symbols' tops
    for (std::size_t i = 0; i < elements.size(); ++i) {
        const NoteExtra* x = extrasOf(*elements[i]);
        if (x && !x->textAbove.empty())
            texts_.push_back({{frontOf(elements, i)->style.x, row + textHeight_ + h / 8},
                              x->textAbove,
                              kTextFont});
    }
}

void NoteOrnaments::placeBelow(const Measure& measure, int top) {
    texts_.resize(std::min(texts_.size(), belowFrom_));  // placed again, not twice
    if (belowWidths_.empty())
        return;
    const int y = top - kRowSpacing;
    std::vector<const NoteElement*> elements;
    measure.forEachElement([&](const NoteElement& e) { elements.push_back(&e); });
    for (std::size_t i = 0; i < elements.size(); ++i)
        if (const NoteExtra* x = extrasOf(*elements[i]); x && !x->textBelow.empty())
            texts_.push_back({{frontOf(elements, i)->style.x, y}, x->textBelow, kTextFont});
}

void NoteOrnaments::keepWordsApart(int& reachAbove, int& reachBelow, int gap, int right) {
    const auto apart = [&](std::size_t from, const std::vector<int>& widths, int& reach) {
        for (std::size_t i = 0; i < widths.size() && from + i < texts_.size(); ++i) {
            Text& text = texts_[from + i];
            const int x = std::max(text.at.x, reach + gap);
            if (x + widths[i] <= right || x == text.at.x)
                text.at.x = x;
            reach = std::max(reach, text.at.x + widths[i]);
        }
    };
    // The words over the notes are the last texts before those under them, in order.
    const std::size_t above = std::min(aboveWidths_.size(), belowFrom_);
    apart(belowFrom_ - above, aboveWidths_, reachAbove);
    apart(belowFrom_, belowWidths_, reachBelow);
}

void NoteOrnaments::inkOver(std::vector<Rect>& boxes) const {
    for (const Glyph& glyph : glyphs_) {
        const int height = glyph.grace ? graceHeight_ : noteHeight_;
        boxes.push_back({glyph.at.x, glyph.at.y, glyph.at.x + glyph.width, glyph.at.y - height});
    }
    for (const Line& line : lines_)
        boxes.push_back({std::min(line.from.x, line.to.x), std::max(line.from.y, line.to.y),
                         std::max(line.from.x, line.to.x), std::min(line.from.y, line.to.y)});
    for (const Rect& dot : dots_)
        boxes.push_back(dot);
    // An arc in slices, each as high as the curve over it: a wide fermata reaches over its
    // neighbours only low down.
    constexpr int kSlices = 8;
    for (const Arc& arc : arcs_) {
        const auto at = [&](int i) {
            const double t = static_cast<double>(i) / kSlices, u = 1 - t;
            const double a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
            return Point{
                static_cast<int>(a * arc.p0.x + b * arc.p1.x + c * arc.p2.x + d * arc.p3.x),
                static_cast<int>(a * arc.p0.y + b * arc.p1.y + c * arc.p2.y + d * arc.p3.y)};
        };
        for (int i = 0; i < kSlices; ++i) {
            const Point from = at(i), to = at(i + 1);
            boxes.push_back({std::min(from.x, to.x), std::max(from.y, to.y), std::max(from.x, to.x),
                             std::min(from.y, to.y)});
        }
    }
    for (std::size_t i = 0; i < tupletsEnd_ && i < texts_.size(); ++i) {
        const Text& t = texts_[i];
        const int width = textHeight_ * 3 / 5 * static_cast<int>(t.text.size());
        boxes.push_back({t.at.x, t.at.y, t.at.x + width, t.at.y - textHeight_});
    }
}

void NoteOrnaments::draw(Surface& g, const format_track_header* format) const {
    if (empty() && arcs_.empty())
        return;
    const FontRecord ink = format ? format->font(kNoteFont) : FontRecord{};
    const int ox = g.originX;
    const int oy = g.originY;
    const RoleGuard named(g, "articulation");
    // Each mark's pieces are one thing: numbers of their own, past those the surface gave.
    const int things = g.things;
    g.things += static_cast<int>(spans_.size());
    for (std::size_t i = 0; i < glyphs_.size(); ++i) {
        const Glyph& glyphAt = glyphs_[i];
        g.role = roleOf(&Span::glyphs, i, "digit", things, g);
        if (format)
            g.setFont(format->font(glyphAt.grace ? kGraceNoteFont : kNoteFont));
        g.drawText(ox + glyphAt.at.x, oy + glyphAt.at.y, &glyphAt.glyph, 1);
    }
    for (std::size_t i = 0; i < texts_.size(); ++i) {
        const Text& t = texts_[i];
        g.role = roleOf(&Span::texts, i, "digit", things, g);
        if (format)
            g.setFont(t.bold ? chordFont(*format)
                             : format->font(static_cast<FontCategory>(t.category)));
        g.drawText(ox + t.at.x, oy + t.at.y, t.text);
    }
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const Line& line = lines_[i];
        g.role = roleOf(&Span::lines, i, "digit", things, g);
        g.setPen(0, roundToPixels(line.width, g.pixelSize()), ink.red(), ink.green(), ink.blue());
        g.moveTo(ox + line.from.x, oy + line.from.y);
        g.lineTo(ox + line.to.x, oy + line.to.y);
    }
    g.setPen(0, roundToPixels(std::max(1, noteHeight_ / 30), g.pixelSize()), ink.red(), ink.green(),
             ink.blue());
    const auto at = [&](Point p) { return Point{ox + p.x, oy + p.y}; };
    for (std::size_t i = 0; i < arcs_.size(); ++i) {
        const Arc& arc = arcs_[i];
        g.role = roleOf(&Span::arcs, i, "digit", things, g);
        g.drawBezier(at(arc.p0), at(arc.p1), at(arc.p2), at(arc.p3));
    }
    g.setBrush(ink.red(), ink.green(), ink.blue());
    for (std::size_t i = 0; i < dots_.size(); ++i) {
        const Rect& r = dots_[i];
        g.role = roleOf(&Span::dots, i, "octave dot", things, g);
        g.ellipse(ox + r.left, oy + r.top, ox + r.right, oy + r.bottom);
    }
    g.thing = 0;
}

void NoteOrnaments::endSpan(const char* role) {
    spans_.push_back(
        {glyphs_.size(), lines_.size(), arcs_.size(), dots_.size(), texts_.size(), role});
}

const char* NoteOrnaments::roleOf(std::size_t Span::*end, std::size_t index, const char* stackRole,
                                  int things, Surface& g) const {
    g.thing = 0;
    for (std::size_t k = 0; k < spans_.size(); ++k) {
        const Span& span = spans_[k];
        if (index >= span.*end)
            continue;
        if (span.role == kStackTones)
            return stackRole;
        if (span.role == kOneFigure) {
            g.thing = things + 1 + static_cast<int>(k);
            return "articulation";
        }
        return span.role;
    }
    return "words";  // placed under the notes, after every span
}

}  // namespace qe
