#pragma once

#include "edit/commands.h"
#include "edit/position.h"
#include "records/records.h"

namespace qe {

// Turns typed characters into score content: state keys change the accidental, octave and
// duration of what comes next; content keys enter an item in front of the caret; Backspace
// deletes what stands before it.
class InputMethod {
public:
    // Whether the score changed. `caret` is where the caret stands, and where it stands after.
    bool onChar(char32_t ch, Edits& edits, Position& caret);

    int accidental = 0;  // applies to the next item entered only
    int octave = 0;      // -3 .. 3
    int duration = 0;    // underlines: 0 quarter .. 3 thirty-second

private:
    bool enter(const note& record, Edits& edits, Position& caret);
};

}  // namespace qe
