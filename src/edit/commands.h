#pragma once

#include <optional>
#include <string>
#include <vector>

#include "edit/fragment.h"
#include "edit/position.h"
#include "edit/score_edit.h"

namespace qe {

class ScoreHistory;

// Makes changes on a score and records them in its history while an action is open there:
// every command below changes the score only through it.
class Edits {
public:
    Edits(music::Score& score, ScoreHistory* history) : score(score), history(history) {}

    // Makes the change, records it, and moves the positions being followed along with it.
    void make(Change change);

    // Keeps positions in step with the changes made while it lives, such as a caret across a
    // cut.
    class Following {
    public:
        explicit Following(Edits& edits) : edits_(edits) {}
        ~Following() { edits_.followed_.clear(); }
        Following(const Following&) = delete;
        Following& operator=(const Following&) = delete;
        void add(Position* position) { edits_.followed_.push_back(position); }

    private:
        Edits& edits_;
    };

    music::Score& score;
    ScoreHistory* history;

private:
    std::vector<Position*> followed_;
};

// Where a position stands after a change: in front of the same item, or of what took the
// place of an item removed; a change elsewhere leaves it as it was.
Position follow(const Position& at, const Change& change);

// The commands of note entry. Each takes the caret and gives back where the caret stands
// after it.

// Puts an item (not a bar line) in front of the caret. Between an accidental and its digit,
// the new item stands between them: the accidental goes to it when it is a note or rest
// without one of its own, and is dropped otherwise.
Position insertItem(Edits& edits, const Position& caret, const music::Item& item);
// A bar line typed at the caret: what stands before the caret becomes a measure of its own
// closed by the new bar line; the caret's measure keeps the rest and its own bar line.
Position insertBarLine(Edits& edits, const Position& caret, int barType);
// Deletes what stands before the caret: an accidental (from between it and its digit), an
// item with its accidental, ties and syllables, or the bar line before the measure, which
// merges the two measures (the voltas on the one closed by it go). Returns where the caret
// goes, or nothing when there was nothing to delete.
std::optional<Position> deleteBefore(Edits& edits, const Position& caret);
// Deletes what stands after the caret, by the same rules: the item after it with its
// accidental, ties and syllables (from between an accidental and its digit, the whole note),
// or at a measure's end its bar line, so that the measure and the next one become one. The
// caret stays where it stood. Nothing at the end of a track.
std::optional<Position> deleteAfter(Edits& edits, const Position& caret);

// A selection between two positions of one track, from the first up to (not including) the
// last.
struct Selection {
    Position first;
    Position last;
};
// The two positions in reading order; nothing when they lie in different tracks.
std::optional<Selection> ordered(const music::Score& score, const Position& a, const Position& b);

// The selection as a fragment: its items (a note with its accidental when its digit is
// selected, a bar line for every measure end selected) with what they carry and their
// syllables, and the ties and brackets wholly inside it.
Fragment copyOf(const music::Score& score, const Selection& selection);
// Deletes what the selection holds, as Backspace would from its end (the syllables of the
// notes cut go with them); returns the caret, where the selection's last position was.
Position cut(Edits& edits, const Selection& selection);
// Types a fragment at the caret, bar lines splitting measures, with its ties and brackets on
// the notes and measures pasted and its syllables under the notes pasted (the notes after
// them keep theirs); returns the caret after it.
Position paste(Edits& edits, const Position& caret, const Fragment& fragment);

// The tie a selection asks for: from the item at its first position to the item before its
// last, when both are items of one track in that order.
std::optional<music::Tie> tieOf(const music::Score& score, const Selection& selection);
// The volta a selection asks for: over the measures from the first position's to the last
// measure the selection reaches into.
std::optional<music::Volta> voltaOf(const music::Score& score, const Selection& selection,
                                    const std::u16string& label);
// Takes away a tie between the same two items when there is one, else adds it at the end of
// the list; the same for a volta over the same measures, whatever its label.
void toggleTie(Edits& edits, const music::Tie& tie);
void toggleVolta(Edits& edits, const music::Volta& volta);

// Lays syllables of verse `verse` on the notes of track `track` from measure `fromMeasure` on,
// replacing that verse there: one on each digit in turn (rests, dashes, dots, marks and bar
// lines take none, nor does a note a tie comes into); an empty syllable leaves its note
// without. Returns how many syllables found no note.
int layLyrics(Edits& edits, int track, int verse, int fromMeasure,
              const std::vector<std::u16string>& syllables);

void setHeader(Edits& edits, const doc_header& header);
void setFormat(Edits& edits, const format_track_header& format);

// The entry of the item before the caret in its measure (skipped records passed over), or -1.
int itemBefore(const music::Measure& measure, int entry);
// Whether an item of the track is the last end of a tie.
bool isTiedInto(const music::Score& score, int track, music::EntryRef at);

}  // namespace qe
