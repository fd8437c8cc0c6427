#pragma once

#include <string>

#include "edit/fragment.h"
#include "edit/history.h"
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
    // Builds both trees again from the document, which another view on it has changed: what
    // this view had not written back is dropped. The caret stays at the place of the same
    // record when there still is one, else goes to the start; the selection goes.
    void rebuildFromDocument();
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

    // The selection as a fragment of its track: its items with the ties and brackets wholly
    // inside it. Empty when nothing is selected or the selection runs from one track into
    // another.
    Fragment copySelection();
    // Copies the selection, then deletes it as Backspace would, as one step.
    Fragment cutSelection();
    // Inserts a fragment at the caret as if it were typed there, bar lines splitting measures,
    // with its ties and brackets on the pasted notes; one step. False when there is no caret
    // or nothing to paste.
    bool paste(const Fragment& fragment);

    // Lays syllables on the notes of track `track` as verse `verse`, from measure
    // `fromMeasure` on (all 0-based), replacing that verse's syllables there, as one step. A
    // syllable goes on each digit in turn: rests, dashes, dots, marks and bar lines take none,
    // nor does a note tied from the note before it; an empty syllable leaves one note
    // without. Returns how many syllables found no note.
    int layLyrics(int track, int verse, int fromMeasure,
                  const std::vector<std::u16string>& syllables);

    // Undoes or redoes one step of the document's history in this view's tree, gives the
    // caret and the input state back as they were, and updates every view. False when there
    // is nothing to undo or redo.
    bool undo();
    bool redo();
    // Replaces the title block or the format settings as one undoable step.
    void changeHeader(const doc_header& header);
    void changeFormat(const format_track_header& format);

    // The caret's place and the input state, as a step keeps them.
    EditState editState() const;
    void restoreEditState(const EditState& state);

    // Holds an action open in the document's history: what it changes is one step.
    class Action {
    public:
        explicit Action(QanorView& view);
        ~Action();
        Action(const Action&) = delete;
        Action& operator=(const Action&) = delete;

    private:
        QanorView& view_;
    };

    // The status texts for the input state.
    static std::u16string accidentalText(int accidental);
    static std::u16string octaveText(int octave);
    static std::u16string durationText(int duration);

    ViewHost* window;  // not owned
    InputMethod input;

private:
    // After an undo, a redo or a settings change: every view lays out again, the caret shows
    // and the status texts follow the input state.
    void afterReplay();
    Node* hit(Point p);
    // The selection's two ends when both are caret positions, or throws kMismatch.
    std::pair<Node*, Node*> orderedSelection();
    // The positions the selection covers, in order, when it lies in one track line.
    std::vector<Node*> selectedPositions();
    // Lays every view out again after an edit, with the overflow warning when a measure no
    // longer fits.
    void updateAfterEdit();
};

}  // namespace qe
