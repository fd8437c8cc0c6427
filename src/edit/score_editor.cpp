#include "edit/score_editor.h"
#include "edit/input_status.h"

#include "edit/note_extras.h"

#include <cmath>
#include <cstdlib>
#include <string>

#include "base/exception.h"
#include "edit/note_extras.h"
#include "engrave/measure.h"
#include "engrave/note_element.h"

namespace qe {

const char16_t* const ScoreEditor::kOverflowWarning =
    u"单个小节不能换行，当前小节已无法再添加内容。\r\n如果是散板，请使用虚小节线或隐藏小节线。";
const char16_t* const ScoreEditor::kWarningCaption = u"警告";

ScoreEditor::ScoreEditor(ViewHost* host) : window(host) {}

void ScoreEditor::attach(ScoreSession* session) {
    session_ = session;
    caret = Caret{};
    resetCaret();
}

void ScoreEditor::setMode(int newMode) {
    if (newMode != kScrollMode && newMode != kPageMode)
        return;
    // Caret and selection go; the caret starts again at the start of the score.
    caret = Caret{};
    mode_ = newMode;
    if (session_)
        resetCaret();
}

void ScoreEditor::resetCaret() {
    caret.placed = false;
    caret.at.reset();
    if (!session_ || score().trackCount() == 0 || score().measureCount(0) == 0)
        return;
    caret.at = positionAt(score(), 0, 0, 0);
    updateCaretRect();
    caret.placed = true;
}

void ScoreEditor::setCaret(const Position& at) {
    if (!session_ || !isValid(score(), at))
        return;
    caret.at = at;
    caret.placed = true;
    updateCaretRect();
}

void ScoreEditor::scoreChangedElsewhere() {
    caret.selectionAnchor.reset();
    caret.selectionEnd.reset();
    caret.selectionShown = false;
    caret.dragging = false;
    if (caret.at && isValid(score(), *caret.at))
        return;
    const bool placed = caret.placed;
    resetCaret();
    caret.placed = caret.placed && placed;
}

LayoutPlaces ScoreEditor::places() const {
    return LayoutPlaces(session_->score, layout(), currentRoot(), mode_ == kScrollMode);
}

Node* ScoreEditor::nodeOf(const Position& at) const {
    return session_ ? places().nodeOf(at) : nullptr;
}

std::optional<Position> ScoreEditor::positionOf(const Node* node) const {
    return session_ ? places().positionOf(node) : std::nullopt;
}

Rect ScoreEditor::positionRect(const Position& at) const {
    return session_ ? places().positionRect(at) : Rect{};
}

std::pair<Position, Position> ScoreEditor::orderPositions(const Position& a,
                                                          const Position& b) const {
    return session_ ? places().orderPositions(a, b) : std::pair{a, b};
}

std::optional<Position> ScoreEditor::target(Move move, bool sameTrack, int pageHeight) const {
    if (!caret.valid())
        return std::nullopt;
    return places().target(*caret.at, {caret.left, caret.top}, move, sameTrack, pageHeight);
}

std::optional<Position> ScoreEditor::hit(Point p) const {
    return session_ ? places().hit(p) : std::nullopt;
}

void ScoreEditor::updateCaretRect() {
    if (!caret.at || !nodeOf(*caret.at))
        return;
    const Rect r = places().caretRectOf(*caret.at);
    caret.left = r.left;
    caret.top = r.top;
    caret.right = r.right;
    caret.bottom = r.bottom;
}

void ScoreEditor::moveCaret(Move move, bool extend, int pageHeight) {
    const std::optional<Position> to = target(move, extend, pageHeight);
    if (!to)
        return;
    const Position from = *caret.at;
    if (extend) {
        if (!caret.selectionShown || !caret.selectionAnchor)
            caret.selectionAnchor = from;
        caret.dragStart.reset();
        showSelection(*to);
    } else if (caret.selectionShown) {
        invertSelection(false);
        caret.selectionAnchor.reset();
        caret.selectionEnd.reset();
    }
    caret.at = to;
    updateCaretRect();
}

void ScoreEditor::showSelection(const Position& end) {
    if (caret.selectionShown)
        invertSelection(false);
    if (caret.dragStart && isValid(score(), *caret.dragStart)) {
        const Position& start = *caret.dragStart;
        caret.selectionAnchor = start.track == end.track && before(score(), end, start)
                                    ? afterItem(score(), start)
                                    : start;
    }
    caret.selectionEnd = end;
    caret.selectionShown = false;
    invertSelection(true);
}

void ScoreEditor::extendSelectionTo(Point p) {
    const std::optional<Position> at = hit(p);
    if (!at || !caret.valid())
        return;
    if (!caret.selectionShown || !caret.selectionAnchor)
        caret.selectionAnchor = caret.at;
    caret.dragStart.reset();
    showSelection(*at);
    caret.at = at;
    updateCaretRect();
}

void ScoreEditor::selectAll() {
    if (!session_ || score().trackCount() == 0)
        return;
    const int t = caret.valid() ? caret.at->track : 0;
    const int measures = score().measureCount(t);
    if (measures == 0)
        return;
    if (caret.selectionShown)
        invertSelection(false);
    caret.dragStart.reset();
    caret.selectionAnchor = positionAt(score(), t, 0, 0);
    const Position end = endOf(score(), t, measures - 1);
    showSelection(end);
    caret.at = end;
    caret.placed = true;
    updateCaretRect();
}

EditResult ScoreEditor::deleteSelection() {
    if (!hasSelection())
        return EditResult::refused(Refusal::NothingSelected);
    Fragment cutOut;
    return cutSelection(cutOut);
}

std::vector<Rect> ScoreEditor::selectionRegion() const {
    std::vector<Rect> region;
    if (!caret.selectionAnchor || !caret.selectionEnd || !session_ ||
        !isValid(score(), *caret.selectionAnchor) || !isValid(score(), *caret.selectionEnd))
        return region;
    const auto [first, last] = orderPositions(*caret.selectionAnchor, *caret.selectionEnd);
    // Stop by stop to the last position, or to the end of the first one's track.
    Position p = first;
    for (;;) {
        if (p == last)
            break;
        region.push_back(positionRect(p));
        const Position next = stepRight(score(), p);
        if (next == p)
            break;
        p = next;
    }
    return region;
}

std::optional<Selection> ScoreEditor::selection() const {
    if (!caret.selectionAnchor || !caret.selectionEnd || !session_)
        return std::nullopt;
    const Position& a = *caret.selectionAnchor;
    const Position& b = *caret.selectionEnd;
    if (a.track != b.track || !isValid(score(), a) || !isValid(score(), b))
        return std::nullopt;
    const auto [first, last] = orderPositions(a, b);
    return Selection{first, last};
}

bool ScoreEditor::hasSelection() const {
    return caret.selectionShown && caret.selectionAnchor && caret.selectionEnd &&
           !(*caret.selectionAnchor == *caret.selectionEnd);
}

void ScoreEditor::caretLeft() {
    if (!caret.valid())
        return;
    caret.at = stepLeft(score(), *caret.at);
    updateCaretRect();
}

void ScoreEditor::caretRight() {
    if (!caret.valid())
        return;
    caret.at = stepRight(score(), *caret.at);
    updateCaretRect();
}

void ScoreEditor::placeSystemCaret() {
    if (!window)
        return;
    if (!caret.valid()) {
        window->hideCaret();
        return;
    }
    window->placeCaret({caret.left, caret.top, caret.right, caret.bottom});
}

void ScoreEditor::relayout() {
    if (!session_ || !window)
        return;
    {
        std::unique_ptr<Surface> g = window->layoutSurface();
        layout().update(*g);
    }
    updateCaretRect();
    placeSystemCaret();
}

void ScoreEditor::paintAll(Surface& g) const {
    if (!session_)
        return;
    try {
        currentRoot().paint(g);
    } catch (const Exception&) {
        // A drawing that fails is abandoned; the next repaint tries again.
    }
}

void ScoreEditor::paintPage(Surface& g, int page) const {
    if (!session_)
        return;
    PageView* pages = layout().pages();
    if (!pages || page < 0 || page >= pages->childCount())
        return;
    try {
        pages->paintPage(page, g);
    } catch (const Exception&) {
    }
}

ScoreEditor::Action::Action(ScoreEditor& editor)
    : editor_(editor), exceptions_(std::uncaught_exceptions()) {
    if (editor_.history())
        editor_.history()->begin(editor_.editState());
}

ScoreEditor::Action::~Action() {
    ScoreHistory* history = editor_.history();
    if (!history)
        return;
    // An action left by an exception takes back what it changed: an edit happens whole or not
    // at all.
    if (std::uncaught_exceptions() > exceptions_)
        history->abandon(editor_.session_->score);
    else
        history->end(editor_.editState());
}

EditState ScoreEditor::editState() const {
    EditState state;
    if (caret.valid())
        state.caret = caret.at;
    state.accidental = input.accidental;
    state.octave = input.octave;
    state.duration = input.duration;
    return state;
}

void ScoreEditor::restoreEditState(const EditState& state) {
    caret.selectionAnchor.reset();
    caret.selectionEnd.reset();
    caret.selectionShown = false;
    const bool valid = session_ && state.caret && isValid(score(), *state.caret);
    caret.at = valid ? state.caret : std::nullopt;
    caret.placed = valid;
    input.accidental = state.accidental;
    input.octave = state.octave;
    input.duration = state.duration;
}

bool ScoreEditor::undo() {
    ScoreHistory* h = history();
    if (!h || !h->canUndo())
        return false;
    if (caret.selectionShown)
        invertSelection(false);
    const EditStep* step = h->undo(score());
    if (step)
        restoreEditState(step->before);
    afterReplay();
    return step != nullptr;
}

bool ScoreEditor::redo() {
    ScoreHistory* h = history();
    if (!h || !h->canRedo())
        return false;
    if (caret.selectionShown)
        invertSelection(false);
    const EditStep* step = h->redo(score());
    if (step)
        restoreEditState(step->after);
    afterReplay();
    return step != nullptr;
}

void ScoreEditor::afterReplay() {
    updateAfterEdit();
    updateCaretRect();
    placeSystemCaret();
    if (window)
        window->setStatusTexts(accidentalText(input.accidental), octaveText(input.octave),
                               durationText(input.duration));
}

void ScoreEditor::changeHeader(const doc_header& header) {
    if (!session_)
        return;
    {
        Action action(*this);
        Edits e = edits();
        setHeader(e, header);
    }
    afterReplay();
}

void ScoreEditor::changeFormat(const format_track_header& format) {
    if (!session_)
        return;
    {
        Action action(*this);
        Edits e = edits();
        setFormat(e, format);
    }
    afterReplay();
}

void ScoreEditor::onChar(char32_t ch) {
    if (!caret.valid())
        return;
    if (caret.selectionShown)
        invertSelection(false);
    try {
        Action action(*this);
        Edits e = edits();
        Position at = *caret.at;
        const bool changed = input.onChar(ch, e, at);
        caret.at = at;
        if (changed)
            updateAfterEdit();
    } catch (const Exception&) {
        // A key the score cannot take leaves it as it was; the layout follows it back.
        updateAfterEdit();
    }
    if (window)
        window->setStatusTexts(accidentalText(input.accidental), octaveText(input.octave),
                               durationText(input.duration));
}

void ScoreEditor::beginSelection(Point p) {
    caret.dragging = false;
    if (caret.selectionShown)
        invertSelection(false);
    caret.selectionAnchor = hit(p);
    caret.selectionEnd.reset();
    caret.dragStart = caret.selectionAnchor;
    caret.dragging = true;
    if (window)
        window->captureMouse(true);
}

void ScoreEditor::extendSelection(Point p) {
    const std::optional<Position> at = hit(p);
    if (!at)
        return;
    showSelection(*at);
}

void ScoreEditor::endSelection(Point p) {
    if (window)
        window->captureMouse(false);
    const std::optional<Position> at = hit(p);
    if (at)
        showSelection(*at);
    caret.dragging = false;
}

void ScoreEditor::moveCaretTo(Point p) {
    const std::optional<Position> at = hit(p);
    if (at) {
        caret.placed = true;
        caret.at = at;
        updateCaretRect();
    } else {
        caret.placed = false;
    }
}

bool ScoreEditor::textCursorAt(Point p) const {
    return hit(p).has_value();
}

void ScoreEditor::invertSelection(bool on) {
    if (on == caret.selectionShown)
        return;
    if (!caret.selectionAnchor || !caret.selectionEnd) {
        caret.selectionShown = false;
        return;
    }
    const std::vector<Rect> region = selectionRegion();
    if (window)
        window->repaintRegion(region);
    caret.selectionShown = on;
}

EditResult ScoreEditor::copySelection(Fragment& fragment) const {
    const std::optional<Selection> s = selection();
    if (!s)
        return EditResult::refused(caret.selectionAnchor && caret.selectionEnd
                                       ? Refusal::AcrossTracks
                                       : Refusal::NothingSelected);
    fragment = copyOf(score(), *s);
    return fragment.empty() ? EditResult::refused(Refusal::NothingSelected) : EditResult::done();
}

EditResult ScoreEditor::cutSelection(Fragment& fragment) {
    if (const EditResult copied = copySelection(fragment); !copied)
        return copied;
    const std::optional<Selection> s = selection();
    if (s->first == s->last)
        return EditResult::done();
    if (caret.selectionShown)
        invertSelection(false);
    const bool cutOut = perform([&] {
        Edits e = edits();
        caret.at = cut(e, *s);
        caret.placed = true;
        caret.selectionAnchor.reset();
        caret.selectionEnd.reset();
    });
    if (cutOut)
        return EditResult::done();
    fragment = {};
    return EditResult::refused(Refusal::ScoreRefused);
}

EditResult ScoreEditor::paste(const Fragment& fragment) {
    if (!caret.valid())
        return EditResult::refused(Refusal::NoCaret);
    if (fragment.empty())
        return EditResult::refused(Refusal::NothingToPaste);
    if (caret.selectionShown)
        invertSelection(false);
    const bool pasted = perform([&] {
        Edits e = edits();
        caret.at = qe::paste(e, *caret.at, fragment);
    });
    return pasted ? EditResult::done() : EditResult::refused(Refusal::ScoreRefused);
}

int ScoreEditor::layLyrics(int track, int verse, int fromMeasure,
                           const std::vector<std::u16string>& syllables) {
    if (!session_)
        return static_cast<int>(syllables.size());
    int left = static_cast<int>(syllables.size());
    perform([&] {
        Edits e = edits();
        left = qe::layLyrics(e, track, verse, fromMeasure, syllables);
    });
    return left;
}

void ScoreEditor::updateAfterEdit() {
    if (!window)
        return;
    window->scoreEdited();
    layoutError_ = 0;
    try {
        relayout();
        if (layout().overwideAppeared())
            window->warn(kOverflowWarning, kWarningCaption);
    } catch (const Exception& e) {
        layoutError_ = e.code;
        if (e.code == kLayoutOverflow)
            window->warn(kOverflowWarning, kWarningCaption);
    }
    window->layoutChanged();
}

}  // namespace qe
