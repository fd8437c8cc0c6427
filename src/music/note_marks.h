#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace qe {

// The marks over a digit or rest, as bits of NoteExtra::articulations. The first three are
// stored in the note extras entry of a file, every later one in the entry of more
// articulations (records/extension.h); a new mark takes the next bit and a row below.
namespace articulation {
constexpr std::uint32_t kFermata = 1u << 0;
constexpr std::uint32_t kStaccato = 1u << 1;
constexpr std::uint32_t kAccent = 1u << 2;
constexpr std::uint32_t kTenuto = 1u << 3;
}  // namespace articulation

}  // namespace qe

namespace qe::music {

// How a mark is drawn above its digit: each figure is one drawing routine of the engraving.
enum class MarkFigure {
    Wedge,    // a wedge pointing down at the digit
    Accent,   // >
    Fermata,  // an arc over a dot
    Line,     // a short horizontal line
};

// What a mark does to the sound of its note.
enum class MarkSound {
    None,
    Shortened,   // it sounds half its time
    Stressed,    // it is struck harder
    Held,        // the tempo halves for its time
    FullLength,  // it sounds its whole time: neither a breath after it nor a shortening mark
                 // takes any of it
};

// One mark a note can carry, with what every part of the program does with it.
struct NoteMark {
    std::uint32_t flag;  // its bit among a note's articulations
    const char* name;    // as the document's JSON names it
    MarkFigure figure;   // drawn above the digit, the marks of one note stacked in table order
    MarkSound sound;
    // Its MusicXML element, and other elements read as it; whether it stands in
    // <articulations> (else directly in <notations>).
    const char* musicXml;
    std::span<const char* const> alsoReadFrom;
    bool inArticulations;
    // The window's command that puts it on the note before the caret or takes it away: the
    // menu text, the status-bar prompt and after "\n" the tooltip, and the key (Qt's portable
    // text of a key sequence).
    const char* command;
    const char* prompt;
    const char* shortcut;
};

// Every mark, in the order they stack above a digit, the nearest first.
std::span<const NoteMark> noteMarks();
// The row of a flag, or null.
const NoteMark* noteMarkOf(std::uint32_t flag);
// The row whose MusicXML element (or one read as it) is `element`, or null.
const NoteMark* noteMarkOfMusicXml(std::string_view element);
// Every flag a row names.
std::uint32_t knownArticulations();

}  // namespace qe::music
