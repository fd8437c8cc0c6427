#include <gtest/gtest.h>

#include "base/exception.h"
#include "records/doc_chunks.h"
#include "records/memory_io.h"
#include "records/qe_document.h"
#include "support/bytes.h"

namespace qe {
namespace {

using Raw = std::vector<std::uint8_t>;

Raw save(QeDocument& doc) {
    MemoryIO io;
    doc.serialize(io, true);
    return io.bytes();
}

// Loads bytes into a fresh document; returns the failure code or 0.
int loadCode(const Raw& bytes, QeDocument* out = nullptr) {
    QeDocument doc;
    MemoryIO io(bytes);
    try {
        doc.serialize(io, false);
    } catch (const Exception& e) {
        return e.code;
    }
    if (out)
        *out = doc;
    return 0;
}

// The bytes of a document header with the given texts and the default key and time.
test::Bytes headerBytes(const std::u16string& title) {
    test::Bytes b;
    b.u32(kDocumentVersion).wide(title);
    for (int i = 0; i < 6; ++i)
        b.wide(u"");
    b.raw({0, 6, 4, 4});
    return b;
}

test::Bytes formatHeaderBytes() {
    MemoryIO io;
    format_track_header().write(io);
    test::Bytes b;
    b.data = io.bytes();
    return b;
}

// A whole file: header, tempo and format tracks, then the given tail of chains.
Raw fileWith(const test::Bytes& header, const test::Bytes& format, const test::Bytes& tail,
             std::uint32_t formatHeaderSize = format_track_header::kFileSize) {
    test::Bytes content;
    content.tag(kTempoTrackId, 0, 4).u32(0);
    content.tag(kFormatTrackId, formatHeaderSize, 4).append(format.data).u32(0);
    content.append(tail.data);
    test::Bytes file;
    file.tag(kDocumentId, static_cast<std::uint32_t>(header.size()),
             static_cast<std::uint32_t>(content.size()));
    file.append(header.data).append(content.data);
    return file.data;
}

QeDocument richDocument() {
    QeDocument doc;
    doc.initNew(u"小白菜");
    doc.header.subtitle = u"河北民歌";
    doc.header.comment2 = u"稍慢";
    doc.header.keyAccidental = 1;
    doc.header.keyLetter = 3;
    doc.header.timeNumerator = 3;
    doc.header.timeDenominator = 8;
    doc.formatSettings().marginLeft = 720;
    doc.formatSettings().fonts[kNoteFont].color = 0x00112233;
    auto& track = doc.firstNoteTrack().content.items;
    track.insert(track.begin(), {note(0, 3, 0, 1), note(1, 5, 1, 1), note::mark(note::kDash)});
    note_track second;
    second.content.items = {note(0, 1, -1, 0), note::barLine(2)};
    doc.noteTracks().push_back(second);
    Format arc;
    arc.type = Format::kArc;
    arc.from = location(1, 0, 0);
    arc.to = location(1, 0, 1);
    doc.formatRecords().push_back(arc);
    tempo t;
    t.valueC = 120;
    doc.content.tempo.content.items.push_back(t);
    lyrics_track words;
    lyrics l;
    l.text = u"小";
    l.place = location(1, 0, 0);
    words.content.items.push_back(l);
    doc.content.lyrics.items.push_back(words);
    return doc;
}

TEST(NewDocument, HasTheExactBytesOfOneClosingBarLine) {
    QeDocument doc;
    doc.initNew(u"Qanor简谱1");
    EXPECT_EQ(doc.header.author1, u"Qanor简谱编辑器制谱");
    const Raw bytes = save(doc);

    const std::u16string author = u"Qanor简谱编辑器制谱";
    const std::uint32_t h =
        22 + 2 * static_cast<std::uint32_t>(std::u16string(u"Qanor简谱1").size() + author.size());
    test::Bytes expected;
    expected.tag(kDocumentId, h, 20 + 524 + 24);
    expected.u32(kDocumentVersion).wide(u"Qanor简谱1").wide(u"").wide(author);
    for (int i = 0; i < 4; ++i)
        expected.wide(u"");
    expected.raw({0, 6, 4, 4});
    expected.tag(kTempoTrackId, 0, 4).u32(0);
    expected.tag(kFormatTrackId, 504, 4).append(formatHeaderBytes().data).u32(0);
    expected.tag(kNoteTrackId, 0, 8).u32(1).raw({0x06, 0x0C, 0x00, 0x00});
    EXPECT_EQ(bytes, expected.data);
    EXPECT_EQ(bytes.size(), 16 + h + 20 + 524 + 24);
    EXPECT_EQ(Raw(bytes.begin(), bytes.begin() + 4), (Raw{0x51, 0x4E, 0x52, 0x00}));
    EXPECT_EQ(Raw(bytes.begin() + 16, bytes.begin() + 20), (Raw{0x01, 0x00, 0x00, 0x01}));
}

TEST(FormatHeader, StoresFiveFontsInFileOrder) {
    format_track_header f;
    f.fonts[kTextFont].logFont.height = -222;
    MemoryIO io;
    f.write(io);
    ASSERT_EQ(io.bytes().size(), 504u);
    // Page numbers, then fonts 0, 1, 2, 3 and 5: the text font is the fifth record.
    const std::size_t textFont = 24 + 4 * 96;
    EXPECT_EQ(io.bytes()[textFont], static_cast<std::uint8_t>(-222 & 0xFF));
    // The face name is stored as UTF-16 at byte 28 of a record.
    EXPECT_EQ(io.bytes()[24 + 28], 'Q');
    EXPECT_EQ(io.bytes()[24 + 3 * 96 + 28], 'A');
}

TEST(DocumentFile, RoundTripsEveryTrackByteForByte) {
    QeDocument doc = richDocument();
    const Raw first = save(doc);
    QeDocument loaded;
    ASSERT_EQ(loadCode(first, &loaded), 0);
    EXPECT_EQ(loaded.header.subtitle, u"河北民歌");
    EXPECT_EQ(loaded.header.timeDenominator, 8);
    EXPECT_EQ(loaded.noteTracks().size(), 2u);
    EXPECT_EQ(loaded.content.lyrics.items.size(), 1u);
    EXPECT_EQ(loaded.formatSettings().fonts[kNoteFont].color, 0x00112233u);
    EXPECT_EQ(save(loaded), first);
}

TEST(DocumentFile, TwoNoteTracksAndNoLyricsEndAfterTheLastTrack) {
    QeDocument doc = richDocument();
    doc.content.lyrics.items.clear();
    const Raw bytes = save(doc);
    // The last note track holds two notes: its last 8 bytes end the file.
    EXPECT_EQ(Raw(bytes.end() - 8, bytes.end()),
              (Raw{0x31, 0x00, 0x00, 0x00, 0x02, 0x0C, 0x00, 0x00}));
    QeDocument loaded;
    ASSERT_EQ(loadCode(bytes, &loaded), 0);
    EXPECT_EQ(loaded.noteTracks().back().content.items.back(), note::barLine(2));
    EXPECT_TRUE(loaded.content.lyrics.items.empty());
}

TEST(DocumentFile, SubtitleAndSmallTextFontsSurviveASaveInTheExtension) {
    QeDocument doc;
    doc.initNew(u"t");
    const Raw plain = save(doc);
    doc.formatSettings().fonts[kSubtitleFont].logFont.height = -999;
    doc.formatSettings().fonts[kSmallTextFont].color = 0xFF;
    const Raw extended = save(doc);
    QeDocument loaded;
    ASSERT_EQ(loadCode(extended, &loaded), 0);
    EXPECT_EQ(loaded.formatSettings().fonts[kSubtitleFont].logFont.height, -999);
    EXPECT_EQ(loaded.formatSettings().fonts[kSmallTextFont].color, 0xFFu);
    EXPECT_TRUE(loaded.header.extension.empty()) << "the fonts went to the format settings";
    EXPECT_EQ(save(loaded), extended);
    // Back at their defaults, the fonts leave no trace: the file is as before.
    loaded.formatSettings().fonts[kSubtitleFont] = defaultFont(kSubtitleFont);
    loaded.formatSettings().fonts[kSmallTextFont] = defaultFont(kSmallTextFont);
    EXPECT_EQ(save(loaded), plain);
}

TEST(DocumentFile, LargerChunksFromANewerVersionAreReadAndTheRestSkipped) {
    test::Bytes format = formatHeaderBytes();
    format.zeros(96);
    test::Bytes tail;
    tail.tag(kNoteTrackId, 3, 4 + 4 + 5).raw({9, 9, 9}).u32(1).u32(0x0C00).raw({1, 2, 3, 4, 5});
    tail.tag(kNoteTrackId, 0, 4).u32(0);
    QeDocument loaded;
    ASSERT_EQ(loadCode(fileWith(headerBytes(u"x"), format, tail, 600), &loaded), 0);
    ASSERT_EQ(loaded.noteTracks().size(), 2u);
    EXPECT_EQ(loaded.noteTracks()[0].content.items, std::vector<note>{note::barLine(0)});
    EXPECT_TRUE(loaded.noteTracks()[1].content.items.empty());
    // The reserved word of a chunk read from a file is kept.
    EXPECT_EQ(loaded.noteTracks()[0].tag.headerSize, 3u);
}

TEST(DocumentFile, ChunksSmallerThanThisVersionsAreRejected) {
    EXPECT_EQ(loadCode(fileWith(headerBytes(u"x"), formatHeaderBytes(), {}, 500)), kMalformed);
    test::Bytes tail;
    tail.tag(kNoteTrackId, 0, 3).raw({0, 0, 0});
    EXPECT_EQ(loadCode(fileWith(headerBytes(u"x"), formatHeaderBytes(), tail)), kMalformed);
}

TEST(DocumentFile, NoteTrackWithZeroCountIsEmpty) {
    test::Bytes tail;
    tail.tag(kNoteTrackId, 0, 4).u32(0);
    QeDocument loaded;
    ASSERT_EQ(loadCode(fileWith(headerBytes(u"x"), formatHeaderBytes(), tail), &loaded), 0);
    ASSERT_EQ(loaded.noteTracks().size(), 1u);
    EXPECT_TRUE(loaded.noteTracks()[0].content.items.empty());
}

TEST(ChunkChain, StopsAtTheFirstTagOfAnotherTypeAndLeavesIt) {
    test::Bytes b;
    for (int i = 0; i < 3; ++i)
        b.tag(kNoteTrackId, 0, 8).u32(1).u32(0x0C00 + i);
    const std::size_t lyricsAt = b.size();
    b.tag(kLyricsTrackId, 0, 4).u32(0);
    MemoryIO io(b.data);
    ChunkChain<note_track> chain;
    chain.read(io);
    EXPECT_EQ(chain.items.size(), 3u);
    EXPECT_EQ(static_cast<std::size_t>(io.tell()), lyricsAt);
    ChunkChain<lyrics_track> words;
    words.read(io);
    EXPECT_EQ(words.items.size(), 1u);
}

TEST(ChunkChain, EmptyChainIsWrittenAsNothing) {
    ChunkChain<lyrics_track> chain;
    MemoryIO io;
    chain.write(io);
    EXPECT_TRUE(io.bytes().empty());
    EXPECT_EQ(chain.size(), 0u);
}

TEST(ChunkChain, TrackChunkFromAnotherTagIsRejected) {
    EXPECT_THROW(note_track(chunk_tag(kLyricsTrackId, 0, 4, 0)), Exception);
}

TEST(DocumentFile, NotADocumentIsCodeOne) {
    EXPECT_EQ(loadCode(Raw{}), kUnexpectedChunk);
    EXPECT_EQ(loadCode(Raw{'P', 'K', 3, 4, 0, 0, 0, 0}), kUnexpectedChunk);
    Raw wrongFirstChunk = fileWith(headerBytes(u"x"), formatHeaderBytes(), {});
    wrongFirstChunk[16 + headerBytes(u"x").size()] = 'X';  // the tempo tag's id
    EXPECT_EQ(loadCode(wrongFirstChunk), kMalformed);
}

TEST(DocumentFile, EveryTruncationOfAValidFileFails) {
    QeDocument doc = richDocument();
    const Raw bytes = save(doc);
    for (std::size_t n = 0; n < bytes.size(); ++n) {
        const Raw cut(bytes.begin(), bytes.begin() + static_cast<long>(n));
        EXPECT_NE(loadCode(cut), 0) << "a file cut to " << n << " bytes loaded as a document";
    }
}

TEST(DocumentFile, HostileCountsAndSizesFailWithoutReadingOn) {
    const Raw good = [] {
        QeDocument d = richDocument();
        return save(d);
    }();
    // Overwrite each 32-bit word in turn with huge values: nothing may crash or hang.
    for (std::size_t at = 0; at + 4 <= good.size(); at += 2) {
        for (std::uint32_t value : {0xFFFFFFFFu, 0x7FFFFFFFu, 0x80000000u}) {
            Raw bad = good;
            for (int i = 0; i < 4; ++i)
                bad[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
            QeDocument doc;
            MemoryIO io(bad);
            try {
                doc.serialize(io, false);
            } catch (const Exception& e) {
                EXPECT_TRUE(e.code == kMalformed || e.code == kUnexpectedChunk) << e.code;
            }
        }
    }
}

TEST(DocumentFile, UnterminatedTitleIsMalformed) {
    test::Bytes header;
    header.u32(kDocumentVersion).u16('a').u16('b');
    test::Bytes file;
    file.tag(kDocumentId, static_cast<std::uint32_t>(header.size()), 0).append(header.data);
    EXPECT_EQ(loadCode(file.data), kMalformed);
}

TEST(QanorDocAccess, FirstNoteTrackOfAnEmptyDocumentIsOutOfRange) {
    QeDocument doc;
    try {
        doc.firstNoteTrack();
        FAIL();
    } catch (const Exception& e) {
        EXPECT_EQ(e.code, kOutOfRange);
    }
}

}  // namespace
}  // namespace qe
