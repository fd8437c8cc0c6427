#pragma once

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
// Throws kMalformed for damaged bytes; categories outside 0..6 are dropped.
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

}  // namespace extension
}  // namespace qe
