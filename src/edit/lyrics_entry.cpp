#include "edit/lyrics_entry.h"

#include <algorithm>
#include <array>

#include "edit/commands.h"
#include "edit/score_editor.h"

namespace qe {

namespace {

bool isChinese(char16_t c) {
    return (c >= 0x3400 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0x3040 && c <= 0x30FF) || (c >= 0xAC00 && c <= 0xD7AF);
}

// One glyph of a measure's note row as the caret steps over them: an item's accidental, or the
// item itself.
struct Glyph {
    int measure = 0;
    int entry = 0;
    bool accidental = false;
};

bool hasAccidental(const music::Score& score, int t, const Glyph& g) {
    const std::optional<music::Item> item = score.entry(t, {g.measure, g.entry}).item();
    return item && item->isNoteOrRest() && item->accidental != 0;
}

// The glyph after or before `g` in its track, or nothing at the track's ends.
std::optional<Glyph> step(const music::Score& score, int t, Glyph g, bool forward) {
    if (forward) {
        if (g.accidental)
            return Glyph{g.measure, g.entry, false};
        for (int m = g.measure, e = g.entry + 1; m < score.measureCount(t); ++m, e = 0) {
            const music::Measure& measure = score.measure(t, m);
            const int at = itemAtOrAfter(measure, e);
            if (at < measure.contentCount()) {
                const Glyph next{m, at, false};
                return Glyph{m, at, hasAccidental(score, t, next)};
            }
        }
        return std::nullopt;
    }
    if (!g.accidental && hasAccidental(score, t, g))
        return Glyph{g.measure, g.entry, true};
    for (int m = g.measure, e = g.entry; m >= 0; --m) {
        const music::Measure& measure = score.measure(t, m);
        const int at = itemBefore(measure, e);
        if (at >= 0)
            return Glyph{m, at, false};
        if (m > 0)
            e = score.measure(t, m - 1).contentCount();
    }
    return std::nullopt;
}

bool takesSyllable(const music::Score& score, int t, const Glyph& g) {
    if (g.accidental)
        return false;
    const std::optional<music::Item> item = score.entry(t, {g.measure, g.entry}).item();
    return item && item->isDigit() && !isTiedInto(score, t, {g.measure, g.entry});
}

// The next or previous note after `from` that takes a syllable.
std::optional<Glyph> neighbour(const music::Score& score, int t, Glyph from, bool forward) {
    for (std::optional<Glyph> g = step(score, t, from, forward); g;
         g = step(score, t, *g, forward))
        if (takesSyllable(score, t, *g))
            return g;
    return std::nullopt;
}

bool isDigitGlyph(const music::Score& score, int t, const Glyph& g) {
    const std::optional<music::Item> item = score.entry(t, {g.measure, g.entry}).item();
    return !g.accidental && item && item->isDigit();
}

constexpr std::array<ModeKey, 6> kKeys{{
    {modekey::kSpace, ModeAct::Next, "空格", "到下一个音符"},
    {modekey::kTab, ModeAct::Next, "Tab", "到下一个音符"},
    {U'-', ModeAct::Join, "-", "连到下一个音符（同一个词）"},
    {modekey::kBackspace, ModeAct::Backspace, "Backspace", "删除一个字"},
    {modekey::kEscape, ModeAct::Finish, "Esc", "结束歌词输入"},
    {modekey::kEnter, ModeAct::Finish, "Enter", "结束歌词输入"},
}};

}  // namespace

std::span<const ModeKey> LyricsEntry::keys() {
    return kKeys;
}

LyricsEntry::Step LyricsEntry::key(char32_t key) {
    const ModeKey* k = active() ? modeKeyOf(keys(), key) : nullptr;
    if (!k)
        return Step::Ignored;
    switch (k->act) {
        case ModeAct::Next:
            next();
            return Step::Typed;
        case ModeAct::Join:
            next(true);
            return Step::Typed;
        case ModeAct::Backspace:
            backspace();
            return Step::Typed;
        case ModeAct::Finish:
        case ModeAct::Cancel:
            return Step::Finished;
    }
    return Step::Ignored;
}

bool LyricsEntry::begin(int verse) {
    end();
    verse_ = std::max(0, verse);
    if (!editor_.caret.valid())
        return false;
    const Position at = *editor_.caret.at;
    const music::Score& score = editor_.score();
    const int t = at.track;
    const music::Measure& measure = score.measure(t, at.measure);
    std::optional<Glyph> note;
    if (at.entry < measure.contentCount()) {
        // The glyph the caret stands in front of.
        const Glyph here{at.measure, at.entry,
                         !at.inner && hasAccidental(score, t, {at.measure, at.entry, false})};
        note = isDigitGlyph(score, t, here) ? std::optional<Glyph>(here)
                                            : neighbour(score, t, here, true);
    } else if (at.measure + 1 < score.measureCount(t)) {
        // At a measure's end: the first glyph of the next measure.
        const music::Measure& next = score.measure(t, at.measure + 1);
        const int first = itemAtOrAfter(next, 0);
        if (first < next.contentCount()) {
            const Glyph g{at.measure + 1, first, false};
            note = Glyph{g.measure, g.entry, hasAccidental(score, t, g)};
        }
    }
    if (note && !isDigitGlyph(score, t, *note))
        note = neighbour(score, t, *note, true);
    if (!note)
        return false;
    moveTo({t, {note->measure, note->entry}});
    return true;
}

void LyricsEntry::moveTo(const Note& note) {
    const music::Score& score = editor_.score();
    note_ = note;
    before_ = score.entry(note.track, note.at).syllables;
    text_.clear();
    for (const music::Syllable& s : before_)
        if (s.verse == verse_)
            text_ = s.text();
    fresh_ = true;
    const std::optional<music::Item> item = score.entry(note.track, note.at).item();
    editor_.caret.at = Position{note.track, note.at.measure, note.at.entry,
                                item && item->accidental != 0};
    editor_.caret.placed = true;
}

void LyricsEntry::show() {
    if (!note_)
        return;
    music::Score& score = editor_.score();
    std::vector<music::Syllable> now;
    for (const music::Syllable& s : score.entry(note_->track, note_->at).syllables)
        if (s.verse != verse_)
            now.push_back(s);
    if (!text_.empty()) {
        music::Syllable s;
        s.verse = verse_;
        s.record.place = location(1, 0, 0);
        for (const music::Syllable& old : before_)
            if (old.verse == verse_)
                s.record = old.record;  // its stored fields, with the new text
        s.record.text = text_;
        now.insert(std::find_if(now.begin(), now.end(),
                                [&](const music::Syllable& k) { return k.verse > verse_; }),
                   std::move(s));
    }
    score.setSyllables(note_->track, note_->at, std::move(now));
}

void LyricsEntry::keep() {
    if (!note_)
        return;
    music::Score& score = editor_.score();
    std::vector<music::Syllable> typed = score.entry(note_->track, note_->at).syllables;
    if (typed != before_) {
        score.setSyllables(note_->track, note_->at, before_);
        ScoreEditor::Action action(editor_);
        Edits edits = editor_.edits();
        edits.make(change::SetSyllables{note_->track, note_->at, before_, typed});
    }
    before_ = std::move(typed);
}

void LyricsEntry::end() {
    if (!active())
        return;
    keep();
    note_.reset();
    text_.clear();
}

void LyricsEntry::abandon() {
    note_.reset();
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
    const music::Score& score = editor_.score();
    const std::optional<Glyph> before =
        neighbour(score, note_->track, {note_->at.measure, note_->at.entry, false}, false);
    if (!before)
        return;
    keep();
    moveTo({note_->track, {before->measure, before->entry}});
}

bool LyricsEntry::next(bool hyphen) {
    if (!active())
        return false;
    if (hyphen && !text_.empty() && text_.back() != u'-') {
        text_ += u'-';
        show();
    }
    const music::Score& score = editor_.score();
    const std::optional<Glyph> after =
        neighbour(score, note_->track, {note_->at.measure, note_->at.entry, false}, true);
    if (!after)
        return false;
    keep();
    moveTo({note_->track, {after->measure, after->entry}});
    return true;
}

void LyricsEntry::setVerse(int verse) {
    if (!active()) {
        verse_ = std::max(0, verse);
        return;
    }
    keep();
    verse_ = std::max(0, verse);
    moveTo(*note_);
}

}  // namespace qe
