#include "cli/layout_json.h"

#include <QJsonArray>
#include <unordered_map>

#include "engrave/linear_view.h"
#include "engrave/measure.h"
#include "engrave/note_element.h"
#include "engrave/page_view.h"
#include "engrave/symbols.h"
#include "engrave/system.h"
#include "engrave/text.h"
#include "painter/ink_surface.h"

namespace qe {

namespace {

void putGeometry(QJsonObject& json, const Style& s) {
    json["x"] = s.x;
    json["y"] = s.y;
    json["width"] = s.width;
    json["height"] = s.height;
}

QJsonObject elementJson(const Node* node, long long start) {
    QJsonObject json;
    const auto* e = static_cast<const NoteElement*>(node);
    json["kind"] = e->elementKind;
    json["glyph"] = static_cast<int>(e->glyph);
    putGeometry(json, e->style);
    if (start >= 0)
        json["start"] = start;
    return json;
}

QJsonObject rectJson(const Rect& r) {
    return {{"left", r.left}, {"top", r.top}, {"right", r.right}, {"bottom", r.bottom}};
}

// Where each measure of the track lines starts, in ticks from the start of the score, as
// its track's measures are written.
using Starts = std::unordered_map<const Measure*, long long>;

Starts measureStarts(const LinearView& view) {
    Starts starts;
    for (int t = 0; t < view.childCount(); ++t) {
        long long at = 0;
        const Node* line = view.child(t);
        for (int m = 0; m < line->childCount(); ++m) {
            if (const Measure* measure = asMeasure(line->child(m))) {
                starts[measure] = at;
                at += measure->length();
            }
        }
    }
    return starts;
}

// A measure at `place`: its own place in a track line, or its shadow's in a display line.
// Each element tells where it starts in the score: the note it stands with, for an
// accidental, a parenthesis or a breath mark.
QJsonObject measureJson(const Measure& m, const Style& place, const Starts& starts) {
    QJsonObject json;
    putGeometry(json, place);
    json["barType"] = m.barType;
    json["weight"] = m.weight();
    const auto found = starts.find(&m);
    const long long measureStart = found == starts.end() ? 0 : found->second;
    json["start"] = measureStart;
    std::vector<long long> start(static_cast<std::size_t>(m.childCount()), -1);
    for (const Measure::Slot& slot : m.timeSlots())
        for (int i = slot.first; i <= slot.last && i < m.childCount(); ++i)
            start[static_cast<std::size_t>(i)] = measureStart + slot.start;
    QJsonArray elements;
    for (int i = 0; i < m.childCount(); ++i)
        elements.append(elementJson(m.child(i), start[static_cast<std::size_t>(i)]));
    json["elements"] = elements;
    QJsonArray underlines;
    for (const Underline& u : m.underlines())
        underlines.append(QJsonObject{
            {"level", u.level}, {"first", m.indexOf(u.from)}, {"last", m.indexOf(u.to)}});
    json["underlines"] = underlines;
    QJsonArray syllables;
    for (const MeasureLyrics::Box& b : m.lyrics().boxes())
        syllables.append(QJsonObject{{"verse", b.verse + 1},
                                     {"row", b.row},
                                     {"element", m.indexOf(b.note)},
                                     {"text", QString::fromStdU16String(b.shown)},
                                     {"continues", b.continues},
                                     {"box", rectJson(b.box)}});
    if (!syllables.isEmpty())
        json["syllables"] = syllables;
    return json;
}

QJsonObject noteLineJson(const Node& line, const Starts& starts) {
    QJsonObject json;
    putGeometry(json, line.style);
    QJsonArray measures;
    for (int i = 0; i < line.childCount(); ++i) {
        const Node* shown = line.child(i);
        if (const Measure* m = asMeasure(line.realChild(i)))
            measures.append(measureJson(*m, shown->style, starts));
    }
    json["measures"] = measures;
    return json;
}

QJsonObject textJson(const Text& text) {
    const Style& s = text.style;
    return {{"role", text.role},
            {"text", QString::fromStdU16String(text.text)},
            {"box", rectJson({s.x, s.y, s.x + s.width, s.y + s.height})}};
}

// Every line a shape can be drawn on, by its index: the display lines of page mode counted
// over all pages, or the track lines of scroll mode.
using LineIndex = std::unordered_map<const Node*, int>;

// Each shape with its box, and every piece drawn of it: the line it is on and its box.
template <typename Shapes>
QJsonArray shapesJson(const Shapes& shapes, const LineIndex& lines) {
    QJsonArray list;
    for (const auto& shape : shapes) {
        QJsonArray strips;
        QJsonArray pieces;
        for (std::size_t i = 0; i < shape.strips.size(); ++i) {
            strips.append(rectJson(shape.strips[i]));
            const Node* line = i < shape.stripLines.size() ? shape.stripLines[i] : nullptr;
            const auto found = lines.find(line);
            pieces.append(QJsonObject{{"line", found == lines.end() ? -1 : found->second},
                                      {"box", rectJson(shape.strips[i])}});
        }
        QJsonObject json{{"strips", strips}, {"pieces", pieces}};
        putGeometry(json, shape.style);
        list.append(json);
    }
    return list;
}

// A drawn text as a reader of the list reads it: the music symbol font's digits as digits, its
// other signs (accidentals, dashes, dots, bar lines, notes) left out, as they are named by role.
QString readableText(const std::u16string& text) {
    QString out;
    for (char16_t c : text) {
        if (c >= glyph::kDigit && c <= glyph::kDigit + 7)
            out += QChar(u'0' + (c - glyph::kDigit));
        else if (c < 0xF000 || c > 0xF0FF)
            out += QChar(c);
    }
    return out;
}

// The ink of one page, as drawn: every thing with its role and box.
QJsonArray inkJson(const PageView& view, int index, FontBook& fonts) {
    const Style& page = view.page(index)->style;
    InkSurface g(fonts, {0, 0, page.width, page.height});
    view.paintPage(index, g);
    QJsonArray ink;
    for (const InkBox& b : g.boxes) {
        QJsonObject thing{{"role", QString::fromStdString(b.role)},
                          {"box", rectJson(b.box)},
                          {"thing", b.thing}};
        if (const QString text = readableText(b.text); !text.isEmpty())
            thing["text"] = text;
        if (!b.outline.empty()) {
            QJsonArray outline;
            for (const Point& p : b.outline)
                outline.append(QJsonArray{p.x, p.y});
            thing["outline"] = outline;
        }
        ink.append(thing);
    }
    return ink;
}

}  // namespace

QJsonObject pageLayoutToJson(const PageView& view, FontBook* fonts) {
    const Starts starts = measureStarts(view.linear);
    LineIndex lineIndex;
    int displayLines = 0;
    QJsonArray pages;
    for (int p = 0; p < view.childCount(); ++p) {
        const Page* page = view.page(p);
        QJsonObject pageJson{{"index", page->pageIndex}};
        putGeometry(pageJson, page->style);
        // The title block's texts, in the page's frame.
        QJsonArray texts;
        for (const Text& text : page->texts)
            if (!text.text.empty())
                texts.append(textJson(text));
        for (const KeyText& key : page->keyTexts) {
            const Style& s = key.style;
            texts.append(QJsonObject{{"role", "key"},
                                     {"box", rectJson({s.x, s.y, s.x + s.width, s.y + s.height})}});
        }
        if (!texts.isEmpty())
            pageJson["texts"] = texts;
        QJsonArray lines;
        for (int k = 0; k < page->childCount(); ++k) {
            const Node* line = page->child(k);
            for (int t = 0; t < line->childCount(); ++t)
                lineIndex[line->child(t)] = displayLines;
            QJsonObject lineJson{{"index", displayLines++}};
            putGeometry(lineJson, line->style);
            // The tracks of the system in order, by their number in the score.
            QJsonArray tracks;
            QJsonArray order;
            for (int t = 0; t < line->childCount(); ++t) {
                QJsonObject track = noteLineJson(*line->child(t), starts);
                const Node* first = line->child(t)->childCount() > 0
                                        ? line->child(t)->realChild(0)
                                        : nullptr;
                const int number = first ? view.linear.indexOf(first->parent()) : -1;
                track["track"] = number;
                order.append(number);
                tracks.append(track);
            }
            lineJson["tracks"] = tracks;
            lineJson["trackOrder"] = order;
            QJsonArray labels;
            for (const Text& label : static_cast<const System*>(line)->labels)
                labels.append(textJson(label));
            if (!labels.isEmpty())
                lineJson["labels"] = labels;
            lines.append(lineJson);
        }
        pageJson["lines"] = lines;
        if (fonts)
            pageJson["ink"] = inkJson(view, p, *fonts);
        pages.append(pageJson);
    }
    QJsonObject json{{"mode", "page"}, {"pages", pages}};
    putGeometry(json, view.style);
    json["arcs"] = shapesJson(view.arcs, lineIndex);
    json["jumpLines"] = shapesJson(view.voltas, lineIndex);
    return json;
}

QJsonObject scrollLayoutToJson(const LinearView& view) {
    const Starts starts = measureStarts(view);
    LineIndex lineIndex;
    QJsonArray lines;
    for (int t = 0; t < view.childCount(); ++t) {
        lineIndex[view.child(t)] = t;
        lines.append(noteLineJson(*view.child(t), starts));
    }
    QJsonObject json{{"mode", "scroll"}, {"lines", lines}};
    putGeometry(json, view.style);
    json["arcs"] = shapesJson(view.arcs, lineIndex);
    json["jumpLines"] = shapesJson(view.voltas, lineIndex);
    return json;
}

}  // namespace qe
