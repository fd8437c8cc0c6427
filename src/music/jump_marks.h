#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace qe::music {

// The jumps that stand above a measure (jump:: flags of its measure mark), one row each: its
// name in the document's JSON, the words printed and written to MusicXML for it (none for the
// signs, segno and coda, and for "al Fine" and "al Coda", which only follow D.C. or D.S.), and
// the <sound> attribute and value that make a MusicXML player take the jump.
struct JumpMark {
    std::uint32_t flag;
    const char* name;
    const char16_t* words;
    const char* sound;
    const char* soundValue;
};

// Every jump, in the order of its bit.
std::span<const JumpMark> jumpMarks();
// The row of a flag, or null.
const JumpMark* jumpMarkOf(std::uint32_t flag);

// The words printed above a measure for its jumps: "Fine", "To Coda", then D.C. or D.S. with
// "al Fine" or "al Coda", two spaces between.
std::u16string jumpWords(std::uint32_t jumps);

}  // namespace qe::music
