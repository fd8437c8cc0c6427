#include "edit/item_index.h"

#include "draw/note_element.h"
#include "layout/item_elements.h"
#include "layout/linear_view.h"
#include "layout/measure.h"

namespace qe {

namespace {

// Calls `visit(node, index)` for each stored item of a track line in order until it returns
// true; returns that node, or null.
template <typename Visit>
const Node* findInLine(const Node& line, Visit visit) {
    int index = 0;
    for (int m = 0; m < line.childCount(); ++m) {
        const Measure* measure = asMeasure(line.child(m));
        if (!measure)
            continue;
        for (int i = 0; i < measure->childCount(); ++i) {
            const NoteElement* e = measure->elementAt(i);
            if (!itemOf(*e))
                continue;
            if (visit(e, index++))
                return e;
        }
        if (visit(measure, index++))
            return measure;
    }
    return nullptr;
}

}  // namespace

Node* nodeOfItem(const LinearView& tree, ItemPlace place) {
    if (place.track < 0 || place.track >= tree.childCount() || place.item < 0)
        return nullptr;
    const Node* found = findInLine(*tree.child(place.track),
                                   [&](const Node*, int index) { return index == place.item; });
    return const_cast<Node*>(found);
}

std::optional<ItemPlace> itemOfNode(const LinearView& tree, const Node* node) {
    const Node* stored = node && node->kind == kMeasure ? node : storedItemOf(node);
    if (!stored)
        return std::nullopt;
    const Node* line = stored->kind == kMeasure ? stored->parent() : stored->parent()->parent();
    if (!line || line->parent() != &tree)
        return std::nullopt;
    std::optional<ItemPlace> place;
    const int track = tree.indexOf(line);
    findInLine(*line, [&](const Node* n, int index) {
        if (n == stored)
            place = ItemPlace{track, index};
        return n == stored;
    });
    return place;
}

}  // namespace qe
