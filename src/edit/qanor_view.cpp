#include "edit/qanor_view.h"

#include <cmath>
#include <string>

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

void QanorView::onChar(char32_t ch) {
    if (!caret.valid())
        return;
    if (caret.selectionShown)
        invertSelection(false);
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

void QanorView::addTie() {
    if (!caret.selectionShown || caret.selectionAnchor == caret.selectionEnd)
        return;
    const auto [first, last] = orderedSelection();
    Node* before = last->kind == kNoteElement ? last->previousSibling() : last->lastChild();
    if (!before || before == first || first->kind != kNoteElement || before->kind != kNoteElement)
        return;
    // A note's sharp and the note are one stored item: a tie between them joins nothing.
    if (storedItemOf(first) == storedItemOf(before))
        return;
    // A selection can run from one track to another; a tie there could never be walked.
    if (!elementsInOrder(first, before))
        return;
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
    operations->toggleJumpLine(
        JumpLine(label, document ? &editTree().settings : nullptr, start, end));
    relayout();
}

}  // namespace qe
