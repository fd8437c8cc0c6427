#include <gtest/gtest.h>

#include "support/error_code.h"

#include "base/exception.h"
#include "records/chunk.h"
#include "records/memory_io.h"
#include "records/records.h"
#include "support/bytes.h"

namespace qe {
namespace {

using Raw = std::vector<std::uint8_t>;

template <typename Record>
Raw written(Record record) {
    MemoryIO io;
    record.write(io);
    EXPECT_EQ(io.bytes().size(), record.size()) << "size() must match the bytes written";
    return io.bytes();
}

using test::codeOf;

TEST(NoteRecord, PacksEditorStateIntoCodeAndValue) {
    const note n(5, 3, -1, 2);
    EXPECT_EQ(n.code, 0x02B3);
    EXPECT_EQ(n.value, 2);
    EXPECT_EQ(written(n), (Raw{0xB3, 0x02, 0x02, 0x00}));
    EXPECT_EQ(n.accidental(), 5);
    EXPECT_EQ(n.degree(), 3);
    EXPECT_EQ(n.octaveCode(), 6);
    EXPECT_EQ(n.duration(), 2);
}

TEST(NoteRecord, MarksBarLinesAndRests) {
    EXPECT_EQ(written(note::barLine(6)), (Raw{0x06, 0x0C, 0x00, 0x00}));
    const note dot = note::mark(note::kAugmentationDot);
    EXPECT_EQ(dot.code, 0x0040);
    EXPECT_EQ(dot.value, 1);
    EXPECT_TRUE(dot.isMark());
    const note rest = note::rest(1);
    EXPECT_EQ(rest.octaveCode(), 7);
    EXPECT_EQ(rest.degree(), 0);
    EXPECT_FALSE(rest.isMark());
    // An octave outside the field wraps into it rather than spilling into the accidental.
    EXPECT_EQ(note(0, 0, 9, 0).octaveCode(), 0);
    EXPECT_EQ(note(0, 0, 9, 0).accidental(), 0);
}

TEST(NoteRecord, SetDurationKeepsOtherValueBitsAndRejectsBadInput) {
    note n(0x0011, 0xFFF8);
    n.setDuration(3);
    EXPECT_EQ(n.value, 0xFFFB);
    EXPECT_EQ(codeOf([&] { n.setDuration(8); }), kOutOfRange);
    note bar = note::barLine(0);
    EXPECT_EQ(codeOf([&] { bar.setDuration(0); }), kWrongKind);
    note other(0x2000, 0);  // class 8: not note-like
    EXPECT_EQ(codeOf([&] { other.setDuration(1); }), kWrongKind);
}

TEST(FormatRecord, IsThirtyThreeBytesWithBothLocations) {
    Format f;
    f.type = Format::kVolta;
    f.from = location(1, 2, 3);
    f.to = location(1, 0x01020304, -1);
    const Raw bytes = written(f);
    ASSERT_EQ(bytes.size(), 33u);
    EXPECT_EQ(bytes[0], 4);
    EXPECT_EQ(bytes[9], 1);      // from.placeKind
    EXPECT_EQ(bytes[11], 2);     // from.trackIndex
    EXPECT_EQ(bytes[15], 3);     // from.itemIndex
    EXPECT_EQ(bytes[27], 0x04);  // to.trackIndex, lowest byte
    EXPECT_EQ(bytes[30], 0x01);
    EXPECT_EQ(bytes[31], 0xFF);
    MemoryIO io(bytes);
    Format back;
    back.read(io);
    EXPECT_EQ(back.to.trackIndex, 0x01020304);
    EXPECT_EQ(back.to.itemIndex, -1);
    EXPECT_TRUE(back.from.samePlace(f.from));
}

TEST(LyricsRecord, WritesItsTextAsZeroTerminatedUnits) {
    lyrics l;
    l.text = u"abc";
    l.place = location(1, 0, 7);
    EXPECT_EQ(l.size(), 24u);
    const Raw bytes = written(l);
    EXPECT_EQ(Raw(bytes.begin(), bytes.begin() + 8), (Raw{0x61, 0, 0x62, 0, 0x63, 0, 0, 0}));
    MemoryIO io(bytes);
    lyrics back;
    back.read(io);
    EXPECT_EQ(back.text, u"abc");
    EXPECT_EQ(back.place.itemIndex, 7);
}

TEST(LyricsRecord, TextWithEmbeddedZeroIsStoredUpToIt) {
    lyrics l;
    l.text = std::u16string(u"ab\0cd", 5);
    EXPECT_EQ(written(l).size(), l.size());
}

TEST(TempoRecord, RoundTripsItsOpaqueValues) {
    tempo t;
    t.at.timeA = -5;
    t.at.timeB = 9;
    t.valueA = 1;
    t.valueB = 2;
    t.valueC = 0xBEEF;
    const Raw bytes = written(t);
    ASSERT_EQ(bytes.size(), 12u);
    MemoryIO io(bytes);
    tempo back;
    back.read(io);
    EXPECT_EQ(back.at.timeA, -5);
    EXPECT_EQ(back.valueC, 0xBEEF);
}

TEST(ContentChain, WritesCountThenRecords) {
    ContentChain<note> chain;
    chain.items = {note::barLine(0), note(0, 1, 0, 0)};
    EXPECT_EQ(chain.size(), 12u);
    const Raw bytes = written(chain);
    EXPECT_EQ(Raw(bytes.begin(), bytes.begin() + 4), (Raw{2, 0, 0, 0}));
    MemoryIO io(bytes);
    ContentChain<note> back;
    back.items.push_back(note::barLine(3));  // reading replaces what was there
    back.read(io);
    ASSERT_EQ(back.items.size(), 2u);
    EXPECT_EQ(back.items[1], note(0, 1, 0, 0));
}

TEST(ContentChain, CountBeyondTheStreamIsMalformedNotAnAllocation) {
    for (std::uint32_t count : {0xFFFFFFFFu, 0x40000000u, 3u}) {
        test::Bytes b;
        b.u32(count).u32(0x0C00).u32(0x0C00);  // room for two notes only
        MemoryIO io(b.data);
        ContentChain<note> chain;
        EXPECT_EQ(codeOf([&] { chain.read(io); }), kMalformed) << count;
    }
    test::Bytes lyricBytes;
    lyricBytes.u32(2).wide(u"x").zeros(16);  // one lyric of 20 bytes, a second missing
    MemoryIO io(lyricBytes.data);
    ContentChain<lyrics> lyricChain;
    EXPECT_EQ(codeOf([&] { lyricChain.read(io); }), kMalformed);
}

TEST(WideString, RunningToTheEndOfTheStreamIsMalformed) {
    test::Bytes b;
    b.u16('a').u16('b');
    MemoryIO io(b.data);
    lyrics l;
    EXPECT_EQ(codeOf([&] { l.read(io); }), kMalformed);
}

TEST(Records, ShortReadIsMalformedNotZeroFilled) {
    MemoryIO io(Raw{0x01, 0x02, 0x03});
    note n;
    EXPECT_EQ(codeOf([&] { n.read(io); }), kMalformed);
    MemoryIO io2(Raw(32, 0));
    Format f;
    EXPECT_EQ(codeOf([&] { f.read(io2); }), kMalformed);
}

}  // namespace
}  // namespace qe
