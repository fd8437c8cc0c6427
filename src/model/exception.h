#pragma once

#include <exception>
#include <string>

namespace qe {

// The codes every failure of the model, the layout and the editor is reported with.
enum ErrorCode : int {
    kUnexpectedChunk = 1,  // a chunk tag carries an id other than the one expected
    kMalformed = 3,        // reading or writing a document failed
    kOutOfRange = 4,       // an index outside its list, a missing note track, a duration above 7
    kWrongKind = 5,        // an object of the wrong kind or a missing prerequisite
    kLayoutOverflow = 6,   // a bar wider than a line, or a line taller than a page
    kMismatch = 7,         // a chunk smaller than this version's, or a shape without its anchors
};

// The system's one exception type. `message` is carried for completeness and left empty.
class Exception : public std::exception {
public:
    explicit Exception(int code) : code(code) {}

    int code;
    std::wstring message;
};

}  // namespace qe
