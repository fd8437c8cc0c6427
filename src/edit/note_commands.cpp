#include "edit/note_commands.h"

#include "base/exception.h"
#include "edit/commands.h"
#include "edit/note_extras.h"
#include "edit/score_editor.h"

namespace qe {

namespace {

// The selection of one track, or why there is none.
EditResult selectionOf(const ScoreEditor& editor, std::optional<Selection>& selection) {
    if (!editor.hasSelection())
        return EditResult::refused(Refusal::NothingSelected);
    selection = editor.selection();
    return selection ? EditResult::done() : EditResult::refused(Refusal::AcrossTracks);
}

// Runs an edit of the note before the caret, edit(Edits&, track, EntryRef) -> bool, as one
// step; refused (and nothing changed) when there is no such note or the note refuses.
template <typename Edit>
EditResult onNoteBeforeCaret(ScoreEditor& editor, Edit edit) {
    if (!editor.caret.valid())
        return EditResult::refused(Refusal::NoNoteBeforeCaret);
    const std::optional<music::EntryRef> at = noteBefore(editor.score(), *editor.caret.at);
    if (!at)
        return EditResult::refused(Refusal::NoNoteBeforeCaret);
    const int track = editor.caret.at->track;
    const bool done = editor.perform([&] {
        Edits e = editor.edits();
        // All or none: a part the note refuses takes back what went before it.
        if (!edit(e, track, *at))
            throw Exception(kOutOfRange, "the note cannot take this");
    });
    return done ? EditResult::done() : EditResult::refused(Refusal::ScoreRefused);
}

}  // namespace

EditResult NoteCommands::addTie() {
    std::optional<Selection> s;
    if (const EditResult why = selectionOf(editor_, s); !why)
        return why;
    const std::optional<music::Tie> tie = tieOf(editor_.score(), *s);
    if (!tie)
        return EditResult::refused(Refusal::NothingToJoin);
    const bool done = editor_.perform([&] {
        Edits e = editor_.edits();
        toggleTie(e, *tie);
    });
    return done ? EditResult::done() : EditResult::refused(Refusal::ScoreRefused);
}

EditResult NoteCommands::voltaSelection() const {
    std::optional<Selection> s;
    return selectionOf(editor_, s);
}

EditResult NoteCommands::addVolta(const std::u16string& label) {
    std::optional<Selection> s;
    if (const EditResult why = selectionOf(editor_, s); !why)
        return why;
    const std::optional<music::Volta> volta = voltaOf(editor_.score(), *s, label);
    if (!volta)
        return EditResult::refused(Refusal::ScoreRefused);
    const bool done = editor_.perform([&] {
        Edits e = editor_.edits();
        toggleVolta(e, *volta);
    });
    return done ? EditResult::done() : EditResult::refused(Refusal::ScoreRefused);
}

EditResult NoteCommands::toggleTuplet(int actual, int normal) {
    std::optional<Selection> s;
    if (const EditResult why = selectionOf(editor_, s); !why)
        return why;
    bool done = false;
    editor_.perform([&] {
        Edits e = editor_.edits();
        done = qe::toggleTuplet(e, *s, actual, normal);
    });
    return done ? EditResult::done() : EditResult::refused(Refusal::NotInOneMeasure);
}

EditResult NoteCommands::toggleArticulation(std::uint32_t flag) {
    return onNoteBeforeCaret(editor_, [&](Edits& e, int track, music::EntryRef at) {
        return qe::toggleArticulation(e, track, at, flag);
    });
}

EditResult NoteCommands::addChordTone(int degree, bool below) {
    const EditResult result = onNoteBeforeCaret(editor_, [&](Edits& e, int track, music::EntryRef at) {
        return qe::addChordTone(e, track, at, degree, below, editor_.input.accidental);
    });
    if (result)
        editor_.input.accidental = 0;
    return result;
}

EditResult NoteCommands::addGraceNote(int degree, bool after, int accidental, int octaveShift) {
    return onNoteBeforeCaret(editor_, [&](Edits& e, int track, music::EntryRef at) {
        return qe::addGraceNote(e, track, at, degree, after, accidental, octaveShift);
    });
}

EditResult NoteCommands::addGraceNotes(const std::vector<TypedGrace>& graces, bool after) {
    if (graces.empty())
        return EditResult::refused(Refusal::Unrecognised);
    return onNoteBeforeCaret(editor_, [&](Edits& e, int track, music::EntryRef at) {
        for (const TypedGrace& g : graces)
            if (!qe::addGraceNote(e, track, at, g.degree, after, g.accidental, g.octaveShift))
                return false;
        return true;
    });
}

EditResult NoteCommands::clearTonesAndGraces() {
    return onNoteBeforeCaret(editor_, [&](Edits& e, int track, music::EntryRef at) {
        const bool tones = clearExtra(e, track, at, ExtraPart::Tones);
        return clearExtra(e, track, at, ExtraPart::Graces) || tones;
    });
}

EditResult NoteCommands::setChordSymbol(std::u16string_view text) {
    return onNoteBeforeCaret(editor_, [&](Edits& e, int track, music::EntryRef at) {
        return qe::setChordSymbol(e, track, at, text);
    });
}

EditResult NoteCommands::setChordSymbolAt(int track, music::EntryRef at, std::u16string_view text) {
    bool done = false;
    editor_.perform([&] {
        Edits e = editor_.edits();
        done = qe::setChordSymbol(e, track, at, text);
    });
    return done ? EditResult::done() : EditResult::refused(Refusal::Unrecognised);
}

std::u16string NoteCommands::chordSymbolBeforeCaret() const {
    if (!editor_.caret.valid())
        return {};
    const std::optional<music::EntryRef> at = noteBefore(editor_.score(), *editor_.caret.at);
    return at ? editor_.score().entry(editor_.caret.at->track, *at).extras().chordSymbol
              : std::u16string();
}

EditResult NoteCommands::setNoteText(bool below, std::u16string_view text) {
    return onNoteBeforeCaret(editor_, [&](Edits& e, int track, music::EntryRef at) {
        return qe::setNoteText(e, track, at, below, text);
    });
}

std::u16string NoteCommands::noteTextBeforeCaret(bool below) const {
    if (!editor_.caret.valid())
        return {};
    const std::optional<music::EntryRef> at = noteBefore(editor_.score(), *editor_.caret.at);
    if (!at)
        return {};
    const NoteExtra& extra = editor_.score().entry(editor_.caret.at->track, *at).extras();
    return below ? extra.textBelow : extra.textAbove;
}

}  // namespace qe
