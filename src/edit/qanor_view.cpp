#include "edit/qanor_view.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "draw/note_element.h"
#include "draw/shape_walk.h"
#include "edit/operate_interface.h"
#include "layout/item_elements.h"
#include "layout/measure.h"
#include "model/exception.h"
#include "model/qanor_doc.h"

namespace qe {

const char16_t* const QanorView::kOverflowWarning =
    u"单个小节不能换行，当前小节已无法再添加内容。\r\n如果是散板，请使用虚小节线或隐藏小节线。";
const char16_t* const QanorView::kWarningCaption = u"警告";

QanorView::QanorView(ViewHost* host) : window(host) {
    input.view = this;
}

void QanorView::attachDocument(QanorDoc* doc) {
    document = doc;
    if (mode == kScrollMode) {
        linearView.document = doc;
        linearView.build();
    } else {
        pageView.build(doc);
    }
    resetCaret();
}

void QanorView::setMode(int newMode) {
    if (newMode != kScrollMode && newMode != kPageMode)
        return;
    operations->commitToDocument(editTree());
    // Everything the commit does not keep goes: caret place and selection.
    caret = Caret{};
    linearView.clearChildren();
    pageView.clearChildren();
    mode = newMode;
    if (document)
        attachDocument(document);
}

void QanorView::rebuildFromDocument() {
    if (!document)
        return;
    const Node* at = caret.valid() ? caret.node.get() : nullptr;
    const qe::location place = at ? at->location : qe::location();
    const bool atMeasure = at && at->kind == kMeasure;
    caret = Caret{};
    linearView.clearChildren();
    pageView.clearChildren();
    attachDocument(document);
    if (place.placeKind != 1 || place.trackIndex < 0 || place.trackIndex >= editTree().childCount())
        return;
    Node* found = editTree().findNode(place);
    // A measure is found by its bar line's record; an element by its own. A record that now
    // stands for a node of the other kind means the score moved under the caret: start over.
    if (found && (found->kind == kMeasure) == atMeasure && isPosition(found)) {
        caret.node = found;
        caret.placed = true;
        updateCaretRect();
    }
}

void QanorView::caretLeft() {
    Node* node = caret.node;
    if (!caret.valid())
        return;
    if (node->kind == kMeasure) {
        if (Node* last = node->lastChild())
            caret.node = last;
        else if (Node* previous = node->previousSibling())
            caret.node = previous;
    } else {
        if (!node->parent())
            throw Exception(kMismatch);
        if (Node* previous = node->previousSibling())
            caret.node = previous;
        else if (Node* previousMeasure = node->parent()->previousSibling())
            caret.node = previousMeasure;  // the end of the previous measure, before its bar line
    }
    updateCaretRect();
}

void QanorView::caretRight() {
    Node* node = caret.node;
    if (!caret.valid())
        return;
    if (node->kind == kMeasure) {
        if (Node* next = node->nextSibling()) {
            Node* first = next->firstChild();
            caret.node = first ? first : next;
        }
    } else {
        Node* next = node->nextSibling();
        caret.node = next ? next : node->parent();
    }
    updateCaretRect();
}

void QanorView::placeSystemCaret() {
    if (!window)
        return;
    if (!caret.valid()) {
        window->hideCaret();
        return;
    }
    window->placeCaret({caret.left, caret.top, caret.right, caret.bottom});
}

void QanorView::relayout() {
    if (!document || !window)
        return;
    {
        std::unique_ptr<BaseGDI> g = window->layoutSurface();
        if (mode == kScrollMode)
            linearView.relayout(*g);
        else
            pageView.rebuild(*g);
    }
    updateCaretRect();
    placeSystemCaret();
}

void QanorView::paintAll(BaseGDI& g) {
    try {
        currentRoot().paint(g);
    } catch (const Exception&) {
        // A drawing that fails is abandoned; the next repaint tries again.
    }
}

void QanorView::paintPage(BaseGDI& g, int page) {
    if (page < 0 || page >= pageView.childCount())
        return;
    try {
        pageView.paintPage(page, g);
    } catch (const Exception&) {
    }
}

std::u16string QanorView::accidentalText(int accidental) {
    static const char16_t* const kTexts[] = {u"正常", u"升号", u"倍升", u"降号", u"倍降", u"还原"};
    if (accidental >= 0 && accidental <= 5)
        return kTexts[accidental];
    const std::string number = std::to_string(accidental);
    return std::u16string(number.begin(), number.end());
}

std::u16string QanorView::octaveText(int octave) {
    static const char16_t* const kTexts[] = {u"极低", u"超低", u"低音", u"中音",
                                             u"高音", u"超高", u"极高"};
    if (octave >= -3 && octave <= 3)
        return kTexts[octave + 3];
    const std::string number = std::to_string(octave);
    return std::u16string(number.begin(), number.end());
}

std::u16string QanorView::durationText(int duration) {
    const auto value = static_cast<long>(4.0 * std::pow(2.0, duration));
    const std::string number = std::to_string(value);
    return std::u16string(number.begin(), number.end()) + u"分音";
}

QanorView::Action::Action(QanorView& view) : view_(view) {
    if (view_.history)
        view_.history->begin(view_.editState());
}

QanorView::Action::~Action() {
    if (view_.history)
        view_.history->end(view_.editState());
}

EditState QanorView::editState() const {
    EditState state;
    if (caret.valid()) {
        const TreePosition at = positionOf(const_cast<QanorView*>(this)->editTree(), caret.node);
        if (at.valid())
            state.caret = at;
    }
    state.accidental = input.accidental;
    state.octave = input.octave;
    state.duration = input.duration;
    return state;
}

void QanorView::restoreEditState(const EditState& state) {
    caret.selectionAnchor = nullptr;
    caret.selectionEnd = nullptr;
    caret.selectionShown = false;
    Node* node = state.caret ? nodeAt(editTree(), *state.caret) : nullptr;
    caret.node = node;
    caret.placed = node != nullptr;
    if (node)
        updateCaretRect();
    input.accidental = state.accidental;
    input.octave = state.octave;
    input.duration = state.duration;
}

namespace {

// Replays a step's changes forwards (redo) or its inverses backwards (undo).
void replay(OperateInterface& ops, History& history, const EditStep& step, bool forwards) {
    History::ReplayGuard guard(history);
    if (forwards) {
        for (const Change& c : step.changes)
            ops.apply(c);
    } else {
        for (auto it = step.changes.rbegin(); it != step.changes.rend(); ++it)
            ops.apply(inverseOf(*it));
    }
}

}  // namespace

bool QanorView::undo() {
    if (!history || !history->canUndo())
        return false;
    if (caret.selectionShown)
        invertSelection(false);
    const EditStep& step = *history->nextUndo();
    replay(*operations, *history, step, false);
    history->undone();
    restoreEditState(step.before);
    afterReplay();
    return true;
}

bool QanorView::redo() {
    if (!history || !history->canRedo())
        return false;
    if (caret.selectionShown)
        invertSelection(false);
    const EditStep& step = *history->nextRedo();
    replay(*operations, *history, step, true);
    history->redone();
    restoreEditState(step.after);
    afterReplay();
    return true;
}

void QanorView::afterReplay() {
    try {
        if (window)
            window->updateAllViews();
    } catch (const Exception& e) {
        if (e.code == kLayoutOverflow && window)
            window->warn(kOverflowWarning, kWarningCaption);
    }
    updateCaretRect();
    placeSystemCaret();
    if (window)
        window->setStatusTexts(accidentalText(input.accidental), octaveText(input.octave),
                               durationText(input.duration));
}

void QanorView::changeHeader(const doc_header& header) {
    if (!document)
        return;
    {
        Action action(*this);
        auto before = std::make_shared<const doc_header>(document->header);
        auto after = std::make_shared<const doc_header>(header);
        document->header = header;
        if (history)
            history->record(change::SetHeader{std::move(before), std::move(after)});
    }
    afterReplay();
}

void QanorView::changeFormat(const format_track_header& format) {
    if (!document)
        return;
    {
        Action action(*this);
        auto before = std::make_shared<const format_track_header>(document->formatSettings());
        auto after = std::make_shared<const format_track_header>(format);
        document->formatSettings() = format;
        if (history)
            history->record(change::SetFormat{std::move(before), std::move(after)});
    }
    afterReplay();
}

void QanorView::onChar(char32_t ch) {
    if (!caret.valid())
        return;
    if (caret.selectionShown)
        invertSelection(false);
    Action action(*this);
    try {
        if (input.onChar(ch) && window)
            window->updateAllViews();
        if (window)
            window->setStatusTexts(accidentalText(input.accidental), octaveText(input.octave),
                                   durationText(input.duration));
    } catch (const Exception& e) {
        if (e.code == kLayoutOverflow && window)
            window->warn(kOverflowWarning, kWarningCaption);
    }
}

Node* QanorView::hit(Point p) {
    return currentRoot().hitTest(p);
}

void QanorView::beginSelection(Point p) {
    caret.dragging = false;
    if (caret.selectionShown)
        invertSelection(false);
    caret.selectionAnchor = hit(p);
    caret.dragging = true;
    if (window)
        window->captureMouse(true);
}

void QanorView::extendSelection(Point p) {
    Node* node = hit(p);
    if (!isPosition(node))
        return;
    if (caret.selectionShown)
        invertSelection(false);
    caret.selectionEnd = node;
    caret.selectionShown = false;
    invertSelection(true);
}

void QanorView::endSelection(Point p) {
    if (window)
        window->captureMouse(false);
    Node* node = hit(p);
    if (isPosition(node)) {
        if (caret.selectionShown)
            invertSelection(false);
        caret.selectionEnd = node;
        caret.selectionShown = false;
        caret.dragging = false;
        invertSelection(true);
    } else {
        caret.dragging = false;
    }
}

void QanorView::moveCaretTo(Point p) {
    Node* node = hit(p);
    if (isPosition(node)) {
        caret.placed = true;
        caret.node = node;
        updateCaretRect();
    } else {
        caret.placed = false;
    }
}

bool QanorView::textCursorAt(Point p) {
    if (mode != kScrollMode && mode != kPageMode)
        return false;
    return isPosition(hit(p));
}

void QanorView::invertSelection(bool on) {
    if (on == caret.selectionShown)
        return;
    if (!isPosition(caret.selectionAnchor) || !isPosition(caret.selectionEnd)) {
        caret.selectionShown = false;
        return;
    }
    const std::vector<Rect> region = selectionRegion();
    if (window)
        window->invertRegion(region);
    caret.selectionShown = on;
}

std::pair<Node*, Node*> QanorView::orderedSelection() {
    if (!isPosition(caret.selectionAnchor) || !isPosition(caret.selectionEnd))
        throw Exception(kMismatch);
    return orderPositions(caret.selectionAnchor, caret.selectionEnd);
}

std::vector<Node*> QanorView::selectedPositions() {
    std::vector<Node*> positions;
    if (!isPosition(caret.selectionAnchor) || !isPosition(caret.selectionEnd))
        return positions;
    const auto [first, last] = orderPositions(caret.selectionAnchor, caret.selectionEnd);
    const auto lineOf = [](const Node* p) {
        const Node* measure = p->kind == kMeasure ? p : p->parent();
        return measure ? measure->parent() : nullptr;
    };
    if (!lineOf(first) || lineOf(first) != lineOf(last))
        return positions;
    for (Node* p = first; p && p != last;) {
        positions.push_back(p);
        if (p->kind == kNoteElement) {
            Node* next = p->nextSibling();
            p = next ? next : p->parent();
        } else {
            Node* next = p->nextSibling();
            p = next && next->firstChild() ? next->firstChild() : next;
        }
    }
    return positions;
}

Fragment QanorView::copySelection() {
    Fragment fragment;
    std::unordered_map<const Node*, int> indexOfItem;
    std::vector<const Measure*> measures;  // whose bar lines are copied
    const std::vector<Node*> positions = selectedPositions();
    for (Node* p : positions) {
        if (const Measure* m = asMeasure(p)) {
            indexOfItem[m] = static_cast<int>(fragment.items.size());
            fragment.items.push_back(music::Item::barLine(m->barType));
            measures.push_back(m);
        } else if (const NoteElement* e = asElement(p)) {
            // An accidental is copied with its digit, which follows it.
            if (std::optional<music::Item> item = itemOf(*e)) {
                indexOfItem[e] = static_cast<int>(fragment.items.size());
                fragment.items.push_back(*item);
            }
        }
    }
    const auto indexOf = [&](const Node* node) {
        const auto it = indexOfItem.find(node);
        return it == indexOfItem.end() ? -1 : it->second;
    };
    for (const SusArc& arc : editTree().arcs) {
        const int from = indexOf(storedItemOf(arc.from));
        const int to = indexOf(storedItemOf(arc.to));
        if (from >= 0 && to > from)
            fragment.shapes.push_back({true, from, to, {}});
    }
    // A bracket is inside when its first measure begins in the selection.
    const std::unordered_set<const Node*> selected(positions.begin(), positions.end());
    const auto begins = [&](const Node* measure) {
        const Node* first = measure->firstChild();
        return selected.count(first ? first : measure) > 0;
    };
    for (const JumpLine& jump : editTree().jumpLines) {
        const int from = indexOf(jump.from);
        const int to = indexOf(jump.to);
        if (from >= 0 && to >= from && begins(jump.from))
            fragment.shapes.push_back({false, from, to, jump.label});
    }
    return fragment;
}

Fragment QanorView::cutSelection() {
    Fragment fragment = copySelection();
    const std::vector<Node*> positions = selectedPositions();
    if (fragment.empty() || positions.empty())
        return fragment;
    if (caret.selectionShown)
        invertSelection(false);
    const auto [first, last] = orderPositions(caret.selectionAnchor, caret.selectionEnd);
    {
        Action action(*this);
        caret.node = last;
        caret.placed = true;
        // Backwards, so that every position deleted still stands where it was found; nodes
        // only move between measures when a bar line goes. Held through anchors: a deletion
        // may take a node further down the list with it (an accidental left alone).
        const std::vector<Anchor> held(positions.begin(), positions.end());
        for (auto it = held.rbegin(); it != held.rend(); ++it) {
            Node* node = it->get();
            if (!node)
                continue;
            if (node->kind == kMeasure)
                operations->removeBarLine(node);
            else
                operations->removeElement(node);
        }
        caret.selectionAnchor = nullptr;
        caret.selectionEnd = nullptr;
    }
    updateAfterEdit();
    return fragment;
}

bool QanorView::paste(const Fragment& fragment) {
    if (!caret.valid() || fragment.empty())
        return false;
    if (caret.selectionShown)
        invertSelection(false);
    {
        Action action(*this);
        const format_track_header* settings = document ? &editTree().settings : nullptr;
        std::vector<Node*> made(fragment.items.size(), nullptr);
        for (std::size_t i = 0; i < fragment.items.size(); ++i) {
            const music::Item& item = fragment.items[i];
            Node* at = caret.node;
            if (item.isBarLine()) {
                auto measure = std::make_unique<Measure>(settings, item.barType);
                made[i] = measure.get();
                operations->insertBarLine(at, std::move(measure));
                continue;
            }
            std::vector<std::unique_ptr<NoteElement>> elements = elementsOf(item);
            if (!elements.empty())
                made[i] = elements.back().get();
            operations->insertItem(std::move(elements), at);
        }
        for (const Fragment::Shape& s : fragment.shapes) {
            const auto node = [&](int i) {
                return i >= 0 && static_cast<std::size_t>(i) < made.size()
                           ? made[static_cast<std::size_t>(i)]
                           : nullptr;
            };
            Node* from = node(s.from);
            Node* to = node(s.to);
            if (s.arc && elementsInOrder(from, to))
                operations->toggleArc(SusArc(settings, from, to));
            else if (!s.arc && measuresInOrder(from, to))
                operations->toggleJumpLine(JumpLine(s.label, settings, from, to));
        }
    }
    updateAfterEdit();
    return true;
}

int QanorView::layLyrics(int track, int verse, int fromMeasure,
                         const std::vector<std::u16string>& syllables) {
    LinearView& tree = editTree();
    if (track < 0 || track >= tree.childCount() || verse < 0 || fromMeasure < 0)
        return static_cast<int>(syllables.size());
    Node* line = tree.child(track);
    std::unordered_set<const Node*> tiedFrom;  // notes a tie comes into
    for (const SusArc& arc : tree.arcs)
        tiedFrom.insert(arc.to.get());
    std::size_t next = 0;
    {
        Action action(*this);
        for (int m = fromMeasure; m < line->childCount(); ++m) {
            Measure* measure = asMeasure(line->child(m));
            if (!measure)
                continue;
            for (int i = 0; i < measure->childCount(); ++i) {
                NoteElement& e = *measure->elementAt(i);
                std::vector<Syllable> kept;
                for (const Syllable& s : e.syllables)
                    if (s.verse != verse)
                        kept.push_back(s);
                const bool takes =
                    e.elementKind == kDigitElement && e.degree != 0 && !tiedFrom.count(&e);
                if (takes && next < syllables.size()) {
                    const std::u16string& text = syllables[next++];
                    if (!text.empty()) {
                        Syllable s;
                        s.verse = verse;
                        s.record.text = text;
                        s.record.place = qe::location(1, track, 0);
                        // Kept in verse order, as a save writes them.
                        const auto at =
                            std::find_if(kept.begin(), kept.end(),
                                         [&](const Syllable& k) { return k.verse > verse; });
                        kept.insert(at, std::move(s));
                    }
                }
                operations->setSyllables(e, std::move(kept));
            }
        }
    }
    updateAfterEdit();
    return static_cast<int>(syllables.size() - next);
}

void QanorView::updateAfterEdit() {
    try {
        if (window)
            window->updateAllViews();
    } catch (const Exception& e) {
        if (e.code == kLayoutOverflow && window)
            window->warn(kOverflowWarning, kWarningCaption);
    }
}

void QanorView::addTie() {
    if (!caret.selectionShown || caret.selectionAnchor == caret.selectionEnd)
        return;
    const auto [firstPosition, last] = orderedSelection();
    Node* before = last->kind == kNoteElement ? last->previousSibling() : last->lastChild();
    // A tie rests on the notes themselves, not on an accidental in front of one.
    Node* first = const_cast<Node*>(storedItemOf(firstPosition));
    before = const_cast<Node*>(storedItemOf(before));
    if (!first || !before || first->kind != kNoteElement || before->kind != kNoteElement)
        return;
    // A note's sharp and the note are one stored item: a tie between them joins nothing.
    if (first == before)
        return;
    // A selection can run from one track to another; a tie there could never be walked.
    if (!elementsInOrder(first, before))
        return;
    Action action(*this);
    operations->toggleArc(SusArc(document ? &editTree().settings : nullptr, first, before));
}

void QanorView::addJumpLine(const std::u16string& label) {
    if (!caret.selectionShown || caret.selectionAnchor == caret.selectionEnd)
        return;
    const auto [first, last] = orderedSelection();
    Node* end = nullptr;
    if (last->kind == kNoteElement) {
        Node* previous = last->previousSibling();
        end = previous ? previous->parent()
                       : (last->parent() ? last->parent()->previousSibling() : nullptr);
    } else {
        end = last;
    }
    Node* start = first->kind == kMeasure ? first : first->parent();
    if (!asMeasure(start) || !asMeasure(end))
        return;
    // Both ends in one track line, in order: otherwise the bracket could never be walked.
    if (!measuresInOrder(start, end))
        return;
    {
        Action action(*this);
        operations->toggleJumpLine(
            JumpLine(label, document ? &editTree().settings : nullptr, start, end));
    }
    relayout();
}

}  // namespace qe
