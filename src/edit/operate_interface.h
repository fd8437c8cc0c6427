#pragma once

#include <memory>
#include <vector>

#include "draw/jump_line.h"
#include "draw/sus_arc.h"
#include "edit/history.h"
#include "layout/linear_view.h"

namespace qe {

class LinearView;
class Measure;
class Node;
class NoteElement;
class qeview;

// Every change to a score: made on the edit tree of a view controller, never on the
// document's records, which `commitToDocument` rebuilds from the tree when the document is
// saved or the view mode switches.
class OperateInterface {
public:
    explicit OperateInterface(qeview* view) : view(view) {}
    virtual ~OperateInterface() = default;

    // Inserts in front of the caret: before an element, or at the end of a measure. The caret
    // stays where it was, behind the new element, so repeated inserts keep typed order.
    void insertAtCaret(std::unique_ptr<Node> element, Node* caret);
    // Inserts the elements of one item (an accidental and its digit, or a mark) in front of
    // the caret.
    void insertItem(std::vector<std::unique_ptr<NoteElement>> elements, Node* caret);
    // Splits the caret's measure: the new measure takes what stood before the caret and closes
    // it with its bar line; the caret's measure keeps its own bar line and the rest.
    void insertBarLine(Node* caret, std::unique_ptr<Measure> measure);
    // Deletes one element and the ties on it.
    bool removeElement(Node* element);
    // Removes a measure's bar line: the measure merges into the next one, whose bar line
    // closes the merged measure. The brackets at the removed measure go; false when there is
    // no next measure to merge into.
    bool removeBarLine(Node* measure);

    // Gives a note its syllables, all verses at once.
    void setSyllables(NoteElement& note, std::vector<Syllable> syllables);

    void toggleArc(const SusArc& arc);
    void removeArc(const SusArc& arc);
    std::vector<SusArc> arcsTouching(const Node* node) const;
    void toggleJumpLine(const JumpLine& jump);
    void removeJumpLine(const JumpLine& jump);
    std::vector<JumpLine> jumpLinesTouching(const Node* node) const;

    // Rebuilds the document's note tracks and format records from the tree, renumbering the
    // location of every element and measure as it goes.
    void commitToDocument(LinearView& tree);

    // Makes one recorded change on the edit tree (or the document, for its settings): how an
    // undo or redo replays a step. A change that names a place the tree does not have throws
    // kOutOfRange.
    void apply(const Change& change);

    qeview* view;  // not owned

private:
    LinearView& editTree() const;
    // Records a change when the view's history has an action open.
    bool recording() const;
    void record(Change change);
    // The ties and brackets as positions, taken before an edit that may cut some loose.
    std::vector<ShapeValue> shapeValues() const;
    // An accidental left without a digit right after it is not stored, so the edit that
    // leaves it so takes it away too: the tree always shows what a save keeps.
    void dropIfLone(Node* element);
    // Records the shapes an edit cut loose, from their positions before it.
    void recordDropped(const LinearView::Dropped& dropped, const std::vector<ShapeValue>& before);
};

}  // namespace qe
