#include "edit/score_editor.h"

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

Node* ScoreEditor::nodeOf(const Position& at) const {
    if (!session_)
        return nullptr;
    Measure* measure = layout().tracks().measureNode(at.track, at.measure);
    if (!measure || at.track >= score().trackCount() ||
        at.measure >= score().measureCount(at.track))
        return nullptr;
    if (at.entry >= score().measure(at.track, at.measure).contentCount())
        return measure;
    for (int i = 0; i < measure->childCount(); ++i) {
        NoteElement* e = measure->elementAt(i);
        if (e->entry != at.entry)
            continue;
        if (!at.inner)
            return e;
        // Between the accidental and its digit: in front of the digit.
        return i + 1 < measure->childCount() && measure->elementAt(i + 1)->entry == at.entry
                   ? measure->elementAt(i + 1)
                   : nullptr;
    }
    return nullptr;
}

std::optional<Position> ScoreEditor::positionOf(const Node* node) const {
    if (!node || !session_)
        return std::nullopt;
    const Node* measure = node->kind == kNoteElement ? node->parent() : node;
    if (!measure || measure->kind != kMeasure)
        return std::nullopt;
    const LinearView& tracks = layout().tracks();
    const Node* line = measure->parent();
    const int t = tracks.indexOf(line);
    const int m = indexOf(line, measure);
    if (t < 0 || m < 0 || t >= score().trackCount() || m >= score().measureCount(t))
        return std::nullopt;
    if (node->kind == kMeasure)
        return endOf(score(), t, m);
    const auto* e = static_cast<const NoteElement*>(node);
    const auto* before = asElement(const_cast<Node*>(node->previousSibling()));
    const bool inner = e->elementKind != kAccidentalElement && before &&
                       before->elementKind == kAccidentalElement && before->entry == e->entry;
    return Position{t, m, e->entry, inner};
}

Rect ScoreEditor::caretRectOf(const Position& at) const {
    const Node* node = nodeOf(at);
    if (!node)
        return {};
    Rect r;
    const Node* from = node;
    if (const Measure* m = asMeasure(node)) {
        r = {m->style.width - m->barWidth, 0, m->style.width - m->barWidth, m->style.height};
    } else if (node->parent()) {
        r = {node->style.x, 0, node->style.x, node->parent()->style.height};
        from = node->parent();
    } else {
        r = {0, 0, 0, node->style.height};
    }
    offsetInAncestor(r, from, true, nullptr);
    return r;
}

void ScoreEditor::updateCaretRect() {
    if (!caret.at || !nodeOf(*caret.at))
        return;
    const Rect r = caretRectOf(*caret.at);
    caret.left = r.left;
    caret.top = r.top;
    caret.right = r.right;
    caret.bottom = r.bottom;
}

std::vector<ScoreEditor::Line> ScoreEditor::lines() const {
    std::vector<Line> found;
    if (!session_)
        return found;
    // Depth first through the current root: pages, systems, then the note lines in them.
    std::vector<const Node*> stack{&currentRoot()};
    while (!stack.empty()) {
        const Node* n = stack.back();
        stack.pop_back();
        if (n->kind == kNoteLine) {
            if (n->childCount() == 0)
                continue;
            const std::optional<Position> first = positionOf(n->realChild(0));
            const std::optional<Position> last = positionOf(n->realChild(n->childCount() - 1));
            if (!first || !last)
                continue;
            Rect box{0, 0, n->style.width, n->style.height};
            offsetInAncestor(box, n, false, nullptr);
            found.push_back({n, first->track, first->measure, last->measure, box});
            continue;
        }
        for (int i = n->childCount() - 1; i >= 0; --i)
            stack.push_back(n->child(i));
    }
    return found;
}

std::optional<ScoreEditor::Line> ScoreEditor::lineOf(const Position& at) const {
    if (!session_ || !isValid(score(), at))
        return std::nullopt;
    const Node* measure = layout().tracks().measureNode(at.track, at.measure);
    if (!measure)
        return std::nullopt;
    const Node* shown = measure->shadow ? measure->shadow : measure;
    const Node* line = shown->parent();
    if (!line || line->kind != kNoteLine || line->childCount() == 0)
        return std::nullopt;
    const std::optional<Position> first = positionOf(line->realChild(0));
    const std::optional<Position> last = positionOf(line->realChild(line->childCount() - 1));
    if (!first || !last)
        return std::nullopt;
    Rect box{0, 0, line->style.width, line->style.height};
    offsetInAncestor(box, line, false, nullptr);
    return Line{line, at.track, first->measure, last->measure, box};
}

Position ScoreEditor::nearestInLine(const Line& line, int x) const {
    Position best = positionAt(score(), line.track, line.firstMeasure, 0);
    long long bestDistance = -1;
    for (int m = line.firstMeasure; m <= line.lastMeasure; ++m) {
        const int stops = stopCount(score().measure(line.track, m));
        for (int i = 0; i <= stops; ++i) {
            const Position p = positionAt(score(), line.track, m, i);
            const long long d = std::llabs(static_cast<long long>(caretRectOf(p).left) - x);
            if (bestDistance < 0 || d < bestDistance) {
                best = p;
                bestDistance = d;
            }
        }
    }
    return best;
}

std::optional<Position> ScoreEditor::target(Move move, bool sameTrack, int pageHeight) const {
    if (!caret.valid())
        return std::nullopt;
    const Position at = *caret.at;
    const music::Score& s = score();
    switch (move) {
        case Move::Left:
            return stepLeft(s, at);
        case Move::Right:
            return stepRight(s, at);
        case Move::ScoreStart:
            return positionAt(s, at.track, 0, 0);
        case Move::ScoreEnd:
            return endOf(s, at.track, s.measureCount(at.track) - 1);
        default:
            break;
    }
    const std::optional<Line> line = lineOf(at);
    if (!line)
        return at;
    if (move == Move::LineStart)
        return positionAt(s, at.track, line->firstMeasure, 0);
    if (move == Move::LineEnd)
        return endOf(s, at.track, line->lastMeasure);
    const std::vector<Line> all = lines();
    int here = -1;
    for (int i = 0; i < static_cast<int>(all.size()); ++i)
        if (all[static_cast<std::size_t>(i)].node == line->node)
            here = i;
    if (here < 0)
        return at;
    const bool down = move == Move::LineDown || move == Move::PageDown;
    const auto usable = [&](int i) {
        return i >= 0 && i < static_cast<int>(all.size()) &&
               (!sameTrack || all[static_cast<std::size_t>(i)].track == at.track);
    };
    int to = -1;
    if (move == Move::LineUp || move == Move::LineDown) {
        for (int i = here + (down ? 1 : -1); i >= 0 && i < static_cast<int>(all.size());
             i += down ? 1 : -1)
            if (usable(i)) {
                to = i;
                break;
            }
    } else {
        // The line nearest a window's height away (y grows upwards), and at least the next one.
        const long long goal = static_cast<long long>(caret.top) + (down ? -pageHeight : pageHeight);
        long long bestDistance = -1;
        for (int i = here + (down ? 1 : -1); usable(i) || (i >= 0 && i < static_cast<int>(all.size()));
             i += down ? 1 : -1) {
            if (!usable(i))
                continue;
            const long long d = std::llabs(static_cast<long long>(all[static_cast<std::size_t>(i)].box.top) - goal);
            if (bestDistance >= 0 && d > bestDistance)
                break;
            to = i;
            bestDistance = d;
        }
    }
    if (to < 0)
        return down ? endOf(s, at.track, line->lastMeasure)
                    : positionAt(s, at.track, line->firstMeasure, 0);
    return nearestInLine(all[static_cast<std::size_t>(to)], caret.left);
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

Rect ScoreEditor::positionRect(const Position& at) const {
    const Node* node = nodeOf(at);
    if (!node)
        return {};
    Rect r;
    const Node* from = node;
    if (node->kind == kNoteElement) {
        r = {node->style.x, node->style.y, node->style.x + node->style.width,
             node->style.y + node->style.height};
        from = node->parent();
    } else {
        const Measure* m = asMeasure(node);
        r = {m->style.width - m->barWidth, 0, m->style.width, m->style.height};
    }
    if (!from)
        return r;
    if (mode_ == kScrollMode) {
        const Node* root = &currentRoot();
        for (const Node* n = from; n && n != root; n = n->parent()) {
            r.left += n->style.x;
            r.right += n->style.x;
            r.top += n->style.y;
            r.bottom += n->style.y;
        }
    } else {
        offsetInAncestor(r, from, true, &currentRoot());
    }
    return r;
}

std::pair<Position, Position> ScoreEditor::orderPositions(const Position& a,
                                                          const Position& b) const {
    const Rect A = positionRect(a);
    const Rect B = positionRect(b);
    if (A.top < B.bottom)
        return {b, a};  // a lies wholly below b
    if (A.top > B.bottom && A.bottom < B.top)
        return A.left > B.left ? std::pair{b, a} : std::pair{a, b};
    return {a, b};
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

std::u16string ScoreEditor::accidentalText(int accidental) {
    static const char16_t* const kTexts[] = {u"正常", u"升号", u"倍升", u"降号", u"倍降", u"还原"};
    if (accidental >= 0 && accidental <= 5)
        return kTexts[accidental];
    const std::string number = std::to_string(accidental);
    return std::u16string(number.begin(), number.end());
}

std::u16string ScoreEditor::octaveText(int octave) {
    static const char16_t* const kTexts[] = {u"极低", u"超低", u"低音", u"中音",
                                             u"高音", u"超高", u"极高"};
    if (octave >= -3 && octave <= 3)
        return kTexts[octave + 3];
    const std::string number = std::to_string(octave);
    return std::u16string(number.begin(), number.end());
}

std::u16string ScoreEditor::durationText(int duration) {
    const auto value = static_cast<long>(4.0 * std::pow(2.0, duration));
    const std::string number = std::to_string(value);
    return std::u16string(number.begin(), number.end()) + u"分音";
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

std::optional<Position> ScoreEditor::hit(Point p) const {
    if (!session_)
        return std::nullopt;
    if (std::optional<Position> at = positionOf(currentRoot().hitTest(p)))
        return at;
    // Beside the notes of a line (in the margin before its first item, or after its bar line):
    // the nearest place in that line.
    for (const Line& line : lines())
        if (p.y <= line.box.top && p.y > line.box.bottom)
            return nearestInLine(line, p.x);
    return std::nullopt;
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
