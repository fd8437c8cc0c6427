#pragma once

namespace qe {

// Why an editing command changed nothing, for the window to tell (in its own words for each
// command).
enum class Refusal {
    None,
    NoCaret,            // the caret stands nowhere in the score
    NoNoteBeforeCaret,  // no note before the caret can take it
    NothingSelected,
    AcrossTracks,       // the selection runs from one track into another
    NothingToJoin,      // the selection holds no two notes a tie can join
    NotInOneMeasure,    // a tuplet's notes must stand in one measure
    NothingToPaste,
    ScoreRefused,       // the score cannot take the change; it stands as it was
    Unrecognised,       // the text names no chord
};

// What an editing command did: its change is one step of the history, or it changed nothing
// and says why.
struct EditResult {
    Refusal refusal = Refusal::None;

    static EditResult done() { return {}; }
    static EditResult refused(Refusal why) { return {why}; }
    bool ok() const { return refusal == Refusal::None; }
    explicit operator bool() const { return ok(); }
};

}  // namespace qe
