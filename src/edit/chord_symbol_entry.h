#pragma once

#include <optional>
#include <span>
#include <string>

#include "edit/input_mode.h"
#include "music/score.h"

namespace qe {

class ScoreEditor;

// Typing chord symbols note by note, as the chord-symbol entry of a score window does: the
// symbol is typed (the window shows it in its status bar) and goes on its note, as one
// undoable step, when the entry moves on to the next note or ends.
class ChordSymbolEntry {
public:
    explicit ChordSymbolEntry(ScoreEditor& editor) : editor_(editor) {}

    // The keys of the entry, in the order a key guide lists them.
    static std::span<const ModeKey> keys();

    // What a key or a click did.
    enum class Step {
        Ignored,       // not the entry's: the window goes on with it
        Typed,         // the text or the note changed
        Unrecognised,  // what was typed names no chord: it stays, to be put right
        Finished,      // the entry ended
    };

    // Starts at the caret's note, or the first note after the caret in its track; false when
    // there is none.
    bool begin();
    bool active() const { return note_.has_value(); }
    // One of the entry's keys, or text typed (at most the longest chord symbol a file holds).
    Step key(char32_t key);
    Step type(const std::u16string& text);
    // The caret was placed by a click: the entry starts over at the note there (what was typed
    // goes), or ends when there is none.
    Step restartAtCaret();
    // Ends without putting anything on the note.
    void end();

    // Where the entry stands: the note (its track and entry), what is typed, and the symbol the
    // note has now.
    int track() const { return track_; }
    std::optional<music::EntryRef> note() const { return note_; }
    const std::u16string& typed() const { return typed_; }
    std::u16string current() const;
    // Whether the last key put a symbol on a note (a step of the score's history).
    bool put() const { return put_; }

private:
    // Whether the entry is on and its note is still there (it ends when the note went).
    bool stillAtNote();
    // Puts what is typed on the note and, with `next`, goes on to the next one.
    Step commit(bool next);
    // The caret stands before the note the symbol goes on.
    void showAtNote();

    ScoreEditor& editor_;
    int track_ = 0;
    std::optional<music::EntryRef> note_;
    std::u16string typed_;
    bool put_ = false;
};

}  // namespace qe
