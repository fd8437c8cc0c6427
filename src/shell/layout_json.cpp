#include "shell/layout_json.h"

#include <QJsonArray>

#include "draw/note_element.h"
#include "layout/linear_view.h"
#include "layout/measure.h"
#include "layout/page_view.h"

namespace qe {

namespace {

void putGeometry(QJsonObject& json, const Style& s) {
    json["x"] = s.x;
    json["y"] = s.y;
    json["width"] = s.width;
    json["height"] = s.height;
}

QJsonObject elementJson(const Node* node) {
    QJsonObject json;
    const auto* e = static_cast<const NoteElement*>(node);
    json["kind"] = e->elementKind;
    json["glyph"] = static_cast<int>(e->glyph);
    putGeometry(json, e->style);
    return json;
}

// A measure at `place`: its own place in a track line, or its shadow's in a display line.
QJsonObject measureJson(const Measure& m, const Style& place) {
    QJsonObject json;
    putGeometry(json, place);
    json["barType"] = m.barType;
    json["weight"] = m.weight();
    QJsonArray elements;
    for (int i = 0; i < m.childCount(); ++i)
        elements.append(elementJson(m.child(i)));
    json["elements"] = elements;
    return json;
}

QJsonObject noteLineJson(const Node& line) {
    QJsonObject json;
    putGeometry(json, line.style);
    QJsonArray measures;
    for (int i = 0; i < line.childCount(); ++i) {
        const Node* shown = line.child(i);
        if (const Measure* m = asMeasure(line.realChild(i)))
            measures.append(measureJson(*m, shown->style));
    }
    json["measures"] = measures;
    return json;
}

template <typename Shapes>
QJsonArray shapesJson(const Shapes& shapes) {
    QJsonArray list;
    for (const auto& shape : shapes) {
        QJsonArray strips;
        for (const Rect& r : shape.strips)
            strips.append(QJsonObject{
                {"left", r.left}, {"top", r.top}, {"right", r.right}, {"bottom", r.bottom}});
        QJsonObject json{{"strips", strips}};
        putGeometry(json, shape.style);
        list.append(json);
    }
    return list;
}

}  // namespace

QJsonObject pageLayoutToJson(const PageView& view) {
    QJsonArray pages;
    for (int p = 0; p < view.childCount(); ++p) {
        const Page* page = view.page(p);
        QJsonObject pageJson{{"index", page->pageIndex}};
        putGeometry(pageJson, page->style);
        QJsonArray lines;
        for (int k = 0; k < page->childCount(); ++k) {
            const Node* line = page->child(k);
            QJsonObject lineJson;
            putGeometry(lineJson, line->style);
            QJsonArray tracks;
            for (int t = 0; t < line->childCount(); ++t)
                tracks.append(noteLineJson(*line->child(t)));
            lineJson["tracks"] = tracks;
            lines.append(lineJson);
        }
        pageJson["lines"] = lines;
        pages.append(pageJson);
    }
    QJsonObject json{{"mode", "page"}, {"pages", pages}};
    putGeometry(json, view.style);
    json["arcs"] = shapesJson(view.arcs);
    json["jumpLines"] = shapesJson(view.jumpLines);
    return json;
}

QJsonObject scrollLayoutToJson(const LinearView& view) {
    QJsonArray lines;
    for (int t = 0; t < view.childCount(); ++t)
        lines.append(noteLineJson(*view.child(t)));
    QJsonObject json{{"mode", "scroll"}, {"lines", lines}};
    putGeometry(json, view.style);
    json["arcs"] = shapesJson(view.arcs);
    json["jumpLines"] = shapesJson(view.jumpLines);
    return json;
}

}  // namespace qe
