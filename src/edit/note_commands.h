#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "edit/edit_result.h"
#include "music/score.h"

namespace qe {

class ScoreEditor;

// The commands of an editor that change what the notes carry: ties and volta brackets over the
// selection, tuplets of the selected notes, and marks, chord tones, grace notes and chord
// symbols on the note before the caret. Each is one undoable step of the editor's history, or
// a refusal that says why nothing changed.
class NoteCommands {
public:
    explicit NoteCommands(ScoreEditor& editor) : editor_(editor) {}
    NoteCommands(const NoteCommands&) = delete;
    NoteCommands& operator=(const NoteCommands&) = delete;

    // Ties the selection's first note to the last, or takes the tie away.
    EditResult addTie();
    // Whether the selection is one a volta bracket can go over (asked before its label is).
    EditResult voltaSelection() const;
    // Sets a volta bracket over the selected measures, or takes it away.
    EditResult addVolta(const std::u16string& label);
    // The selected notes become a tuplet of `actual` in the time of `normal`, or plain again.
    EditResult toggleTuplet(int actual, int normal);

    // A mark of the notation's table (articulation:: flag), on or off.
    EditResult toggleArticulation(std::uint32_t flag);
    // A chord tone of `degree` above the chord (below it with `below`); it takes the accidental
    // chosen for the next note, which it uses up.
    EditResult addChordTone(int degree, bool below);
    EditResult addGraceNote(int degree, bool after, int accidental = 0, int octaveShift = 0);
    // Several grace notes as one step: each a degree, an accidental code and an octave shift
    // from the octave nearest the note.
    struct TypedGrace {
        int degree = 1;
        int accidental = 0;
        int octaveShift = 0;
    };
    EditResult addGraceNotes(const std::vector<TypedGrace>& graces, bool after);
    // Takes away the chord tones and grace notes, as one step.
    EditResult clearTonesAndGraces();
    // Text that names no chord is refused and nothing is stored.
    EditResult setChordSymbol(std::u16string_view text);
    // The same on a given digit or rest (chord-symbol entry goes note by note).
    EditResult setChordSymbolAt(int track, music::EntryRef at, std::u16string_view text);
    // The chord symbol over the note before the caret, as stored; empty when it has none.
    std::u16string chordSymbolBeforeCaret() const;
    // Words written at the note before the caret, over the notes or under them; blank text
    // takes them away.
    EditResult setNoteText(bool below, std::u16string_view text);
    // The words at the note before the caret, on that side; empty when it has none.
    std::u16string noteTextBeforeCaret(bool below) const;

private:
    ScoreEditor& editor_;
};

}  // namespace qe
