#pragma once

#include <optional>
#include <string>
#include <vector>

#include "edit/input_mode.h"
#include "music/score.h"

namespace qe {

class ScoreEditor;

// Typing lyrics note by note, as the lyrics mode of a score window does: the syllable being
// typed shows under its note at once, and becomes one undoable step when the entry moves on
// to another note or ends. Notes are the digits a syllable can go on, as --lyrics lays them:
// rests, dashes, dots, marks and notes tied from the note before are passed over.
class LyricsEntry {
public:
    explicit LyricsEntry(ScoreEditor& editor) : editor_(editor) {}

    // The keys of the entry, in the order a key guide lists them.
    static std::span<const ModeKey> keys();
    // What one of them did: nothing (not one of the entry's keys), a change to show, or the
    // entry ended (the syllable typed kept).
    enum class Step { Ignored, Typed, Finished };
    Step key(char32_t key);

    // Starts at the caret's note, or the first note after the caret in its track; false when
    // there is none.
    bool begin(int verse);
    // Keeps the syllable typed and stops.
    void end();
    // Stops without a step: the score changed under the entry, whose note may be gone.
    void abandon();
    bool active() const { return note_.has_value(); }

    // Typed text: Latin letters add to the syllable; each Chinese character is a syllable of
    // its own, so a word an input method commits fills as many notes.
    void type(const std::u16string& text);
    // Takes the last character back; on an empty syllable, goes back to the note before.
    void backspace();
    // Keeps the syllable and moves to the next note; with `hyphen`, the word goes on there.
    // False at the last note, where the entry stays.
    bool next(bool hyphen = false);
    // Switches to another verse at the same note.
    void setVerse(int verse);

    int verse() const { return verse_; }
    // The note being given its syllable: its track and entry.
    struct Note {
        int track = 0;
        music::EntryRef at;
        friend bool operator==(const Note&, const Note&) = default;
    };
    const std::optional<Note>& note() const { return note_; }
    const std::u16string& text() const { return text_; }

private:
    // Makes the typed text the note's syllable of the verse on screen, without a step.
    void show();
    // Records the note's syllables, from what they were when the entry came to it, as a step.
    void keep();
    void moveTo(const Note& note);

    ScoreEditor& editor_;
    std::optional<Note> note_;
    int verse_ = 0;
    std::u16string text_;
    // The syllable a note already had is replaced by what is typed first, edited by Backspace.
    bool fresh_ = false;
    std::vector<music::Syllable> before_;  // the note's syllables when the entry came to it
};

}  // namespace qe
