#pragma once

#include <optional>

#include "base/exception.h"
#include <string>
#include <utility>
#include <vector>

#include "edit/commands.h"
#include "edit/edit_result.h"
#include "edit/fragment.h"
#include "edit/input_method.h"
#include "edit/layout_places.h"
#include "edit/note_commands.h"
#include "edit/position.h"
#include "edit/score_history.h"
#include "edit/score_session.h"
#include "edit/view_host.h"

namespace qe {

// The caret and the mouse selection of an editor, as places in the score.
struct Caret {
    // Typed characters are ignored and the caret hidden unless it was placed.
    bool valid() const { return placed && at.has_value(); }

    bool placed = false;
    std::optional<Position> at;
    bool dragging = false;        // the left button is down in the view
    bool selectionShown = false;  // the highlight is shown
    // Where a drag began, when it began on an item: a drag back from there includes the item.
    std::optional<Position> dragStart;
    // The ends of the selection: the caret positions the drag began and ended at; none when
    // the mouse was not over one.
    std::optional<Position> selectionAnchor;
    std::optional<Position> selectionEnd;
    // The caret rectangle in the current root's coordinates.
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// What one window does with a score: shows it in one mode through the session's layout, keeps
// a caret and a selection in it, turns typed keys into commands on the score, and undoes them.
// It changes the score only through the commands, recorded in the session's history; the
// layout follows the score, and every view repaints from it.
class ScoreEditor {
public:
    enum Mode : int { kScrollMode = ScoreLayout::kScrollMode, kPageMode = ScoreLayout::kPageMode };

    static const char16_t* const kOverflowWarning;
    static const char16_t* const kWarningCaption;

    explicit ScoreEditor(ViewHost* window);

    // Shows a session's score, the caret at its start.
    void attach(ScoreSession* session);
    ScoreSession* session() const { return session_; }
    music::Score& score() { return session_->score; }
    const music::Score& score() const { return session_->score; }
    ScoreHistory* history() const { return session_ ? &session_->history : nullptr; }

    int mode() const { return mode_; }
    // Shows the score in the other mode; the caret goes to the start and the selection goes.
    void setMode(int mode);
    ScoreLayout& layout() const { return session_->layout(mode_); }
    // The root painted and hit-tested.
    Node& currentRoot() const { return layout().root(); }

    // Lays out what changed and places the caret again. Throws Exception kLayoutOverflow when a
    // measure no longer fits its line.
    void relayout();
    // The error code of the layout that followed the last edit, 0 when it laid out. A score
    // too wide for its lines is also told to the window as a warning.
    int layoutError() const { return layoutError_; }
    // The score was changed from another view: the caret stays where it is when it still names
    // a place of the score, else it goes to the nearest one; the selection goes.
    void scoreChangedElsewhere();

    void caretLeft();
    void caretRight();

    // Where the caret keys take it (see CaretMove); a page is `pageHeight` logical units.
    using Move = CaretMove;
    // Moves the caret. With `extend` the selection runs from where the caret stood (or from
    // the end of the selection shown) to where it goes, as a drag would; without, the
    // selection goes. Up and down stay in the caret's track while extending.
    void moveCaret(Move move, bool extend, int pageHeight = 0);
    // Where a move would take the caret; the caret itself when there is none.
    std::optional<Position> target(Move move, bool sameTrack, int pageHeight = 0) const;
    // A shift-click: the selection runs from the caret to the place clicked, where the caret goes.
    void extendSelectionTo(Point p);
    // Selects the caret's whole track (the first track without a caret).
    void selectAll();
    // Deletes the selection as one step.
    EditResult deleteSelection();
    void placeSystemCaret();
    void resetCaret();
    void setCaret(const Position& at);
    void updateCaretRect();

    // Paints the current root; a failure abandons the drawing.
    void paintAll(Surface& g) const;
    // Paints page `page` with its top-left corner at the surface's origin; nothing for a page
    // that does not exist.
    void paintPage(Surface& g, int page) const;

    // One typed character; shows the layout warning when the score no longer fits its lines.
    void onChar(char32_t ch);

    void beginSelection(Point p);
    void extendSelection(Point p);
    void endSelection(Point p);
    void moveCaretTo(Point p);
    // Whether the pointer over `p` should be an I-beam (over a caret position) or an arrow.
    bool textCursorAt(Point p) const;
    void invertSelection(bool on);
    // Whether a selection of more than one place is shown.
    bool hasSelection() const;
    // The commands that change what notes carry (ties, volta brackets, tuplets, marks, chord
    // tones, grace notes, chord symbols), each a step of this editor's history.
    NoteCommands& notes() { return notes_; }

    // The selection as a fragment of its track, into `fragment`; refused when nothing is
    // selected or it runs from one track into another. Cut deletes it as one step; refused,
    // the score stands as it was.
    EditResult copySelection(Fragment& fragment) const;
    EditResult cutSelection(Fragment& fragment);
    // Types a fragment at the caret as one step; refused when there is no caret, nothing to
    // paste, or the score cannot take it there (it then stands as it was).
    EditResult paste(const Fragment& fragment);
    // Lays syllables as verse `verse` of track `track` from measure `fromMeasure` on (all from
    // 0), as one step; returns how many found no note.
    int layLyrics(int track, int verse, int fromMeasure,
                  const std::vector<std::u16string>& syllables);

    // Undoes or redoes one step of the history, gives the caret and the input state back as
    // they were, and updates every view. False when there is nothing to undo or redo.
    bool undo();
    bool redo();
    // Replaces the title block or the format settings as one undoable step.
    void changeHeader(const doc_header& header);
    void changeFormat(const format_track_header& format);

    EditState editState() const;
    void restoreEditState(const EditState& state);

    // Holds an action open in the history: what it changes is one step.
    class Action {
    public:
        explicit Action(ScoreEditor& editor);
        ~Action();
        Action(const Action&) = delete;
        Action& operator=(const Action&) = delete;

    private:
        ScoreEditor& editor_;
        int exceptions_;  // uncaught when the action began
    };

    // Runs an edit as one action, then lays out what it changed. False when the score refused
    // the edit (it threw): it stands as it was.
    template <typename Edit>
    bool perform(Edit edit);

    // Makes changes on the score, recorded in the open action.
    Edits edits() { return Edits(session_->score, &session_->history); }

    // The node that shows a position in the layout (an element, or the measure for its end),
    // and the position a node of the layout stands for; null or nothing when there is none.
    Node* nodeOf(const Position& at) const;
    std::optional<Position> positionOf(const Node* node) const;
    // The rectangle of a position in the current root: the element's box, or the bar line's.
    Rect positionRect(const Position& at) const;
    // The two positions in the order they are read on the page.
    std::pair<Position, Position> orderPositions(const Position& a, const Position& b) const;
    // The rectangles of the selection, from its first position up to its last.
    std::vector<Rect> selectionRegion() const;
    // The selection's two ends in order; nothing unless both are positions of one track.
    std::optional<Selection> selection() const;


    ViewHost* window;  // not owned
    InputMethod input;
    Caret caret;

private:
    // After an undo, a redo or a settings change: every view lays out again, the caret shows
    // and the status texts follow the input state.
    void afterReplay();
    // Lays every view out again after an edit, with the overflow warning when a measure no
    // longer fits.
    void updateAfterEdit();
    // The places of the score in the current root of its layout.
    LayoutPlaces places() const;
    std::optional<Position> hit(Point p) const;
    // Shows the selection from the anchor to `end`; a drag begun on an item takes that item in
    // when it goes back before it.
    void showSelection(const Position& end);

    ScoreSession* session_ = nullptr;
    int mode_ = kPageMode;
    int layoutError_ = 0;
    NoteCommands notes_{*this};
};

template <typename Edit>
bool ScoreEditor::perform(Edit edit) {
    bool done = true;
    try {
        Action action(*this);
        edit();
    } catch (const Exception&) {
        done = false;
    }
    updateAfterEdit();
    return done;
}

}  // namespace qe
