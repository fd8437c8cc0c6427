#pragma once

#include <exception>
#include <string>

namespace qe {

// The codes every failure of the records, the score, the layout and the editor is reported with.
enum ErrorCode : int {
    kUnexpectedChunk = 1,  // a chunk tag carries an id other than the one expected
    kMalformed = 3,        // reading or writing a document failed
    kOutOfRange = 4,       // an index outside its list, a missing note track, a duration above 7
    kWrongKind = 5,        // an object of the wrong kind or a missing prerequisite
    kLayoutOverflow = 6,   // a bar wider than a line, or a line taller than a page
    kMismatch = 7,         // a chunk smaller than this version's, or a place that names nothing
};

// What a code means, for an error thrown without words of its own.
const char* describeError(int code);

// The system's one exception type: a code that callers decide by, and a message that says
// what went wrong (`what()`).
class Exception : public std::exception {
public:
    explicit Exception(int code) : code(code), message(describeError(code)) {}
    Exception(int code, std::string message) : code(code), message(std::move(message)) {}

    const char* what() const noexcept override { return message.c_str(); }

    int code;
    std::string message;
};

}  // namespace qe
