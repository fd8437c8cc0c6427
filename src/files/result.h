#pragma once

#include <QString>

#include <utility>

namespace qe {

// What reading, writing, importing or exporting came to: it went through, or it failed, and
// then `message` says what went wrong, in the words the window and the command line show.
// Outcomes that tell more derive from it and keep what they add beside it (a file that is no
// score document, what a conversion could not carry over, the SoundFont a sound was rendered
// with, the files an export wrote), so that success is always ok() and the reason always
// `message`.
//
// A failure whose words belong to the one who reports it, told apart by a kind of its own (an
// export that found no SoundFont, which the window and the command line each say in their
// own language), may leave `message` empty.
class Result {
public:
    // A result that went through.
    Result() = default;
    // A result that failed for the reason given.
    static Result failure(QString why) {
        Result result;
        result.fail(std::move(why));
        return result;
    }

    bool ok() const { return ok_; }
    // Marks the result failed, for the reason given.
    void fail(QString why) {
        ok_ = false;
        message = std::move(why);
    }

    QString message;  // why it failed; empty while it went through

private:
    bool ok_ = true;
};

}  // namespace qe
