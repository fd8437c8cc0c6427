#include "edit/operate_interface.h"

#include <algorithm>
#include <functional>

#include "draw/note_element.h"
#include "draw/symbols.h"
#include "edit/qeview.h"
#include "layout/item_elements.h"
#include "layout/linear_view.h"
#include "layout/measure.h"
#include "model/exception.h"
#include "model/qanor_doc.h"

namespace qe {

LinearView& OperateInterface::editTree() const {
    return view->editTree();
}

bool OperateInterface::recording() const {
    return view->history && view->history->recording();
}

void OperateInterface::record(Change change) {
    if (recording())
        view->history->record(std::move(change));
}

std::vector<ShapeValue> OperateInterface::shapeValues() const {
    std::vector<ShapeValue> values;
    const LinearView& tree = editTree();
    int i = 0;
    for (const SusArc& arc : tree.arcs)
        values.push_back({true, positionOf(tree, arc.from), positionOf(tree, arc.to), {}, i++});
    i = 0;
    for (const JumpLine& jump : tree.jumpLines)
        values.push_back(
            {false, positionOf(tree, jump.from), positionOf(tree, jump.to), jump.label, i++});
    return values;
}

void OperateInterface::recordDropped(const LinearView::Dropped& dropped,
                                     const std::vector<ShapeValue>& before) {
    const std::size_t arcCount =
        before.size() - editTree().jumpLines.size() - dropped.jumpLines.size();
    // Recorded last first, so that each index is right when the removals are replayed one
    // after another, and the undo puts each back where it stood.
    for (auto it = dropped.arcs.rbegin(); it != dropped.arcs.rend(); ++it)
        record(change::RemoveShape{before[static_cast<std::size_t>(*it)]});
    for (auto it = dropped.jumpLines.rbegin(); it != dropped.jumpLines.rend(); ++it)
        record(change::RemoveShape{before[arcCount + static_cast<std::size_t>(*it)]});
}

void OperateInterface::dropIfLone(Node* element) {
    if (view->history && view->history->replaying())
        return;  // a step replayed brings its own removals
    const NoteElement* e = asElement(element);
    if (e && e->elementKind == kAccidentalElement && !storedItemOf(e))
        removeElement(element);
}

void OperateInterface::setSyllables(NoteElement& note, std::vector<Syllable> syllables) {
    if (syllables == note.syllables)
        return;
    if (recording())
        record(change::SetSyllables{positionOf(editTree(), &note), note.syllables, syllables});
    note.syllables = std::move(syllables);
    if (auto* m = asMeasure(note.parent()))
        m->invalidate();
}

void OperateInterface::insertItem(std::vector<std::unique_ptr<NoteElement>> elements, Node* caret) {
    if (elements.empty() || !caret)
        return;
    Node* first = elements.front().get();
    for (auto& element : elements)
        insertAtCaret(std::move(element), caret);
    if (first->parent())
        dropIfLone(first->previousSibling());
}

void OperateInterface::insertAtCaret(std::unique_ptr<Node> element, Node* caret) {
    if (!caret || !element)
        return;
    Node* inserted = element.get();
    if (caret->kind == kMeasure) {
        caret->appendChild(std::move(element));
    } else if (!caret->parent() || !caret->parent()->insertChild(element, caret)) {
        return;
    }
    if (recording())
        if (const auto* e = asElement(inserted))
            record(change::InsertElement{positionOf(editTree(), e), ElementValue::of(*e)});
}

namespace {

// Moves children [0, count) of `from` to the front of `to`, keeping their order.
void moveFront(Node& from, int count, Node& to) {
    for (int i = count - 1; i >= 0; --i)
        to.insertChild(0, from.removeChild(i));
}

}  // namespace

void OperateInterface::insertBarLine(Node* caret, std::unique_ptr<Measure> measure) {
    if (!caret)
        return;
    Node* current = caret->kind == kMeasure ? caret : caret->parent();
    if (!current || !current->parent())
        return;
    const int count = caret->kind == kMeasure ? current->childCount() : current->indexOf(caret);
    if (auto* m = asMeasure(current))
        m->dropDecorations();
    const int barType = measure->barType;
    Node* added = measure.get();
    moveFront(*current, count, *measure);
    std::unique_ptr<Node> node = std::move(measure);
    current->parent()->insertChild(node, current);
    if (recording()) {
        const TreePosition at = positionOf(editTree(), added);
        record(change::SplitMeasure{at.track, at.measure, count, barType});
    }
    dropIfLone(added->lastChild());
}

bool OperateInterface::removeElement(Node* element) {
    if (!element || element->kind != kNoteElement)
        return false;
    Caret& caret = view->caret;
    if (caret.node == element) {
        // The caret moves behind the deleted element: to the next one, or to the end of the
        // measure when it was the last.
        Node* next = element->nextSibling();
        caret.node = next ? next : element->parent();
    }
    Node* measure = element->parent();
    if (!measure)
        return false;
    Node* before = element->previousSibling();
    const bool keep = recording();
    const std::vector<ShapeValue> shapes = keep ? shapeValues() : std::vector<ShapeValue>{};
    const TreePosition at = keep ? positionOf(editTree(), element) : TreePosition{};
    const ElementValue value = ElementValue::of(*static_cast<NoteElement*>(element));
    if (auto* m = asMeasure(measure))
        m->dropDecorations();
    measure->removeChild(element);  // deleted here; the anchors on it empty themselves
    const LinearView::Dropped dropped = editTree().dropLooseShapes();
    if (keep) {
        recordDropped(dropped, shapes);
        record(change::RemoveElement{at, value});
    }
    dropIfLone(before);
    view->updateCaretRect();
    return true;
}

bool OperateInterface::removeBarLine(Node* measure) {
    Node* next = measure->nextSibling();
    if (!next)
        return false;
    Caret& caret = view->caret;
    if (caret.node == measure) {
        Node* first = next->firstChild();
        caret.node = first ? first : next;
    }
    const bool keep = recording();
    const std::vector<ShapeValue> shapes = keep ? shapeValues() : std::vector<ShapeValue>{};
    const TreePosition at = keep ? positionOf(editTree(), measure) : TreePosition{};
    const int count = measure->childCount();
    const Measure* closing = asMeasure(measure);
    const int barType = closing ? closing->barType : 0;
    if (auto* m = asMeasure(measure))
        m->dropDecorations();
    if (auto* n = asMeasure(next))
        n->dropDecorations();
    moveFront(*measure, measure->childCount(), *next);
    measure->parent()->removeChild(measure);  // deleted here
    const LinearView::Dropped dropped = editTree().dropLooseShapes();
    if (keep) {
        recordDropped(dropped, shapes);
        record(change::MergeMeasure{at.track, at.measure, count, barType});
    }
    view->updateCaretRect();
    return true;
}

namespace {

// Ties and brackets are found by what they join, not by identity: the first equal one.
template <typename Shapes, typename Shape>
auto findEqual(Shapes& shapes, const Shape& shape) {
    return std::find_if(shapes.begin(), shapes.end(),
                        [&](const Shape& s) { return s.sameShape(shape); });
}

// Removes an equal shape; with `toggle`, adds the shape when there was none. Returns +1 for
// an addition, -1 for a removal, 0 when nothing changed.
template <typename Shapes, typename Shape>
int removeEqual(Shapes& shapes, const Shape& shape, bool toggle) {
    const auto it = findEqual(shapes, shape);
    if (it != shapes.end()) {
        shapes.erase(it);
        return -1;
    }
    if (!toggle)
        return 0;
    shapes.push_back(shape);
    return 1;
}

// Puts a shape back at its place in the list (the end, for a place past it).
template <typename Shapes, typename Shape>
void insertAt(Shapes& shapes, int index, const Shape& shape) {
    const auto at = index >= 0 && static_cast<std::size_t>(index) <= shapes.size()
                        ? shapes.begin() + index
                        : shapes.end();
    shapes.insert(at, shape);
}

// Takes the shape at its place in the list; one that is not there is looked for.
template <typename Shapes, typename Shape>
void eraseAt(Shapes& shapes, int index, const Shape& shape) {
    if (index >= 0 && static_cast<std::size_t>(index) < shapes.size() &&
        shapes[static_cast<std::size_t>(index)].sameShape(shape)) {
        shapes.erase(shapes.begin() + index);
        return;
    }
    removeEqual(shapes, shape, false);
}

template <typename Shapes>
Shapes touching(const Shapes& shapes, const Node* node) {
    Shapes found;
    for (const auto& shape : shapes)
        if (shape.from == node || shape.to == node)
            found.push_back(shape);
    return found;
}

}  // namespace

namespace {

template <typename Shape>
ShapeValue valueOf(const LinearView& tree, const Shape& shape, bool arc, std::u16string label,
                   std::ptrdiff_t index) {
    return {arc, positionOf(tree, shape.from), positionOf(tree, shape.to), std::move(label),
            static_cast<int>(index)};
}

// Adds or removes a shape equal to `shape` and records which, with its place in the list.
template <typename Shapes, typename Shape>
void toggleShape(const LinearView& tree, Shapes& shapes, const Shape& shape, bool arc,
                 const std::u16string& label, bool add, const std::function<void(Change)>& record) {
    const auto it = findEqual(shapes, shape);
    if (it != shapes.end()) {
        const std::ptrdiff_t index = it - shapes.begin();
        const ShapeValue value = valueOf(tree, *it, arc, arc ? std::u16string{} : label, index);
        shapes.erase(it);
        record(change::RemoveShape{value});
    } else if (add) {
        shapes.push_back(shape);
        record(change::AddShape{
            valueOf(tree, shape, arc, label, static_cast<std::ptrdiff_t>(shapes.size()) - 1)});
    }
}

}  // namespace

void OperateInterface::toggleArc(const SusArc& arc) {
    toggleShape(editTree(), editTree().arcs, arc, true, {}, true,
                [this](Change c) { record(std::move(c)); });
}
void OperateInterface::removeArc(const SusArc& arc) {
    toggleShape(editTree(), editTree().arcs, arc, true, {}, false,
                [this](Change c) { record(std::move(c)); });
}
std::vector<SusArc> OperateInterface::arcsTouching(const Node* node) const {
    return touching(editTree().arcs, node);
}

void OperateInterface::toggleJumpLine(const JumpLine& jump) {
    // The label of a bracket taken away is the one it had.
    const auto it = findEqual(editTree().jumpLines, jump);
    const std::u16string label = it != editTree().jumpLines.end() ? it->label : jump.label;
    toggleShape(editTree(), editTree().jumpLines, jump, false, label, true,
                [this](Change c) { record(std::move(c)); });
}
void OperateInterface::removeJumpLine(const JumpLine& jump) {
    const auto it = findEqual(editTree().jumpLines, jump);
    if (it == editTree().jumpLines.end())
        return;
    const std::u16string label = it->label;
    toggleShape(editTree(), editTree().jumpLines, jump, false, label, false,
                [this](Change c) { record(std::move(c)); });
}
std::vector<JumpLine> OperateInterface::jumpLinesTouching(const Node* node) const {
    return touching(editTree().jumpLines, node);
}

void OperateInterface::apply(const Change& c) {
    LinearView& tree = editTree();
    const auto find = [&](const TreePosition& p) {
        Node* node = nodeAt(tree, p);
        if (!node)
            throw Exception(kOutOfRange);
        return node;
    };
    const format_track_header* settings = view->document ? &tree.settings : nullptr;
    if (const auto* x = std::get_if<change::InsertElement>(&c)) {
        Node* measure = find({x->at.track, x->at.measure, -1});
        if (x->at.element < 0 || x->at.element > measure->childCount())
            throw Exception(kOutOfRange);
        if (auto* m = asMeasure(measure))
            m->dropDecorations();
        measure->insertChild(x->at.element, x->value.make());
    } else if (const auto* x = std::get_if<change::RemoveElement>(&c)) {
        if (!removeElement(find(x->at)))
            throw Exception(kOutOfRange);
    } else if (const auto* x = std::get_if<change::SplitMeasure>(&c)) {
        Node* measure = find({x->track, x->measure, -1});
        if (x->count < 0 || x->count > measure->childCount())
            throw Exception(kOutOfRange);
        Node* caret = x->count < measure->childCount() ? measure->child(x->count) : measure;
        insertBarLine(caret, std::make_unique<Measure>(settings, x->barType));
    } else if (const auto* x = std::get_if<change::MergeMeasure>(&c)) {
        if (!removeBarLine(find({x->track, x->measure, -1})))
            throw Exception(kOutOfRange);
    } else if (const auto* x = std::get_if<change::AddShape>(&c)) {
        Node* from = find(x->shape.from);
        Node* to = find(x->shape.to);
        if (x->shape.arc)
            insertAt(tree.arcs, x->shape.index, SusArc(settings, from, to));
        else
            insertAt(tree.jumpLines, x->shape.index, JumpLine(x->shape.label, settings, from, to));
    } else if (const auto* x = std::get_if<change::RemoveShape>(&c)) {
        Node* from = find(x->shape.from);
        Node* to = find(x->shape.to);
        if (x->shape.arc)
            eraseAt(tree.arcs, x->shape.index, SusArc(settings, from, to));
        else
            eraseAt(tree.jumpLines, x->shape.index, JumpLine(x->shape.label, settings, from, to));
    } else if (const auto* x = std::get_if<change::SetSyllables>(&c)) {
        auto* e = asElement(find(x->at));
        if (!e)
            throw Exception(kOutOfRange);
        e->syllables = x->after;
        if (auto* m = asMeasure(e->parent()))
            m->invalidate();
    } else if (const auto* x = std::get_if<change::SetHeader>(&c)) {
        if (view->document && x->after)
            view->document->header = *x->after;
    } else if (const auto* x = std::get_if<change::SetFormat>(&c)) {
        if (view->document && x->after)
            view->document->formatSettings() = *x->after;
    }
}

namespace {

// Rebuilds the lyrics tracks: every syllable with the place of its note as just renumbered,
// in reading order, then the records that named no note, as they were read.
void commitLyrics(const LinearView& tree, QanorDoc& doc) {
    // The tracks read keep their chunk tags; only what they hold is written anew.
    std::vector<lyrics_track> tracks = doc.content.lyrics.items;
    tracks.resize(static_cast<std::size_t>(tree.lyricsTracks));
    for (lyrics_track& track : tracks)
        track.content.items.clear();
    const auto trackOf = [&](int verse) -> lyrics_track& {
        if (static_cast<std::size_t>(verse) >= tracks.size())
            tracks.resize(static_cast<std::size_t>(verse) + 1);
        return tracks[static_cast<std::size_t>(verse)];
    };
    for (int t = 0; t < tree.childCount(); ++t) {
        const Node* line = tree.child(t);
        for (int m = 0; m < line->childCount(); ++m) {
            const Measure* measure = asMeasure(line->child(m));
            if (!measure)
                continue;
            measure->forEachElement([&](const NoteElement& e) {
                for (const Syllable& s : e.syllables) {
                    lyrics record = s.record;
                    record.place.placeKind = 1;
                    record.place.trackIndex = e.location.trackIndex;
                    record.place.itemIndex = e.location.itemIndex;
                    trackOf(s.verse).content.items.push_back(std::move(record));
                }
            });
        }
    }
    for (std::size_t v = 0; v < tree.keptLyrics.size(); ++v)
        for (const lyrics& record : tree.keptLyrics[v])
            trackOf(static_cast<int>(v)).content.items.push_back(record);
    doc.content.lyrics.items = std::move(tracks);
}

}  // namespace

void OperateInterface::commitToDocument(LinearView& tree) {
    if (!view->document)
        return;
    QanorDoc& doc = *view->document;
    doc.noteTracks().clear();
    for (int t = 0; t < tree.childCount(); ++t) {
        Node* line = tree.child(t);
        note_track track;
        auto& records = track.content.items;
        int n = 0;
        const auto placed = [&](Node* node, const music::Item& item) {
            records.push_back(music::encode(item));
            node->location = qe::location(1, t, static_cast<std::int16_t>(n));
            ++n;
        };
        for (int m = 0; m < line->childCount(); ++m) {
            Measure* measure = asMeasure(line->child(m));
            if (!measure)
                throw Exception(kWrongKind);
            for (int i = 0; i < measure->childCount(); ++i) {
                NoteElement* e = measure->elementAt(i);
                if (const std::optional<music::Item> item = itemOf(*e)) {
                    placed(e, *item);
                } else {
                    // An accidental shares the index of the digit it stands in front of. One
                    // with no digit after it is not stored at all: it names no place, so a tie
                    // anchored on it cannot be stored either.
                    const Node* digit = storedItemOf(e);
                    e->location =
                        digit ? qe::location(1, t, static_cast<std::int16_t>(n)) : qe::location();
                }
            }
            placed(measure, music::Item::barLine(measure->barType));
        }
        doc.noteTracks().push_back(std::move(track));
    }
    commitLyrics(tree, doc);
    // Locations were renumbered above; the shapes take them now. A shape without both its
    // anchors names nothing and is never written.
    auto& formats = doc.formatRecords();
    formats.clear();
    const auto add = [&](std::uint8_t type, const Shape& shape) {
        if (!shape.from || !shape.to || shape.from->location.placeKind != 1 ||
            shape.to->location.placeKind != 1)
            return;
        Format record;
        record.type = type;
        record.from = shape.from->location;
        record.to = shape.to->location;
        formats.push_back(record);
    };
    for (const SusArc& arc : tree.arcs)
        add(Format::kArc, arc);
    for (const JumpLine& jump : tree.jumpLines)
        add(Format::kJumpLine, jump);
}

}  // namespace qe
