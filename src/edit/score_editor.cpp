#include "edit/score_editor.h"

#include <cmath>
#include <string>

#include "base/exception.h"
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

void ScoreEditor::updateCaretRect() {
    if (!caret.at)
        return;
    const Node* node = nodeOf(*caret.at);
    if (!node)
        return;
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
    caret.left = r.left;
    caret.top = r.top;
    caret.right = r.right;
    caret.bottom = r.bottom;
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
    return positionOf(currentRoot().hitTest(p));
}

void ScoreEditor::beginSelection(Point p) {
    caret.dragging = false;
    if (caret.selectionShown)
        invertSelection(false);
    caret.selectionAnchor = hit(p);
    caret.dragging = true;
    if (window)
        window->captureMouse(true);
}

void ScoreEditor::extendSelection(Point p) {
    const std::optional<Position> at = hit(p);
    if (!at)
        return;
    if (caret.selectionShown)
        invertSelection(false);
    caret.selectionEnd = at;
    caret.selectionShown = false;
    invertSelection(true);
}

void ScoreEditor::endSelection(Point p) {
    if (window)
        window->captureMouse(false);
    const std::optional<Position> at = hit(p);
    if (at) {
        if (caret.selectionShown)
            invertSelection(false);
        caret.selectionEnd = at;
        caret.selectionShown = false;
        caret.dragging = false;
        invertSelection(true);
    } else {
        caret.dragging = false;
    }
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
        window->invertRegion(region);
    caret.selectionShown = on;
}

Fragment ScoreEditor::copySelection() const {
    const std::optional<Selection> s = selection();
    if (!s)
        return {};
    return copyOf(score(), *s);
}

Fragment ScoreEditor::cutSelection() {
    Fragment fragment = copySelection();
    const std::optional<Selection> s = selection();
    if (fragment.empty() || !s || s->first == s->last)
        return fragment;
    if (caret.selectionShown)
        invertSelection(false);
    const bool cutOut = perform([&] {
        Edits e = edits();
        caret.at = cut(e, *s);
        caret.placed = true;
        caret.selectionAnchor.reset();
        caret.selectionEnd.reset();
    });
    return cutOut ? fragment : Fragment{};
}

bool ScoreEditor::paste(const Fragment& fragment) {
    if (!caret.valid() || fragment.empty())
        return false;
    if (caret.selectionShown)
        invertSelection(false);
    return perform([&] {
        Edits e = edits();
        caret.at = qe::paste(e, *caret.at, fragment);
    });
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

void ScoreEditor::updateAfterEdit() {
    if (!window)
        return;
    window->scoreEdited();
    layoutError_ = 0;
    try {
        relayout();
    } catch (const Exception& e) {
        layoutError_ = e.code;
        if (e.code == kLayoutOverflow)
            window->warn(kOverflowWarning, kWarningCaption);
    }
    window->layoutChanged();
}

void ScoreEditor::addTie() {
    if (!hasSelection())
        return;
    const std::optional<Selection> s = selection();
    if (!s)
        return;
    const std::optional<music::Tie> tie = tieOf(score(), *s);
    if (!tie)
        return;
    {
        Action action(*this);
        Edits e = edits();
        toggleTie(e, *tie);
    }
    updateAfterEdit();
}

void ScoreEditor::addJumpLine(const std::u16string& label) {
    if (!hasSelection())
        return;
    const std::optional<Selection> s = selection();
    if (!s)
        return;
    const std::optional<music::Volta> volta = voltaOf(score(), *s, label);
    if (!volta)
        return;
    {
        Action action(*this);
        Edits e = edits();
        toggleVolta(e, *volta);
    }
    updateAfterEdit();
}

}  // namespace qe
