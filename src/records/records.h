#pragma once

#include <cstdint>
#include <string>

#include "records/block.h"

namespace qe {

// Two numbers every timed record carries; the editor writes 0 and never interprets them.
struct TimeLine {
    std::int32_t timeA = 0;
    std::int32_t timeB = 0;
};

class moment : public Block, public TimeLine {
public:
    static constexpr std::uint32_t kFileSize = 8;
    std::uint32_t size() const override { return kFileSize; }
    BaseIO& read(BaseIO& io) override;
    BaseIO& write(BaseIO& io) override;
};

// Names one item of a note track: placeKind 1, the track's index in the document, and the
// item's index in the track (bar lines count as items, accidentals share their digit's index).
class location : public moment {
public:
    static constexpr std::uint32_t kFileSize = 16;
    location() = default;
    location(std::int16_t placeKind, std::int32_t trackIndex, std::int16_t itemIndex)
        : placeKind(placeKind), trackIndex(trackIndex), itemIndex(itemIndex) {}

    std::uint32_t size() const override { return kFileSize; }
    BaseIO& read(BaseIO& io) override;
    BaseIO& write(BaseIO& io) override;

    // Same place in the score: timeA and timeB are not part of a place.
    bool samePlace(const location& other) const {
        return placeKind == other.placeKind && trackIndex == other.trackIndex &&
               itemIndex == other.itemIndex;
    }

    std::int16_t placeKind = 0;
    std::int32_t trackIndex = 0;
    std::int16_t itemIndex = 0;
};

// The 16-byte head of every chunk: id, header and content sizes, and a reserved word that a
// chunk read from a file keeps.
class chunk_tag : public Block {
public:
    static constexpr std::uint32_t kFileSize = 16;
    chunk_tag() = default;
    chunk_tag(std::uint32_t id, std::uint32_t headerSize, std::uint32_t contentSize,
              std::uint32_t reserved)
        : id(id), headerSize(headerSize), contentSize(contentSize), reserved(reserved) {}

    std::uint32_t size() const override { return kFileSize; }
    BaseIO& read(BaseIO& io) override;
    BaseIO& write(BaseIO& io) override;

    void decode(const unsigned char* bytes);

    std::uint32_t id = 0;
    std::uint32_t headerSize = 0;
    std::uint32_t contentSize = 0;
    std::uint32_t reserved = 0;
};

// One item of a note track: a digit, a rest, a mark or a bar line, packed into two words.
// Unlike the other records it is a plain value of exactly its four file bytes: scores hold
// hundreds of thousands of them, and tables of them are read and written in one block.
class note {
public:
    static constexpr std::uint32_t kFileSize = 4;

    // Item classes: 0..2 note-like, 3 bar line; every other class is skipped by readers.
    static constexpr int kBarLineClass = 3;
    // A mark is a note-like item with degree 0 and this octave code; its type travels in the
    // duration field.
    static constexpr int kMarkOctaveCode = 8;
    static constexpr int kRestOctaveCode = 7;
    enum MarkType { kDash = 0, kAugmentationDot = 1, kBreath = 2, kOpenParen = 3, kCloseParen = 4 };

    note() = default;
    note(std::uint16_t code, std::uint16_t value) : code(code), value(value) {}
    // From editor state: accidental 0..5, degree 0..7, octave -3..+3, duration 0..7.
    note(int accidental, int degree, int octave, int duration);

    static note barLine(int barType) {
        return note(static_cast<std::uint16_t>(0x0C00 | (barType & 0xF)), 0);
    }
    static note rest(int duration) { return note(0, 0, 0, duration); }
    static note mark(int markType) { return note(0, 0, 1, markType); }

    std::uint32_t size() const { return kFileSize; }
    BaseIO& read(BaseIO& io);
    BaseIO& write(BaseIO& io) const;
    void decode(const unsigned char* bytes) {
        code = static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
        value = static_cast<std::uint16_t>(bytes[2] | (bytes[3] << 8));
    }
    void encode(unsigned char* bytes) const {
        bytes[0] = static_cast<unsigned char>(code);
        bytes[1] = static_cast<unsigned char>(code >> 8);
        bytes[2] = static_cast<unsigned char>(value);
        bytes[3] = static_cast<unsigned char>(value >> 8);
    }

    // Replaces the underline count; only note-like items have one, and at most 7.
    void setDuration(unsigned duration);

    int degree() const { return code & 7; }
    int octaveCode() const { return (code >> 3) & 0xF; }
    int accidental() const { return (code >> 7) & 7; }
    int itemClass() const { return (code >> 10) & 0x3F; }
    int barType() const { return code & 0xF; }
    int duration() const { return value & 7; }
    int markType() const { return value & 7; }

    bool isNoteLike() const { return itemClass() <= 2; }
    bool isBarLine() const { return itemClass() == kBarLineClass; }
    bool isMark() const { return isNoteLike() && degree() == 0 && octaveCode() == kMarkOctaveCode; }

    friend bool operator==(const note& a, const note& b) {
        return a.code == b.code && a.value == b.value;
    }

    std::uint16_t code = 0;
    std::uint16_t value = 0;
};

static_assert(sizeof(note) == note::kFileSize, "a note is its four file bytes");

// An arc (type 1) or a jump line (type 4) between two items.
class Format : public Block {
public:
    static constexpr std::uint32_t kFileSize = 33;
    static constexpr std::uint8_t kArc = 1;
    static constexpr std::uint8_t kVolta = 4;

    std::uint32_t size() const override { return kFileSize; }
    BaseIO& read(BaseIO& io) override;
    BaseIO& write(BaseIO& io) override;
    void decode(const unsigned char* bytes);
    void encode(unsigned char* bytes) const;

    std::uint8_t type = 0;
    location from;
    location to;
};

// A text attached to an item; carried from load to save unchanged.
class lyrics : public Block {
public:
    static constexpr std::uint32_t kMinFileSize = 18;
    std::uint32_t size() const override;
    BaseIO& read(BaseIO& io) override;
    BaseIO& write(BaseIO& io) override;

    std::u16string text;
    location place;
};

// A tempo record; carried from load to save unchanged.
class tempo : public Block {
public:
    static constexpr std::uint32_t kFileSize = 12;
    std::uint32_t size() const override { return kFileSize; }
    BaseIO& read(BaseIO& io) override;
    BaseIO& write(BaseIO& io) override;
    void decode(const unsigned char* bytes);
    void encode(unsigned char* bytes) const;

    moment at;
    std::uint8_t valueA = 0;
    std::uint8_t valueB = 0;
    std::uint16_t valueC = 0;
};

}  // namespace qe
