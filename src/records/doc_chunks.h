#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "records/chunk.h"
#include "records/extension.h"
#include "records/font_record.h"
#include "records/records.h"

namespace qe {

// Chunk ids: four ASCII characters, the first in the lowest byte.
constexpr std::uint32_t kDocumentId = 0x00524E51;     // "QNR\0"
constexpr std::uint32_t kTempoTrackId = 0x00504D54;   // "TMP\0"
constexpr std::uint32_t kFormatTrackId = 0x00544D46;  // "FMT\0"
constexpr std::uint32_t kNoteTrackId = 0x45544F4E;    // "NOTE"
constexpr std::uint32_t kLyricsTrackId = 0x4952594C;  // "LYRI"

constexpr std::uint32_t kDocumentVersion = 0x01000001;

// A header with no fields.
class empty_header : public HeaderPart {
public:
    std::uint32_t size() const override { return 0; }
    BaseIO& read(BaseIO& io) override { return io; }
    BaseIO& write(BaseIO& io) override { return io; }
};

// The title block: seven texts, the key and the time signature.
class doc_header : public HeaderPart {
public:
    std::uint32_t size() const override;
    BaseIO& read(BaseIO& io) override;
    BaseIO& write(BaseIO& io) override;

    std::uint32_t version = kDocumentVersion;  // written, never consulted
    std::u16string title;
    std::u16string subtitle;
    std::u16string author1;
    std::u16string author2;
    std::u16string author3;
    std::u16string comment1;
    std::u16string comment2;
    std::uint8_t keyAccidental = 0;  // 0 none, 1 "#", 2 "b"
    std::uint8_t keyLetter = 6;      // 0..6 = "A".."G"
    std::uint8_t timeNumerator = 4;
    std::uint8_t timeDenominator = 4;
    // The metronome mark and tempo text; stored in the extension block when there is one.
    TempoMark tempo;
    // The names of the parts, by note track; stored in the extension block when one is named.
    std::vector<PartName> partNames;
    // Whether the number of each line's first measure is printed above it (off by default).
    bool measureNumbers = false;
    // The score starts in free meter: its measures have no time signature (the fields above
    // keep one for older versions).
    bool freeMeter = false;
    // The octave of the undotted "1" of the key above, from the usual one (octave 4 for keys
    // on C..F, 3 for G..B): -1, 0 or +1.
    int tonicShift = 0;
    // Parts that only rest in a system are left out of it (the first system shows every
    // part).
    bool hideEmptyTracks = false;
    // The number of pages the score is fitted to; 0 for as many as it takes.
    std::uint8_t pageCount = 0;
    // Key, time and tempo changes and jumps, in measure order, one per measure.
    std::vector<MeasureMark> marks;
    // The mark at a measure, or null.
    const MeasureMark* markAt(int measure) const;
    // What note records carry beyond their digits (chords, grace notes, articulations,
    // tuplets, chord symbols), in (track, record) order.
    std::vector<PlacedNoteExtra> noteExtras;
    // What this version stores beyond an older one, after the fields above (none: nothing is
    // written and the header is as older versions write it). The tempo mark is not among
    // these entries in memory: it is put in on writing and taken out on reading.
    std::vector<ExtensionEntry> extension;
    // The kinds of the entries in the order the file held them, so that a save writes them
    // back in that order.
    std::vector<std::uint32_t> entryOrder;

private:
    // The entries written: those kept, and the tempo mark.
    std::vector<ExtensionEntry> entriesToWrite() const;
};

// Page size, margins (twips) and the seven font records. Only five fonts are stored: the
// subtitle and small-text fonts always come back at their defaults.
class format_track_header : public HeaderPart {
public:
    static constexpr std::uint32_t kFileSize = 504;

    format_track_header();
    std::uint32_t size() const override { return kFileSize; }
    BaseIO& read(BaseIO& io) override;
    BaseIO& write(BaseIO& io) override;

    const FontRecord& font(FontCategory category) const { return fonts[category]; }

    std::int32_t pageWidth = 11906;
    std::int32_t pageHeight = 16838;
    std::int32_t marginLeft = 1000;
    std::int32_t marginTop = 1440;
    std::int32_t marginRight = 1000;
    std::int32_t marginBottom = 1440;
    std::array<FontRecord, kFontCount> fonts;
};

class tempo_track_content : public ContentChain<tempo> {};
class format_track_content : public ContentChain<Format> {};
class note_track_content : public ContentChain<note> {};
class lyrics_track_content : public ContentChain<lyrics> {};

class tempo_track : public Chunk<empty_header, tempo_track_content> {
public:
    tempo_track() : Chunk(kTempoTrackId) {}
};

class format_track : public Chunk<format_track_header, format_track_content> {
public:
    format_track() : Chunk(kFormatTrackId) {}
};

class note_track : public Chunk<empty_header, note_track_content> {
public:
    note_track() : Chunk(kNoteTrackId) {}
    // Throws kUnexpectedChunk when the tag is not a note track's.
    explicit note_track(const chunk_tag& from);
};

class lyrics_track : public Chunk<empty_header, lyrics_track_content> {
public:
    lyrics_track() : Chunk(kLyricsTrackId) {}
    explicit lyrics_track(const chunk_tag& from);
};

// The top-level content: a tempo track, the format track, then any note and lyrics tracks.
class doc_content : public ContentPart {
public:
    std::uint32_t size() const override;
    BaseIO& read(BaseIO& io) override;
    BaseIO& write(BaseIO& io) override;

    tempo_track tempo;
    format_track format;
    ChunkChain<note_track> notes;
    ChunkChain<lyrics_track> lyrics;
};

class DocumentChunk : public Chunk<doc_header, doc_content> {
public:
    DocumentChunk() : Chunk(kDocumentId) {}
};

}  // namespace qe
