#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "music/note_marks.h"
#include "base/exception.h"
#include "records/doc_chunks.h"
#include "records/extension.h"
#include "records/memory_io.h"
#include "records/qe_document.h"
#include "support/bytes.h"
#include "support/error_code.h"
#include "support/notation.h"

namespace qe {
namespace {

using Raw = std::vector<std::uint8_t>;

Raw save(QeDocument doc) {
    MemoryIO io;
    doc.serialize(io, true);
    return io.bytes();
}

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

// The title block as versions before the extension read it: its fields, nothing after them.
class older_doc_header : public HeaderPart {
public:
    std::uint32_t size() const override { return header.size(); }
    BaseIO& read(BaseIO& io) override {
        header.version = readField<std::uint32_t>(io);
        for (std::u16string* text : {&header.title, &header.subtitle, &header.author1,
                                     &header.author2, &header.author3, &header.comment1,
                                     &header.comment2})
            *text = readWideString(io);
        header.keyAccidental = readField<std::uint8_t>(io);
        header.keyLetter = readField<std::uint8_t>(io);
        header.timeNumerator = readField<std::uint8_t>(io);
        header.timeDenominator = readField<std::uint8_t>(io);
        return io;
    }
    BaseIO& write(BaseIO& io) override { return header.write(io); }
    doc_header header;
};

// A document read as an older version reads it: the same chunk machinery, which passes over
// the part of a header larger than the reader's own.
class OlderDocument : public Chunk<older_doc_header, doc_content> {
public:
    OlderDocument() : Chunk(kDocumentId) {}
};

OlderDocument readAsOlder(const Raw& bytes) {
    OlderDocument doc;
    MemoryIO io(bytes);
    unsigned char tag[chunk_tag::kFileSize];
    readExact(io, tag, chunk_tag::kFileSize);
    doc.tag.decode(tag);
    doc.read(io);
    return doc;
}

// A score with a tie, two brackets and a lyric, as the older-reader files hold it.
QeDocument endingsScore() {
    QeDocument doc = test::scoreWithShapes({"1~ 1 2 | { 3 4 5 | } { 6 7 1 | } |]"});
    doc.header.title = u"两个结尾";
    return doc;
}

TEST(Extension, NothingNewIsWrittenAsBefore) {
    QeDocument doc = endingsScore();
    const Raw plain = save(doc);
    QeDocument loaded;
    ASSERT_EQ(loadCode(plain, &loaded), 0);
    EXPECT_TRUE(loaded.header.extension.empty());
    EXPECT_EQ(save(loaded), plain);
}

TEST(Extension, AnOlderReaderSeesThePlainScoreOfAnExtendedFile) {
    QeDocument plain = endingsScore();
    QeDocument extended = endingsScore();
    extension::put(extended.header.extension, extension::kVoltaLabels,
                   extension::encodeVoltaLabels({{1, u"1."}, {2, u"2."}}));
    extended.formatSettings().fonts[kSmallTextFont].logFont.height = -150;
    extended.header.extension.push_back({77, {1, 2, 3}});
    const Raw bytes = save(extended);
    ASSERT_GT(bytes.size(), save(plain).size());
    const OlderDocument older = readAsOlder(bytes);
    EXPECT_EQ(older.header.header.title, u"两个结尾");
    ASSERT_EQ(older.content.notes.items.size(), 1u);
    EXPECT_EQ(older.content.notes.items[0].content.items,
              plain.noteTracks()[0].content.items);
    EXPECT_EQ(older.content.format.content.items.size(), plain.formatRecords().size());
    for (std::size_t i = 0; i < plain.formatRecords().size(); ++i) {
        EXPECT_EQ(older.content.format.content.items[i].type, plain.formatRecords()[i].type);
        EXPECT_EQ(older.content.format.content.items[i].from.itemIndex,
                  plain.formatRecords()[i].from.itemIndex);
        EXPECT_EQ(older.content.format.content.items[i].to.itemIndex,
                  plain.formatRecords()[i].to.itemIndex);
    }
    // This version reads it all back, the unknown entry kept as it was.
    QeDocument loaded;
    ASSERT_EQ(loadCode(bytes, &loaded), 0);
    EXPECT_EQ(loaded.formatSettings().fonts[kSmallTextFont].logFont.height, -150);
    ASSERT_TRUE(extension::find(loaded.header.extension, 77));
    EXPECT_EQ(extension::find(loaded.header.extension, 77)->bytes, (std::vector<unsigned char>{1, 2, 3}));
    EXPECT_EQ(save(loaded), bytes);
}

TEST(Extension, TheDescribedExampleIsTheBytesWritten) {
    QeDocument doc = test::scoreOf({"1 |"});
    extension::put(doc.header.extension, extension::kVoltaLabels,
                   extension::encodeVoltaLabels({{1, u"2."}}));
    const Raw bytes = save(doc);
    const Raw block = {0x51, 0x45, 0x58, 0x54, 1, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 14, 0, 0, 0,
                       1, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0x32, 0, 0x2E, 0};
    const auto at = std::search(bytes.begin(), bytes.end(), block.begin(), block.end());
    ASSERT_NE(at, bytes.end());
    // Right after the time signature's byte, which ends the plain title block.
    const Raw plain = save(test::scoreOf({"1 |"}));
    const std::uint32_t plainHeader = plain[4] | plain[5] << 8;
    EXPECT_EQ(at - bytes.begin(), 16 + plainHeader);
    EXPECT_EQ((bytes[4] | bytes[5] << 8), plainHeader + 34);
}

TEST(Extension, DamagedBlocksAreRefusedAsAnyDamagedFile) {
    const Raw good = [] {
        QeDocument doc = endingsScore();
        extension::put(doc.header.extension, extension::kVoltaLabels,
                       extension::encodeVoltaLabels({{1, u"1."}}));
        return save(doc);
    }();
    ASSERT_EQ(loadCode(good), 0);
    const Raw magic = {0x51, 0x45, 0x58, 0x54};
    const std::size_t at =
        static_cast<std::size_t>(std::search(good.begin(), good.end(), magic.begin(), magic.end()) - good.begin());
    const auto patched = [&](std::size_t offset, std::uint32_t value) {
        Raw bytes = good;
        for (int i = 0; i < 4; ++i)
            bytes[at + offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
        return bytes;
    };
    EXPECT_EQ(loadCode(patched(4, 2)), kMalformed) << "an unknown version";
    EXPECT_EQ(loadCode(patched(8, 0xFFFFFFF0)), kMalformed) << "a huge entry count";
    EXPECT_EQ(loadCode(patched(16, 0x7FFFFFFF)), kMalformed) << "an entry longer than its header";
    EXPECT_EQ(loadCode(patched(20, 0x40000000)), kMalformed) << "a huge label count";
    EXPECT_EQ(loadCode(patched(28, 0xFFFF)), kMalformed) << "a label longer than its entry";
    // A tail that is not a block is passed over, as before.
    Raw other = good;
    other[at] = 'X';
    QeDocument loaded;
    EXPECT_EQ(loadCode(other, &loaded), 0);
    EXPECT_TRUE(loaded.header.extension.empty());
    // Truncated anywhere in the block: never a crash, never a success with garbage.
    for (std::size_t cut = at; cut < at + 34; ++cut) {
        Raw bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(cut));
        EXPECT_NE(loadCode(bytes), 0) << cut;
    }
}

TEST(Extension, ATempoMarkRidesInTheBlockAndLeavesNoTraceWhenRemoved) {
    QeDocument doc = test::scoreOf({"1 2 |"});
    const Raw plain = save(doc);
    doc.header.tempo = TempoMark{4, true, 66, u"稍慢"};
    const Raw marked = save(doc);
    QeDocument loaded;
    ASSERT_EQ(loadCode(marked, &loaded), 0);
    EXPECT_EQ(loaded.header.tempo, (TempoMark{4, true, 66, u"稍慢"}));
    EXPECT_TRUE(loaded.header.extension.empty()) << "the mark is a field of the title block";
    EXPECT_EQ(readAsOlder(marked).header.header.title, doc.header.title);
    loaded.header.tempo = TempoMark{};
    EXPECT_EQ(save(loaded), plain);
    EXPECT_EQ(extension::decodeTempoMark(extension::encodeTempoMark(TempoMark{8, false, 0, u"x"})),
              (TempoMark{8, false, 0, u"x"}));
    EXPECT_THROW(extension::decodeTempoMark({4, 0, 0, 0, 96, 0, 9, 0}), Exception);
}

TEST(Extension, OptionsKeepTheFlagsOfALaterVersion) {
    QeDocument doc = test::scoreOf({"1 |"});
    const Raw plain = save(doc);
    doc.header.measureNumbers = true;
    doc.header.freeMeter = true;
    doc.header.tonicShift = 1;
    doc.header.hideEmptyTracks = true;
    doc.header.pageCount = 3;
    QeDocument loaded;
    ASSERT_EQ(loadCode(save(doc), &loaded), 0);
    EXPECT_TRUE(loaded.header.measureNumbers);
    EXPECT_TRUE(loaded.header.freeMeter);
    EXPECT_EQ(loaded.header.tonicShift, 1);
    EXPECT_TRUE(loaded.header.hideEmptyTracks);
    EXPECT_EQ(loaded.header.pageCount, 3);
    EXPECT_TRUE(loaded.header.extension.empty());
    // A flag this version does not know rides along, and survives turning ours off.
    loaded.header.extension.push_back({extension::kOptions, {0x83, 0, 0, 0, 0xFF, 0, 0, 0}});
    QeDocument again;
    ASSERT_EQ(loadCode(save(loaded), &again), 0);
    EXPECT_TRUE(again.header.measureNumbers);
    EXPECT_EQ(again.header.tonicShift, 1);  // the field, not the kept entry, is written
    again.header.measureNumbers = again.header.freeMeter = again.header.hideEmptyTracks = false;
    again.header.tonicShift = 0;
    again.header.pageCount = 0;
    QeDocument last;
    ASSERT_EQ(loadCode(save(again), &last), 0);
    EXPECT_FALSE(last.header.measureNumbers);
    EXPECT_FALSE(last.header.freeMeter);
    ASSERT_TRUE(extension::find(last.header.extension, extension::kOptions));
    EXPECT_EQ(extension::find(last.header.extension, extension::kOptions)->bytes,
              (std::vector<unsigned char>{0x80, 0, 0, 0, 0, 0, 0, 0}));
    last.header.extension.clear();
    EXPECT_EQ(save(last), plain);
    // An options entry of the wrong size, or an octave shift beyond one, is damage.
    for (const std::vector<unsigned char>& damaged :
         {std::vector<unsigned char>{1, 0}, std::vector<unsigned char>{1, 0, 0, 0, 2, 0, 0, 0}}) {
        QeDocument bad = test::scoreOf({"1 |"});
        bad.header.extension.push_back({extension::kOptions, damaged});
        EXPECT_EQ(loadCode(save(bad)), kMalformed);
    }
}

// Lyrics have a font of their own, which follows 普通文字 until it is chosen: an old file sets
// its lyrics in its text font, and a chosen lyrics font survives a save.
TEST(Extension, TheLyricsFontFollowsTheTextFontUntilChosen) {
    QeDocument doc = test::scoreOf({"1 2 |]"});
    doc.formatSettings().fonts[kTextFont].logFont.height = -260;
    doc.formatSettings().fonts[kLyricsFont] = doc.formatSettings().fonts[kTextFont];
    const Raw plain = save(doc);
    QeDocument loaded;
    ASSERT_EQ(loadCode(plain, &loaded), 0);
    EXPECT_EQ(loaded.formatSettings().fonts[kLyricsFont].logFont.height, -260);
    EXPECT_EQ(save(loaded), plain);  // nothing stored for a font that follows

    loaded.formatSettings().fonts[kLyricsFont].logFont.height = -300;
    loaded.formatSettings().fonts[kLyricsFont].logFont.setFace(u"Noto Serif CJK SC");
    QeDocument again;
    ASSERT_EQ(loadCode(save(loaded), &again), 0);
    EXPECT_EQ(again.formatSettings().fonts[kLyricsFont], loaded.formatSettings().fonts[kLyricsFont]);
    EXPECT_EQ(again.formatSettings().fonts[kTextFont].logFont.height, -260);
}

TEST(Extension, MeasureMarksRoundTripAndRefuseDamage) {
    MeasureMark key;
    key.measure = 3;
    key.keyChange = true;
    key.keyLetter = 3;  // D
    key.tonicShift = -1;
    key.jumps = jump::kSegno;
    MeasureMark meter;
    meter.measure = 5;
    meter.meterChange = true;
    meter.numerator = 0;  // free meter
    meter.denominator = 0;
    meter.tempo = TempoMark{4, false, 72, u"稍慢"};
    MeasureMark words;
    words.measure = 9;
    words.jumps = jump::kDalSegno | jump::kAlCoda;
    const std::vector<MeasureMark> marks{key, meter, MeasureMark{}, words};
    const std::vector<unsigned char> bytes = extension::encodeMeasureMarks(marks);
    EXPECT_EQ(extension::decodeMeasureMarks(bytes), (std::vector<MeasureMark>{key, meter, words}));
    EXPECT_TRUE(extension::encodeMeasureMarks({MeasureMark{}}).empty());

    // Through a file: the marks come back, and nothing of them is left among kept entries.
    QeDocument doc = test::scoreOf({"1 | 2 | 3 | 4 | 5 | 6 |"});
    doc.header.marks = {key, meter, words};
    QeDocument loaded;
    ASSERT_EQ(loadCode(save(doc), &loaded), 0);
    EXPECT_EQ(loaded.header.marks, doc.header.marks);
    EXPECT_TRUE(loaded.header.extension.empty());

    // Every cut of the bytes is refused, as are bits and values no version writes.
    for (std::size_t cut = 0; cut < bytes.size(); ++cut)
        EXPECT_THROW(extension::decodeMeasureMarks({bytes.begin(), bytes.begin() + cut}),
                     Exception)
            << cut;
    const auto patched = [&](std::size_t at, unsigned char value) {
        std::vector<unsigned char> b = bytes;
        b[at] = value;
        return b;
    };
    EXPECT_THROW(extension::decodeMeasureMarks(patched(8, 0x08)), Exception);   // holds
    EXPECT_THROW(extension::decodeMeasureMarks(patched(14, 0x01)), Exception);  // jumps
    EXPECT_THROW(extension::decodeMeasureMarks(patched(16, 9)), Exception);     // letter
    EXPECT_THROW(extension::decodeMeasureMarks(patched(18, 2)), Exception);     // shift
    EXPECT_THROW(extension::decodeMeasureMarks(patched(20, 1)), Exception);     // order
    EXPECT_THROW(extension::decodeMeasureMarks({0xFF, 0xFF, 0xFF, 0x0F}), Exception);
}

// A note of every kind of extra, as the tests below and the older-reader file use them.
std::vector<PlacedNoteExtra> everyNoteExtra() {
    NoteExtra triplet;
    triplet.tuplets[0] = TupletMark{3, 2, true};
    NoteExtra tripletOn = triplet;
    tripletOn.tuplets[0].starts = false;
    NoteExtra chord;
    chord.tones = {{3, 0, 0}, {5, 0, 1}};
    chord.chordSymbol = u"C";
    chord.articulations = articulation::kAccent;
    NoteExtra graced;
    graced.graces = {{{6, 0, 0}, 2, false}, {{5, -1, 3}, 1, false}, {{1, 1, 0}, 3, true}};
    graced.articulations = articulation::kFermata | articulation::kStaccato;
    NoteExtra nested;
    nested.tuplets = {TupletMark{3, 2, true}, TupletMark{5, 4, true}};
    nested.chordSymbol = u"F#m7b5/C#";
    return {{0, 0, triplet}, {0, 1, tripletOn}, {0, 2, tripletOn}, {0, 3, chord},
            {0, 4, graced},  {1, 7, nested}};
}

TEST(Extension, NoteExtrasRoundTripAndRefuseDamage) {
    const std::vector<PlacedNoteExtra> extras = everyNoteExtra();
    const std::vector<unsigned char> bytes = extension::encodeNoteExtras(extras);
    EXPECT_EQ(extension::decodeNoteExtras(bytes), extras);
    EXPECT_TRUE(extension::encodeNoteExtras({{0, 0, NoteExtra{}}}).empty());

    // Through a file, beside the plain records an older version reads.
    QeDocument doc = test::scoreOf({"1_ 2_ 3_ 4 5 | 6 - 5 |]", "1 2 3 4 | 5 - 6 - |]"});
    doc.header.noteExtras = extras;
    QeDocument loaded;
    ASSERT_EQ(loadCode(save(doc), &loaded), 0);
    EXPECT_EQ(loaded.header.noteExtras, extras);
    EXPECT_TRUE(loaded.header.extension.empty());
    EXPECT_EQ(loaded.noteTracks()[0].content.items, doc.noteTracks()[0].content.items);

    // Every cut is refused, and so is every field outside what a version writes.
    for (std::size_t cut = 0; cut < bytes.size(); ++cut)
        EXPECT_THROW(extension::decodeNoteExtras({bytes.begin(), bytes.begin() + cut}), Exception)
            << cut;
    std::vector<unsigned char> longer = bytes;
    longer.push_back(0);
    EXPECT_THROW(extension::decodeNoteExtras(longer), Exception);
    const auto single = [](const NoteExtra& extra) {
        return extension::encodeNoteExtras({{0, 0, extra}});
    };
    const auto refused = [](std::vector<unsigned char> b, std::size_t at, unsigned char value) {
        b.at(at) = value;
        return test::codeOf([&] { extension::decodeNoteExtras(b); }) == kMalformed;
    };
    NoteExtra one;
    one.tones = {{3, 0, 0}};
    const std::vector<unsigned char> tone = single(one);  // count, track, record, holds, n, tone
    EXPECT_TRUE(refused(tone, 12, 0x40));  // an unknown part
    EXPECT_TRUE(refused(tone, 16, 0));     // no tones
    EXPECT_TRUE(refused(tone, 17, 8));     // degree 8
    EXPECT_TRUE(refused(tone, 18, 4));     // four octave dots
    EXPECT_TRUE(refused(tone, 19, 6));     // accidental 6
    EXPECT_TRUE(refused(tone, 20, 1));     // reserved
    NoteExtra tuplet;
    tuplet.tuplets[0] = TupletMark{3, 2, true};
    const std::vector<unsigned char> t = single(tuplet);
    EXPECT_TRUE(refused(t, 16, 1));    // one in the time of two
    EXPECT_TRUE(refused(t, 17, 0));    // in the time of none
    EXPECT_TRUE(refused(t, 16, 33));   // beyond the largest tuplet
    EXPECT_TRUE(refused(t, 18, 2));    // starts is 0 or 1
    EXPECT_TRUE(refused(t, 12, 16));   // a nested tuplet without its outer one
    NoteExtra marks;
    marks.articulations = articulation::kAccent;
    EXPECT_TRUE(refused(single(marks), 16, 0x08));
    NoteExtra graces;
    graces.graces = {{{1, 0, 0}, 1, true}, {{2, 0, 0}, 1, false}};  // after, then before
    EXPECT_EQ(test::codeOf([&] { extension::decodeNoteExtras(single(graces)); }), kMalformed);
    // Records out of order, or the same record twice.
    std::vector<PlacedNoteExtra> twice{{0, 3, one}, {0, 3, one}};
    EXPECT_EQ(test::codeOf([&] { extension::decodeNoteExtras(extension::encodeNoteExtras(twice)); }),
              kMalformed);
    // A count its bytes cannot hold is refused before anything is made.
    EXPECT_EQ(test::codeOf([] { extension::decodeNoteExtras({0xFF, 0xFF, 0xFF, 0x7F}); }), kMalformed);
}

TEST(Extension, MarksAfterTheFirstThreeHaveAnEntryOfTheirOwn) {
    // Given a tenuto alone, a tenuto with an accent and a chord, and a later version's mark
    constexpr std::uint32_t kLater = 1u << 20;
    NoteExtra chord;
    chord.tones = {{3, 0, 0}};
    chord.articulations = articulation::kAccent | articulation::kTenuto;
    std::vector<PlacedNoteExtra> extras{
        {0, 0, NoteExtra{{}, {}, articulation::kTenuto}},
        {0, 2, chord},
        {1, 1, NoteExtra{{}, {}, kLater}},
    };
    QeDocument doc = test::scoreOf({"1 2 3 4 |]", "5 6 |]"});
    doc.header.noteExtras = extras;
    const Raw bytes = save(doc);

    // The note extras entry holds only what it always held: the chord and its accent.
    NoteExtra first = chord;
    first.articulations = articulation::kAccent;
    const std::vector<unsigned char> held = extension::encodeNoteExtras(extras);
    EXPECT_EQ(extension::decodeNoteExtras(held), (std::vector<PlacedNoteExtra>{{0, 2, first}}));

    // An older version keeps the new entry unread and shows the plain score.
    const OlderDocument older = readAsOlder(bytes);
    EXPECT_EQ(older.content.notes.items[0].content.items, doc.noteTracks()[0].content.items);

    // This version reads every mark back onto its record, the later one too, and writes the
    // file again byte for byte.
    QeDocument loaded;
    ASSERT_EQ(loadCode(bytes, &loaded), 0);
    EXPECT_EQ(loaded.header.noteExtras, extras);
    EXPECT_TRUE(loaded.header.extension.empty());
    EXPECT_EQ(save(loaded), bytes);

    // A bit of the first three, no bits, records out of order and short data are damage.
    const std::vector<unsigned char> more = extension::encodeMoreArticulations(extras);
    const auto refused = [](std::vector<unsigned char> b) {
        std::vector<PlacedNoteExtra> into;
        return test::codeOf([&] { extension::decodeMoreArticulations(b, into); }) == kMalformed;
    };
    std::vector<unsigned char> damaged = more;
    damaged.at(12) = 0x0C;  // tenuto and accent
    EXPECT_TRUE(refused(damaged));
    damaged = more;
    damaged.at(12) = 0;
    damaged.at(13) = 0;
    EXPECT_TRUE(refused(damaged));
    damaged = more;
    damaged.at(20) = 0;  // the second record the same as the first
    EXPECT_TRUE(refused(damaged));
    for (std::size_t cut = 0; cut < more.size(); ++cut)
        EXPECT_TRUE(refused({more.begin(), more.begin() + static_cast<std::ptrdiff_t>(cut)})) << cut;
}

TEST(Extension, WordsAtNotesHaveAnEntryOfTheirOwn) {
    // Given words over a rest, words on both sides of a note that has a chord symbol, and words
    // under a note of the second track
    NoteExtra both;
    both.chordSymbol = u"Am";
    both.textAbove = u"rit.";
    both.textBelow = u"mf";
    NoteExtra over;
    over.textAbove = u"a tempo";
    NoteExtra under;
    under.textBelow = u"渐弱";
    const std::vector<PlacedNoteExtra> extras{{0, 0, over}, {0, 2, both}, {1, 1, under}};
    QeDocument doc = test::scoreOf({"0 2 3 4 |]", "5 6 |]"});
    doc.header.noteExtras = extras;
    const Raw bytes = save(doc);

    // An older version shows the plain score; this one reads each text back onto its side of
    // its record and writes the file again byte for byte.
    EXPECT_EQ(readAsOlder(bytes).content.notes.items[0].content.items,
              doc.noteTracks()[0].content.items);
    QeDocument loaded;
    ASSERT_EQ(loadCode(bytes, &loaded), 0);
    EXPECT_EQ(loaded.header.noteExtras, extras);
    EXPECT_TRUE(loaded.header.extension.empty());
    EXPECT_EQ(save(loaded), bytes);

    // A side or reserved byte out of range, an empty text, a side twice and short data are
    // damage.
    const std::vector<unsigned char> texts = extension::encodeNoteTexts(extras);
    const auto refused = [](std::vector<unsigned char> b) {
        std::vector<PlacedNoteExtra> into;
        return test::codeOf([&] { extension::decodeNoteTexts(b, into); }) == kMalformed;
    };
    std::vector<unsigned char> damaged = texts;
    damaged.at(12) = 2;  // the first text's side
    EXPECT_TRUE(refused(damaged));
    damaged = texts;
    damaged.at(13) = 1;
    EXPECT_TRUE(refused(damaged));
    std::vector<unsigned char> blank{1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_TRUE(refused(blank));
    std::vector<unsigned char> twice = extension::encodeNoteTexts({{0, 0, over}});
    twice.at(0) = 2;
    twice.insert(twice.end(), twice.begin() + 4, twice.end());
    EXPECT_TRUE(refused(twice));
    for (std::size_t cut = 0; cut < texts.size(); ++cut)
        EXPECT_TRUE(refused({texts.begin(), texts.begin() + static_cast<std::ptrdiff_t>(cut)})) << cut;
}

TEST(Extension, EntryCodecsRoundTripAndRefuseShortData) {
    const extension::VoltaLabels labels{{0, u"1."}, {5, u"1.-3."}, {9, u""}};
    EXPECT_EQ(extension::decodeVoltaLabels(extension::encodeVoltaLabels(labels)), labels);
    FontRecord font = defaultFont(kSubtitleFont);
    font.logFont.setFace(u"Noto Serif CJK SC");
    const std::vector<std::pair<int, FontRecord>> fonts{{4, font}, {6, defaultFont(kSmallTextFont)}};
    EXPECT_EQ(extension::decodeFonts(extension::encodeFonts(fonts)), fonts);
    std::vector<unsigned char> bytes = extension::encodeFonts(fonts);
    bytes.pop_back();
    EXPECT_THROW(extension::decodeFonts(bytes), Exception);
    EXPECT_THROW(extension::decodeVoltaLabels({1, 0, 0}), Exception);
}

// The files in tests/data/extension use the extension block as this version writes it. Each is
// paired with the same score written without it: what an older version must see of it. The
// pairs were written by this test with QE_WRITE_EXTENSION_FILES set to the folder, and are
// kept so that a change of the writer cannot silently change what older versions read.
struct OlderReaderCase {
    const char* name;
    QeDocument (*make)(bool extended);
};

QeDocument labelledEndings(bool extended) {
    QeDocument doc = endingsScore();
    lyrics syllable;
    syllable.text = u"春";
    syllable.place.placeKind = 1;
    syllable.place.trackIndex = 0;
    syllable.place.itemIndex = 0;
    lyrics_track verse;
    verse.content.items.push_back(syllable);
    doc.content.lyrics.items.push_back(verse);
    if (extended)
        extension::put(doc.header.extension, extension::kVoltaLabels,
                       extension::encodeVoltaLabels({{1, u"1."}, {2, u"2."}}));
    return doc;
}

QeDocument chosenFonts(bool extended) {
    QeDocument doc = test::scoreOf({"5 3 | 1 - |]"});
    doc.header.title = u"字体";
    doc.header.subtitle = u"副标题";
    if (extended) {
        doc.formatSettings().fonts[kSubtitleFont].logFont.setFace(u"Noto Serif CJK SC");
        doc.formatSettings().fonts[kSmallTextFont].logFont.height = -160;
    }
    return doc;
}

QeDocument laterVersion(bool extended) {
    QeDocument doc = labelledEndings(extended);
    if (extended)
        doc.header.extension.push_back({4242, {0xDE, 0xAD, 0xBE, 0xEF}});
    return doc;
}

QeDocument tempoAndParts(bool extended) {
    QeDocument doc = test::scoreOf({"1 2 3 4 | 5 - - - |]", "3 4 5 6 | 7 - - - |]"});
    doc.header.title = u"合唱";
    if (extended) {
        doc.header.tempo = TempoMark{4, false, 72, u"稍慢"};
        doc.header.partNames = {{u"女高音", u"S."}, {u"女低音", u"A."}};
    }
    return doc;
}

// Every measure mark and option: an older reader sees the song in its first key and meter.
QeDocument measureMarks(bool extended) {
    const std::string song = "1 2 3 4 |: 5 6 7 1' | 2' 1' 7 6 :| 5 - - - | 3 2 1 | 3 2 1 | 1 - - |]";
    QeDocument doc = test::scoreWithShapes({song, song});
    doc.header.title = u"记号";
    if (extended) {
        doc.header.measureNumbers = true;
        doc.header.tonicShift = 1;
        MeasureMark segno;
        segno.measure = 1;
        segno.jumps = jump::kSegno;
        MeasureMark change;
        change.measure = 4;
        change.keyChange = true;
        change.keyLetter = 3;
        change.meterChange = true;
        change.numerator = 3;
        change.denominator = 4;
        change.tempo = TempoMark{4, false, 60, u"渐慢"};
        MeasureMark back;
        back.measure = 5;
        back.jumps = jump::kDalSegno | jump::kAlFine;
        MeasureMark fine;
        fine.measure = 2;
        fine.jumps = jump::kFine;
        doc.header.marks = {segno, fine, change, back};
    }
    return doc;
}

QeDocument freeMeter(bool extended) {
    QeDocument doc = test::scoreOf({"5 6 1' 2' 1' 6 5 - | 3 5 6 - | 5 3 2 |]"});
    doc.header.title = u"散板";
    doc.header.freeMeter = extended;
    return doc;
}

// Chords, grace notes, articulations, tuplets and chord symbols: an older reader sees the
// digits alone.
QeDocument noteExtras(bool extended) {
    QeDocument doc = test::scoreOf({"1_ 2_ 3_ 4 5 | 6 - 5 |]", "1 2 3 4 | 5 - 6 - |]"});
    doc.header.title = u"附加音";
    if (extended)
        doc.header.noteExtras = everyNoteExtra();
    return doc;
}

const OlderReaderCase kOlderReaderCases[] = {
    {"note_extras", noteExtras},
    {"measure_marks", measureMarks},
    {"free_meter", freeMeter},
    {"tempo_and_parts", tempoAndParts},
    {"labelled_endings", labelledEndings},
    {"chosen_fonts", chosenFonts},
    {"later_version", laterVersion},
};

Raw readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Raw(std::istreambuf_iterator<char>(in), {});
}

TEST(Extension, TheOlderReaderFilesReadAsTheyDidWhenWritten) {
    const std::string folder = std::string(QE_TEST_DATA) + "/extension/";
    if (const char* out = std::getenv("QE_WRITE_EXTENSION_FILES"))
        for (const OlderReaderCase& c : kOlderReaderCases)
            for (bool extended : {true, false}) {
                if (std::getenv("QE_WRITE_EXTENSION_ONLY") &&
                    std::string(std::getenv("QE_WRITE_EXTENSION_ONLY")) != c.name)
                    continue;
                const Raw bytes = save(c.make(extended));
                std::ofstream(std::string(out) + "/" + c.name + (extended ? ".qe" : ".plain.qe"),
                              std::ios::binary)
                    .write(reinterpret_cast<const char*>(bytes.data()),
                           static_cast<std::streamsize>(bytes.size()));
            }
    for (const OlderReaderCase& c : kOlderReaderCases) {
        const Raw extended = readFile(folder + c.name + ".qe");
        const Raw plain = readFile(folder + c.name + ".plain.qe");
        ASSERT_FALSE(extended.empty()) << c.name;
        ASSERT_FALSE(plain.empty()) << c.name;
        // This version writes them today as it wrote them then.
        EXPECT_EQ(save(c.make(true)), extended) << c.name;
        EXPECT_EQ(save(c.make(false)), plain) << c.name;
        // An older reader sees the plain score: the same title block fields, note tracks,
        // format records and lyrics as the plain file holds.
        const OlderDocument older = readAsOlder(extended);
        const OlderDocument expected = readAsOlder(plain);
        EXPECT_EQ(older.header.header.title, expected.header.header.title) << c.name;
        EXPECT_EQ(older.header.header.subtitle, expected.header.header.subtitle) << c.name;
        ASSERT_EQ(older.content.notes.items.size(), expected.content.notes.items.size());
        for (std::size_t t = 0; t < older.content.notes.items.size(); ++t)
            EXPECT_EQ(older.content.notes.items[t].content.items,
                      expected.content.notes.items[t].content.items)
                << c.name;
        ASSERT_EQ(older.content.format.content.items.size(),
                  expected.content.format.content.items.size());
        ASSERT_EQ(older.content.lyrics.items.size(), expected.content.lyrics.items.size());
        for (std::size_t v = 0; v < older.content.lyrics.items.size(); ++v) {
            ASSERT_EQ(older.content.lyrics.items[v].content.items.size(),
                      expected.content.lyrics.items[v].content.items.size());
            for (std::size_t i = 0; i < older.content.lyrics.items[v].content.items.size(); ++i)
                EXPECT_EQ(older.content.lyrics.items[v].content.items[i].text,
                          expected.content.lyrics.items[v].content.items[i].text);
        }
        // This version reads it all and writes it back as it was.
        QeDocument loaded;
        ASSERT_EQ(loadCode(extended, &loaded), 0) << c.name;
        EXPECT_EQ(save(loaded), extended) << c.name;
    }
}


// A metronome number printed as other than a number ("100–110") has an entry of its own: the
// tempo and measure mark entries keep their bytes, so an older version (which refuses bytes
// left over in them) plays and prints the number the mark holds, the tempo played.
TEST(Extension, PrintedTempoNumbersHaveAnEntryOfTheirOwn) {
    QeDocument doc = test::scoreOf({"1 2 3 4 | 5 6 7 1 | 1 2 3 4 |]"});
    doc.header.tempo = TempoMark{4, true, 105, u"", u"100–110"};
    MeasureMark slower;
    slower.measure = 1;
    slower.tempo = TempoMark{4, false, 60, u"稍慢", u"c. 60"};
    MeasureMark plain;
    plain.measure = 2;
    plain.tempo = TempoMark{4, false, 72, u""};
    doc.header.marks = {slower, plain};
    const Raw bytes = save(doc);

    // The tempo entry an older version reads is the mark with its number alone.
    EXPECT_EQ(extension::decodeTempoMark(extension::encodeTempoMark(doc.header.tempo)),
              (TempoMark{4, true, 105, u""}));
    const OlderDocument older = readAsOlder(bytes);
    EXPECT_EQ(older.content.notes.items[0].content.items, doc.noteTracks()[0].content.items);

    // This version reads every text back onto its mark and writes the file byte for byte.
    QeDocument loaded;
    ASSERT_EQ(loadCode(bytes, &loaded), 0);
    EXPECT_EQ(loaded.header.tempo, doc.header.tempo);
    EXPECT_EQ(loaded.header.marks, doc.header.marks);
    EXPECT_TRUE(loaded.header.extension.empty());
    EXPECT_EQ(save(loaded), bytes);

    // Marks without such a text write no entry: the file is the one written before.
    QeDocument numbers = doc;
    numbers.header.tempo.perMinuteText.clear();
    numbers.header.marks[0].tempo.perMinuteText.clear();
    EXPECT_TRUE(extension::encodePrintedTempos(numbers.header.tempo, numbers.header.marks).empty());
    EXPECT_LT(save(numbers).size(), bytes.size());

    // A mark an older version changed or moved keeps its new number and no stale text.
    const std::vector<unsigned char> entry =
        extension::encodePrintedTempos(doc.header.tempo, doc.header.marks);
    TempoMark changed{4, true, 110, u""};
    std::vector<MeasureMark> moved = numbers.header.marks;
    moved[0].measure = 0;
    extension::decodePrintedTempos(entry, changed, moved);
    EXPECT_TRUE(changed.perMinuteText.empty());
    EXPECT_TRUE(moved[0].tempo.perMinuteText.empty());

    // Places out of order, an empty text, a reserved byte set and short data are damage.
    const auto refused = [](const std::vector<unsigned char>& b) {
        TempoMark title;
        std::vector<MeasureMark> marks;
        return test::codeOf([&] { extension::decodePrintedTempos(b, title, marks); }) ==
               kMalformed;
    };
    std::vector<unsigned char> damaged = entry;
    damaged.at(4 + 26) = 0;  // the second mark's place (after 12 bytes and "100–110"): the first's
    EXPECT_TRUE(refused(damaged));
    damaged = entry;
    damaged.at(11) = 1;  // the reserved byte
    EXPECT_TRUE(refused(damaged));
    const std::vector<unsigned char> emptyText{1, 0, 0, 0, 0, 0, 0, 0, 4, 0, 0, 0, 60, 0, 0, 0};
    EXPECT_TRUE(refused(emptyText));
    for (std::size_t cut = 0; cut < entry.size(); ++cut)
        EXPECT_TRUE(refused({entry.begin(), entry.begin() + static_cast<std::ptrdiff_t>(cut)})) << cut;
    EXPECT_TRUE(refused({0xFF, 0xFF, 0xFF, 0x7F}));
}

}  // namespace
}  // namespace qe
