#include "edit/lyrics_entry.h"

#include <algorithm>

#include "edit/operate_interface.h"
#include "edit/qanor_view.h"
#include "layout/measure.h"

namespace qe {

namespace {

bool isChinese(char16_t c) {
    return (c >= 0x3400 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0x3040 && c <= 0x30FF) || (c >= 0xAC00 && c <= 0xD7AF);
}

}  // namespace

NoteElement* LyricsEntry::neighbour(NoteElement* from, bool forward) const {
    // Notes tied from the note before them take no syllable.
    const auto tiedInto = [&](const Node* e) {
        return std::any_of(view_.editTree().arcs.begin(), view_.editTree().arcs.end(),
                           [&](const SusArc& arc) { return arc.to.get() == e; });
    };
    Node* measure = from->parent();
    int index = measure ? measure->indexOf(from) : -1;
    while (measure) {
        index += forward ? 1 : -1;
        if (index < 0 || index >= measure->childCount()) {
            measure = forward ? measure->nextSibling() : measure->previousSibling();
            if (!measure)
                return nullptr;
            index = forward ? -1 : measure->childCount();
            continue;
        }
        auto* e = asElement(measure->child(index));
        if (e && e->elementKind == kDigitElement && e->degree != 0 && !tiedInto(e))
            return e;
    }
    return nullptr;
}

bool LyricsEntry::begin(int verse) {
    end();
    verse_ = std::max(0, verse);
    Node* at = view_.caret.valid() ? view_.caret.node.get() : nullptr;
    if (!at)
        return false;
    NoteElement* note = nullptr;
    if (auto* e = asElement(at); e && e->elementKind == kDigitElement && e->degree != 0)
        note = e;
    else if (auto* e2 = asElement(at))
        note = neighbour(e2, true);
    else if (at->kind == kMeasure && at->nextSibling() && at->nextSibling()->firstChild())
        note = asElement(at->nextSibling()->firstChild());
    if (note && (note->elementKind != kDigitElement || note->degree == 0))
        note = neighbour(note, true);
    if (!note)
        return false;
    moveTo(note);
    return true;
}

void LyricsEntry::moveTo(NoteElement* note) {
    note_ = note;
    before_ = note->syllables;
    text_.clear();
    for (const Syllable& s : note->syllables)
        if (s.verse == verse_)
            text_ = s.text();
    fresh_ = true;
    view_.caret.node = note;
    view_.caret.placed = true;
}

void LyricsEntry::show() {
    NoteElement* e = note();
    if (!e)
        return;
    std::vector<Syllable> now;
    for (const Syllable& s : e->syllables)
        if (s.verse != verse_)
            now.push_back(s);
    if (!text_.empty()) {
        Syllable s;
        s.verse = verse_;
        s.record.text = text_;
        s.record.place = location(1, 0, 0);
        for (const Syllable& old : before_)
            if (old.verse == verse_)
                s.record = old.record;  // its stored fields, with the new text
        s.record.text = text_;
        now.insert(std::find_if(now.begin(), now.end(),
                                [&](const Syllable& k) { return k.verse > verse_; }),
                   std::move(s));
    }
    e->syllables = std::move(now);
    if (auto* m = asMeasure(e->parent()))
        m->invalidate();
}

void LyricsEntry::keep() {
    NoteElement* e = note();
    if (!e)
        return;
    std::vector<Syllable> typed = e->syllables;
    e->syllables = before_;
    {
        QanorView::Action action(view_);
        view_.operations->setSyllables(*e, typed);
    }
    before_ = e->syllables;
}

void LyricsEntry::end() {
    if (!active())
        return;
    keep();
    note_ = nullptr;
    text_.clear();
}

void LyricsEntry::type(const std::u16string& text) {
    if (!active())
        return;
    for (char16_t c : text) {
        if (fresh_) {
            text_.clear();
            fresh_ = false;
        }
        if (isChinese(c)) {
            // A character of its own: after a syllable already typed it goes on the next note.
            if (!text_.empty() && !next())
                return;
            text_.assign(1, c);
            fresh_ = false;
            show();
            continue;
        }
        text_ += c;
    }
    show();
}

void LyricsEntry::backspace() {
    if (!active())
        return;
    fresh_ = false;
    if (!text_.empty()) {
        text_.pop_back();
        show();
        return;
    }
    NoteElement* before = neighbour(note(), false);
    if (!before)
        return;
    keep();
    moveTo(before);
}

bool LyricsEntry::next(bool hyphen) {
    if (!active())
        return false;
    if (hyphen && !text_.empty() && text_.back() != u'-') {
        text_ += u'-';
        show();
    }
    NoteElement* after = neighbour(note(), true);
    if (!after)
        return false;
    keep();
    moveTo(after);
    return true;
}

void LyricsEntry::setVerse(int verse) {
    if (!active()) {
        verse_ = std::max(0, verse);
        return;
    }
    keep();
    verse_ = std::max(0, verse);
    moveTo(note());
}

}  // namespace qe
