#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "records/base_io.h"
#include "records/font_record.h"

namespace qe {

// Data that this version stores beyond what older versions read, in one block at the end of
// the root chunk's header (the title block). An older version reads the title block's fields
// and passes over the rest of a header larger than its own, so it opens such a file with its
// plain score intact. docs/file-format-extension.md describes the block byte by byte.
//
// The block is a magic word, a version and a count, then entries, each a kind, a length and
// that many bytes. Entries of kinds this version does not know are kept as read and written
// back unchanged. A document that uses nothing new has no block and is written as before.
struct ExtensionEntry {
    std::uint32_t kind = 0;
    std::vector<unsigned char> bytes;
    friend bool operator==(const ExtensionEntry&, const ExtensionEntry&) = default;
};

// A metronome mark and tempo text printed with the title block ("♩=96 中速"), and the tempo the
// score is played at unless the player chooses another.
struct TempoMark {
    std::uint16_t beatUnit = 4;   // the note of the beat: 2 a half, 4 a quarter, 8 an eighth
    bool dotted = false;          // a dotted beat (6/8 counted in two)
    std::uint16_t perMinute = 0;  // beats a minute; 0 for a mark with text only
    std::u16string text;          // "中速", "Andante"; may be empty
    // The number as printed when it is not perMinute ("100–110", "c. 60"): perMinute is then
    // the tempo played, which an older version prints. Empty for a plain number.
    std::u16string perMinuteText;

    bool empty() const { return perMinute == 0 && text.empty(); }
    // Quarter notes a minute the mark asks for, rounded; 0 when it names no number.
    int quartersPerMinute() const;
    friend bool operator==(const TempoMark&, const TempoMark&) = default;
};

// The name of a part (a note track) printed before its line on the first system ("女高音"),
// and the short name printed on the later ones ("S.").
struct PartName {
    std::u16string name;
    std::u16string shortName;
    bool empty() const { return name.empty() && shortName.empty(); }
    friend bool operator==(const PartName&, const PartName&) = default;
};

// Which jumps stand above a measure, as flags: the signs at its start (segno, coda) and the
// words at its end (Fine, To Coda, D.C., D.S. and their endings).
namespace jump {
constexpr std::uint32_t kSegno = 1u << 0;     // 𝄋 at the start: where D.S. goes back to
constexpr std::uint32_t kCoda = 1u << 1;      // 𝄌 at the start: where "To Coda" goes on
constexpr std::uint32_t kFine = 1u << 2;      // "Fine": the end, once the playing went back
constexpr std::uint32_t kToCoda = 1u << 3;    // "To Coda": on to the coda, once gone back
constexpr std::uint32_t kDaCapo = 1u << 4;    // "D.C.": back to the start
constexpr std::uint32_t kDalSegno = 1u << 5;  // "D.S.": back to the segno
constexpr std::uint32_t kAlFine = 1u << 6;    // with D.C. or D.S.: "al Fine"
constexpr std::uint32_t kAlCoda = 1u << 7;    // with D.C. or D.S.: "al Coda"
constexpr std::uint32_t kAll = (1u << 8) - 1;
}  // namespace jump

// What changes at the start of a measure: the key, the time signature (or free meter), the
// tempo, and the jumps that stand above it. Measures are counted from 0 along the first note
// track, whose bar lines number the measures of every track.
struct MeasureMark {
    std::uint32_t measure = 0;
    // A new key "1=X" in the title block's codes (letter 0..6 for A..G, accidental 1 sharp,
    // 2 flat) and the octave of its "1" (see tonicShift of the title block).
    bool keyChange = false;
    std::uint8_t keyLetter = 0;
    std::uint8_t keyAccidental = 0;
    std::int8_t tonicShift = 0;
    // A new time signature; 0/0 is free meter.
    bool meterChange = false;
    std::uint8_t numerator = 4;
    std::uint8_t denominator = 4;
    TempoMark tempo;  // empty: the tempo goes on
    std::uint32_t jumps = 0;

    bool empty() const { return !keyChange && !meterChange && tempo.empty() && jumps == 0; }
    friend bool operator==(const MeasureMark&, const MeasureMark&) = default;
};

// A pitch beside a note's own: a chord tone or a grace note, in the note record's codes
// (degree 1..7, octave dots -3..3, accidental code 0..5).
struct NoteTone {
    std::uint8_t degree = 1;
    std::int8_t octave = 0;
    std::uint8_t accidental = 0;
    friend bool operator==(const NoteTone&, const NoteTone&) = default;
};

// A grace note (倚音): a small digit before its note, or after it (后倚音), with its underlines.
struct GraceNote {
    NoteTone tone;
    std::uint8_t underlines = 1;  // 0..3
    bool after = false;
    friend bool operator==(const GraceNote&, const GraceNote&) = default;
};

// A tuplet: `actual` notes in the time of `normal` (a triplet is 3 in the time of 2). Every
// digit or rest of a group carries it; `starts` marks the group's first, so that two groups
// side by side stay two.
struct TupletMark {
    std::uint8_t actual = 0;  // 0: no tuplet
    std::uint8_t normal = 0;
    bool starts = false;
    bool active() const { return actual != 0; }
    friend bool operator==(const TupletMark&, const TupletMark&) = default;
};

// What a note record carries beyond its digit: the other tones of a chord, grace notes,
// articulations, its place in a tuplet (and in one nested inside it), and the chord symbol
// that starts on it, and words written at it. An older version shows the record's digit alone.
struct NoteExtra {
    std::vector<NoteTone> tones;
    std::vector<GraceNote> graces;  // as written: those before the note, then those after it
    // The marks over it, one bit each: what each bit means is the notation's (music/note_marks.h);
    // bits a later version uses are kept and written back.
    std::uint32_t articulations = 0;
    std::array<TupletMark, 2> tuplets{};  // the group, and a group nested in it
    std::u16string chordSymbol;
    // Words written at the note ("rit.", "dolce", "mf"): over the notes and under them.
    std::u16string textAbove;
    std::u16string textBelow;

    bool empty() const {
        return tones.empty() && graces.empty() && articulations == 0 &&
               !tuplets[0].active() && !tuplets[1].active() && chordSymbol.empty() &&
               textAbove.empty() && textBelow.empty();
    }
    friend bool operator==(const NoteExtra&, const NoteExtra&) = default;
};

// A NoteExtra and the record it belongs to: the index of a note track and of the record in it.
struct PlacedNoteExtra {
    std::uint32_t track = 0;
    std::uint32_t record = 0;
    NoteExtra extra;
    friend bool operator==(const PlacedNoteExtra&, const PlacedNoteExtra&) = default;
};

namespace extension {

constexpr std::uint32_t kMagic = 0x54584551;  // "QEXT"
constexpr std::uint32_t kVersion = 1;
constexpr std::uint32_t kHeadSize = 12;       // magic, version, count
constexpr std::uint32_t kEntryHeadSize = 8;   // kind, length

// The kinds this version knows.
constexpr std::uint32_t kFonts = 1;         // the font records an older file cannot hold
constexpr std::uint32_t kVoltaLabels = 2;   // the labels of volta brackets
constexpr std::uint32_t kTempoMark = 3;     // the metronome mark and tempo text
constexpr std::uint32_t kPartNames = 4;     // the names of the parts
constexpr std::uint32_t kOptions = 5;       // flags and the octave of "1"
constexpr std::uint32_t kMeasureMarks = 6;  // key, time and tempo changes and jumps
constexpr std::uint32_t kNoteExtras = 7;    // chords, grace notes, articulations, tuplets, chord symbols
constexpr std::uint32_t kMoreArticulations = 8;  // the articulations after the first three
constexpr std::uint32_t kPrintedTempos = 9;  // metronome numbers printed as other than a number
constexpr std::uint32_t kNoteTexts = 10;     // words written at a note, over or under it
constexpr std::uint32_t kLastKnownKind = kNoteTexts;
// The articulation bits the note extras entry holds (fermata, staccato and accent); every
// later one is stored in the entry of more articulations, which older versions keep unread.
constexpr std::uint32_t kFirstArticulations = (1u << 3) - 1;
// Bounds a note extra's parts are held to.
constexpr std::size_t kMostTones = 15;
constexpr std::size_t kMostGraces = 15;
constexpr std::size_t kLongestChordSymbol = 64;
constexpr std::size_t kLongestNoteText = 256;
constexpr int kMostTupletNotes = 32;
// Flags of the options entry.
constexpr std::uint32_t kMeasureNumbers = 1u << 0;  // the first measure's number above each line
constexpr std::uint32_t kFreeMeter = 1u << 1;       // the score starts with no time signature
constexpr std::uint32_t kHideEmptyTracks = 1u << 2;  // parts that only rest leave a system
constexpr std::uint32_t kKnownOptions = kMeasureNumbers | kFreeMeter | kHideEmptyTracks;

// Bytes the block takes; 0 for no entries (no block is written).
std::uint32_t blockSize(const std::vector<ExtensionEntry>& entries);
// Reads a block at the stream's position when one starts there (anything else, such as the
// tail of a header from another writer, is left to be passed over). A block that starts with
// the magic word but is damaged (an unknown version, a count or length its bytes cannot hold)
// throws kMalformed.
void readBlock(BaseIO& io, std::vector<ExtensionEntry>& entries);
void writeBlock(BaseIO& io, const std::vector<ExtensionEntry>& entries);

// The entry of a kind, or null.
const ExtensionEntry* find(const std::vector<ExtensionEntry>& entries, std::uint32_t kind);
// Replaces the entry of a kind (keeping its place), adds it at the end, or with no bytes
// removes it.
void put(std::vector<ExtensionEntry>& entries, std::uint32_t kind, std::vector<unsigned char> bytes);

// Fonts: a count, then per font its category (u16) and its 96-byte record.
std::vector<unsigned char> encodeFonts(const std::vector<std::pair<int, FontRecord>>& fonts);
// Throws kMalformed for damaged bytes; categories outside 0..7 are dropped.
std::vector<std::pair<int, FontRecord>> decodeFonts(const std::vector<unsigned char>& bytes);

// Volta labels: a count, then per label the index of its bracket among the format records
// (u32), the number of UTF-16 units (u16) and the units.
using VoltaLabels = std::vector<std::pair<std::uint32_t, std::u16string>>;
std::vector<unsigned char> encodeVoltaLabels(const VoltaLabels& labels);
// Throws kMalformed for damaged bytes.
VoltaLabels decodeVoltaLabels(const std::vector<unsigned char>& bytes);

// Tempo mark: beat unit (u16), dotted (u8), a reserved byte (0), beats a minute (u16), the
// text's UTF-16 unit count (u16) and its units. Nothing for an empty mark.
std::vector<unsigned char> encodeTempoMark(const TempoMark& mark);
// Throws kMalformed for damaged bytes.
TempoMark decodeTempoMark(const std::vector<unsigned char>& bytes);

// Part names: a count, then per named track its index (u32), and the name and the short name,
// each as a UTF-16 unit count (u16) and the units. Tracks without a name are not written.
std::vector<unsigned char> encodePartNames(const std::vector<PartName>& names);
// Names by track index; throws kMalformed for damaged bytes. Track indices beyond
// `maxTracks` are refused as damage.
std::vector<PartName> decodePartNames(const std::vector<unsigned char>& bytes,
                                      std::uint32_t maxTracks = 65536);

// Options: flags (u32), the octave shift of "1" in the title block's key (i8), the number of
// pages the score is fitted to (u8, 0 for any) and two reserved bytes (0). A later version's
// flags and reserved bytes are kept by the header.
struct Options {
    std::uint32_t flags = 0;
    std::int8_t tonicShift = 0;
    std::array<std::uint8_t, 3> reserved{};
    friend bool operator==(const Options&, const Options&) = default;
};
std::vector<unsigned char> encodeOptions(const Options& options);
// Throws kMalformed for any size other than 8 bytes or a shift outside -1..1.
Options decodeOptions(const std::vector<unsigned char>& bytes);

// Measure marks: a count (u32), then per mark its measure (u32), what it holds (u32: 1 a key,
// 2 a time signature, 4 a tempo), its jumps (u32), and then, as held: the key's letter,
// accidental and octave shift and a reserved byte; the numerator and denominator (u16 each);
// the tempo mark's length (u16) and bytes (see encodeTempoMark). Marks are written in measure
// order, one per measure, and empty marks are not written.
std::vector<unsigned char> encodeMeasureMarks(const std::vector<MeasureMark>& marks);
// Throws kMalformed for damaged bytes: unknown bits, a mark past the bytes, measures out of
// order, a key or shift outside what a title block names.
std::vector<MeasureMark> decodeMeasureMarks(const std::vector<unsigned char>& bytes);

// Note extras: a count (u32), then per record its track (u32), its record index (u32), what it
// holds (u32: 1 tones, 2 grace notes, 4 articulations, 8 a tuplet, 16 a nested tuplet, 32 a
// chord symbol), then, as held: a tone count (u8) and per tone its degree, octave and
// accidental and a reserved 0 (u8 each); a grace count (u8) and per grace the same three and a
// byte of its underlines (bits 0-1) and whether it follows its note (bit 7); the
// articulation flags (u32); per tuplet its actual and normal counts, 1 when it starts a group,
// and a reserved 0 (u8 each); the chord symbol's UTF-16 unit count (u16) and units. Records
// stand in increasing (track, record) order, one entry each; empty extras are not written.
std::vector<unsigned char> encodeNoteExtras(const std::vector<PlacedNoteExtra>& extras);
// Throws kMalformed for damaged bytes: unknown bits, records out of order, a field outside
// the ranges above, bytes left over. Only the first three articulations are written here;
// an extra that holds nothing else is not written.
std::vector<PlacedNoteExtra> decodeNoteExtras(const std::vector<unsigned char>& bytes);

// More articulations: a count (u32), then per record its track (u32), its record index (u32)
// and its articulation bits beyond the first three (u32, not 0), in increasing (track, record)
// order. Bits this version gives no meaning are kept, so that a later version's marks survive
// an edit here. Nothing when no extra holds such a bit.
std::vector<unsigned char> encodeMoreArticulations(const std::vector<PlacedNoteExtra>& extras);
// Adds the bits to `extras` (kept in (track, record) order), making an extra for a record that
// has none. Throws kMalformed for damaged bytes: records out of order, no bits or one of the
// first three, bytes left over.
void decodeMoreArticulations(const std::vector<unsigned char>& bytes,
                             std::vector<PlacedNoteExtra>& extras);

// Printed tempo numbers: a count (u32), then per mark where it stands (u32: 0 the title
// block's mark, m + 1 the mark of measure m), the beat unit (u16), dotted (u8), a reserved 0
// (u8) and beats a minute (u16) of the mark it was printed with, and its text (a UTF-16 unit
// count, u16, not 0, and the units), in increasing order of place. Nothing when no mark has
// one. The number and beat tell whether the mark is still the one the text was printed with:
// an older version that changed or moved the mark keeps this entry as it was.
std::vector<unsigned char> encodePrintedTempos(const TempoMark& title,
                                               const std::vector<MeasureMark>& marks);
// Gives each mark the text printed with it when its beat and number are those stored (texts
// of marks since changed are dropped). Throws kMalformed for damaged bytes: places out of
// order, an empty text, bytes left over.
void decodePrintedTempos(const std::vector<unsigned char>& bytes, TempoMark& title,
                         std::vector<MeasureMark>& marks);

// Note texts: a count (u32), then per text its track (u32), its record index (u32), its side
// (u8: 0 over the notes, 1 under them), a reserved 0 (u8) and the text (a UTF-16 unit count,
// u16, 1..256, and the units), in increasing (track, record, side) order. Nothing when no
// note has words.
std::vector<unsigned char> encodeNoteTexts(const std::vector<PlacedNoteExtra>& extras);
// Adds the texts to `extras` (kept in (track, record) order), making an extra for a record
// that has none. Throws kMalformed for damaged bytes: texts out of order, an unknown side, an
// empty or overlong text, bytes left over.
void decodeNoteTexts(const std::vector<unsigned char>& bytes, std::vector<PlacedNoteExtra>& extras);

}  // namespace extension
}  // namespace qe
