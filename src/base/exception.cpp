#include "base/exception.h"

namespace qe {

const char* describeError(int code) {
    switch (code) {
        case kUnexpectedChunk:
            return "a chunk of another kind stands where this one was expected";
        case kMalformed:
            return "the document is damaged or could not be written";
        case kOutOfRange:
            return "a place or value outside its range";
        case kWrongKind:
            return "an object of the wrong kind";
        case kLayoutOverflow:
            return "a measure is wider than a line, or a line taller than a page";
        case kMismatch:
            return "a place that names nothing of the score";
        default:
            return "an unknown failure";
    }
}

}  // namespace qe
