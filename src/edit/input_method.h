#pragma once

#include "model/records.h"

namespace qe {

class QanorView;

// Turns typed characters into score content: state keys change the accidental, octave and
// duration of what comes next; content keys build a note record, make its layout nodes and
// insert them at the caret; Backspace deletes what stands before the caret.
class InputMethod {
public:
    virtual ~InputMethod() = default;

    // Whether the layout tree changed.
    bool onChar(char32_t ch);
    bool insertItem(const note& record);
    bool deleteBefore();

    QanorView* view = nullptr;  // the owner
    int accidental = 0;         // applies to the next item entered only
    int octave = 0;             // -3 .. 3
    int duration = 0;           // underlines: 0 quarter .. 3 thirty-second
};

}  // namespace qe
