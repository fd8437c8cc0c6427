#pragma once

#include <memory>
#include <vector>

#include "layout/linear_view.h"
#include "layout/page_view.h"

namespace qe {

class History;
class OperateInterface;
class QanorDoc;

// The caret and the mouse selection of a view. They hold their nodes through anchors: a
// node that an edit deletes leaves the caret invalid and the selection end empty, never
// dangling.
struct Caret {
    // Typed characters are ignored and the caret hidden unless it was placed and its node
    // still exists.
    bool valid() const { return placed && node; }

    bool placed = false;
    bool dragging = false;        // the left button is down in the view
    bool selectionShown = false;  // the highlight is inverted on the screen
    Anchor selectionAnchor;
    Anchor selectionEnd;
    int left = 0;  // caret rectangle, absolute layout coordinates
    int top = 0;
    int right = 0;
    int bottom = 0;
    Anchor node;  // an element (caret before it) or a measure (caret at its end)
};

// The window-independent part of a view on a score: the two layout trees, the caret and the
// selection, and the editing operations.
class qeview {
public:
    enum Mode : int { kScrollMode = 0, kPageMode = 1 };

    qeview();
    virtual ~qeview();
    qeview(const qeview&) = delete;
    qeview& operator=(const qeview&) = delete;

    // The tree edits go to: the scroll-mode root, or the one the page view holds.
    LinearView& editTree() { return mode == kScrollMode ? linearView : pageView.linear; }
    // The tree shown, painted and hit-tested.
    Node& currentRoot() { return mode == kScrollMode ? static_cast<Node&>(linearView) : pageView; }

    void resetCaret();
    void updateCaretRect();
    // Position rectangle of an element or measure, in the current root's frame.
    Rect positionRect(const Node* node) const;
    // (first, last) in reading order; throws kOutOfRange for anything but elements and measures.
    std::pair<Node*, Node*> orderPositions(Node* a, Node* b) const;
    // The rectangles of the selection, from the first position up to the last one.
    std::vector<Rect> selectionRegion() const;

    int mode = kPageMode;
    QanorDoc* document = nullptr;  // not owned
    History* history = nullptr;    // the document's, shared by its views; not owned
    LinearView linearView;
    PageView pageView;
    std::unique_ptr<OperateInterface> operations;
    Caret caret;
};

// Caret positions are elements and measures.
inline bool isPosition(const Node* node) {
    return node && (node->kind == kNoteElement || node->kind == kMeasure);
}

}  // namespace qe
