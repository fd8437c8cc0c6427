#include "edit/chord_symbol_entry.h"

#include <array>

#include "edit/note_extras.h"
#include "edit/score_editor.h"
#include "records/extension.h"

namespace qe {

namespace {

constexpr std::array<ModeKey, 5> kKeys{{
    {modekey::kTab, ModeAct::Next, "Tab", "和弦记号放到这个音符上，到下一个音符"},
    {modekey::kSpace, ModeAct::Next, "空格", "和弦记号放到这个音符上，到下一个音符"},
    {modekey::kBackspace, ModeAct::Backspace, "Backspace", "删除一个字符"},
    {modekey::kEscape, ModeAct::Cancel, "Esc", "结束和弦记号输入（未放上的不要）"},
    {modekey::kEnter, ModeAct::Finish, "Enter", "放上和弦记号并结束输入"},
}};

bool blank(const std::u16string& text) {
    return text.find_first_not_of(u" \t") == std::u16string::npos;
}

}  // namespace

std::span<const ModeKey> ChordSymbolEntry::keys() {
    return kKeys;
}

bool ChordSymbolEntry::begin() {
    if (active() || !editor_.caret.valid())
        return false;
    const Position& caret = *editor_.caret.at;
    const std::optional<music::EntryRef> note = noteFrom(editor_.score(), caret);
    if (!note)
        return false;
    track_ = caret.track;
    note_ = *note;
    typed_.clear();
    showAtNote();
    return true;
}

void ChordSymbolEntry::end() {
    note_.reset();
    typed_.clear();
}

std::u16string ChordSymbolEntry::current() const {
    if (!note_)
        return {};
    return editor_.score().entry(track_, *note_).extras().chordSymbol;
}

bool ChordSymbolEntry::stillAtNote() {
    put_ = false;
    if (!active())
        return false;
    // The note may have gone (an undo, an edit in another window): the entry ends.
    if (!editor_.score().isContentItem(track_, *note_)) {
        end();
        return false;
    }
    return true;
}

ChordSymbolEntry::Step ChordSymbolEntry::key(char32_t key) {
    if (!stillAtNote())
        return Step::Ignored;
    const ModeKey* k = modeKeyOf(keys(), key);
    if (!k)
        return Step::Ignored;
    switch (k->act) {
        case ModeAct::Next:
        case ModeAct::Join:
            return commit(true);
        case ModeAct::Backspace:
            if (!typed_.empty())
                typed_.pop_back();
            showAtNote();
            return Step::Typed;
        case ModeAct::Finish:
            if (commit(false) == Step::Unrecognised)
                return Step::Unrecognised;
            end();
            return Step::Finished;
        case ModeAct::Cancel:
            end();
            return Step::Finished;
    }
    return Step::Ignored;
}

ChordSymbolEntry::Step ChordSymbolEntry::type(const std::u16string& text) {
    if (!stillAtNote())
        return Step::Ignored;
    if (typed_.size() < extension::kLongestChordSymbol)
        typed_ += text;
    showAtNote();
    return Step::Typed;
}

ChordSymbolEntry::Step ChordSymbolEntry::restartAtCaret() {
    if (!active() || !editor_.caret.valid())
        return Step::Ignored;
    const std::optional<music::EntryRef> note = noteFrom(editor_.score(), *editor_.caret.at);
    if (!note) {
        end();
        return Step::Finished;
    }
    track_ = editor_.caret.at->track;
    note_ = *note;
    typed_.clear();
    showAtNote();
    return Step::Typed;
}

ChordSymbolEntry::Step ChordSymbolEntry::commit(bool next) {
    // Nothing typed leaves the note as it is.
    if (!blank(typed_)) {
        if (!editor_.notes().setChordSymbolAt(track_, *note_, typed_))
            return Step::Unrecognised;
        put_ = true;
    }
    typed_.clear();
    if (!next)
        return Step::Typed;
    const std::optional<music::EntryRef> after = noteAfter(editor_.score(), track_, *note_);
    if (!after) {
        end();
        return Step::Finished;
    }
    note_ = *after;
    showAtNote();
    return Step::Typed;
}

void ChordSymbolEntry::showAtNote() {
    editor_.setCaret(Position{track_, note_->measure, note_->entry, false});
    editor_.placeSystemCaret();
}

}  // namespace qe
