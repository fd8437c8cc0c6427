#pragma once

#include <string>

#include "edit/input_method.h"
#include "edit/qeview.h"
#include "edit/view_host.h"

namespace qe {

// The view controller a window hosts: the trees, caret and selection of `qeview`, with the
// keyboard input method and the link to the window.
class QanorView : public qeview {
public:
    static const char16_t* const kOverflowWarning;
    static const char16_t* const kWarningCaption;

    explicit QanorView(ViewHost* window);

    void attachDocument(QanorDoc* doc);
    // Writes the edit tree back, rebuilds both trees in the other mode; caret and selection
    // are lost.
    void setMode(int newMode);
    void caretLeft();
    void caretRight();
    void placeSystemCaret();
    // Lays the current tree out again: the strip in scroll mode, the pages in page mode.
    void relayout();
    // Paints the current root; a failure abandons the drawing.
    void paintAll(BaseGDI& g);
    // Paints page `page` on a surface whose origin and clip are the page's place; nothing for
    // a page that does not exist.
    void paintPage(BaseGDI& g, int page);
    // One typed character; shows the layout warning when the score no longer fits its lines.
    void onChar(char32_t ch);

    void beginSelection(Point p);
    void extendSelection(Point p);
    void endSelection(Point p);
    void moveCaretTo(Point p);
    // Whether the pointer over `p` should be an I-beam (over a caret position) or an arrow.
    bool textCursorAt(Point p);
    void invertSelection(bool on);
    void addTie();
    void addJumpLine(const std::u16string& label);

    // The status texts for the input state.
    static std::u16string accidentalText(int accidental);
    static std::u16string octaveText(int octave);
    static std::u16string durationText(int duration);

    ViewHost* window;  // not owned
    InputMethod input;

private:
    Node* hit(Point p);
    // The selection's two ends when both are caret positions, or throws kMismatch.
    std::pair<Node*, Node*> orderedSelection();
};

}  // namespace qe
