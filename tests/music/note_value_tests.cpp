#include <gtest/gtest.h>

#include <string>

#include "music/note_value.h"
#include "music/track_walk.h"
#include "support/error_code.h"
#include "support/notation.h"

namespace qe::music {
namespace {

constexpr Ticks Q = kTicksPerQuarter;

// Writes values as the notation of the tests: "5_ ." for a dotted eighth, "~" between tied
// pieces, separate rests for a rest spelling.
std::string text(const std::vector<NoteValue>& values, const std::string& joint) {
    std::string out;
    for (const NoteValue& v : values) {
        if (!out.empty())
            out += joint;
        out += "5" + std::string(static_cast<std::size_t>(v.underlines), '_');
        for (int i = 0; i < v.dots; ++i)
            out += " .";
        for (int i = 0; i < v.dashes; ++i)
            out += " -";
    }
    return out;
}

// The length the track walk gives the items of a value: what the editor will play and lay
// out, measured by the rhythm rules rather than by NoteValue itself.
Ticks walkedLength(const NoteValue& value) {
    std::vector<note> records;
    for (const Item& item : value.items(Item::digit(5)))
        records.push_back(encode(item));
    const TrackWalk walk = walkTrack(test::trackOf(records), Key());
    EXPECT_EQ(walk.notes.size(), 1u);
    return walk.notes.empty() ? 0 : walk.notes[0].length;
}

TEST(NoteValue, NotesAreWrittenAsTheKeyboardWritesThem) {
    struct Row {
        Ticks length;
        const char* written;
    };
    const Row kRows[] = {
        {Q, "5"},
        {Q / 2, "5_"},
        {15, "5_______"},
        {2 * Q, "5 -"},
        {3 * Q, "5 - -"},
        {4 * Q, "5 - - -"},
        {8 * Q, "5 - - - - - - -"},
        {Q * 3 / 2, "5 ."},
        {Q * 7 / 4, "5 . ."},
        {Q * 3 / 4, "5_ ."},
        {45, "5______ ."},
        // Lengths no single digit shows are tied: whole quarters first, then longest first.
        {Q * 5 / 2, "5 - ~ 5_"},
        {Q * 9 / 8, "5 ~ 5___"},
        {Q * 5 / 8, "5_ ~ 5___"},
        {Q * 15 / 16, "5_ . . ~ 5____"},
    };
    for (const Row& row : kRows)
        EXPECT_EQ(text(spellNote(row.length), " ~ "), row.written) << row.length;
}

TEST(NoteValue, EverySpellingAddsUpToItsLengthByTheRhythmRules) {
    for (Ticks length = kShortestTicks; length <= 9 * Q; length += kShortestTicks) {
        const std::vector<NoteValue> pieces = spellNote(length);
        Ticks sum = 0;
        int longPieces = 0;
        for (const NoteValue& piece : pieces) {
            EXPECT_EQ(walkedLength(piece), piece.length()) << text({piece}, "");
            sum += piece.length();
            longPieces += piece.length() >= Q ? 1 : 0;
        }
        ASSERT_EQ(sum, length);
        // Whole quarters go into one digit's dashes, so at most one piece is a quarter or more.
        EXPECT_LE(longPieces, 1) << length;
    }
}

TEST(NoteValue, RestsAreSeparateZerosWithoutDashes) {
    EXPECT_EQ(text(spellRest(Q), " "), "5");
    EXPECT_EQ(text(spellRest(3 * Q), " "), "5 5 5");
    EXPECT_EQ(text(spellRest(Q * 3 / 2), " "), "5 5_");
    EXPECT_EQ(text(spellRest(Q * 3 / 4), " "), "5_ .");
    for (Ticks length = kShortestTicks; length <= 6 * Q; length += kShortestTicks) {
        Ticks sum = 0;
        for (const NoteValue& rest : spellRest(length)) {
            EXPECT_EQ(rest.dashes, 0);
            EXPECT_LE(rest.length(), Q);
            sum += rest.length();
        }
        EXPECT_EQ(sum, length);
    }
}

TEST(NoteValue, ASilentMeasureIsItsBeatsOfZero) {
    EXPECT_EQ(text(spellMeasureRest(4 * Q, Meter{4, 4}), " "), "5 5 5 5");
    EXPECT_EQ(text(spellMeasureRest(4 * Q, Meter{2, 2}), " "), "5 5 5 5");
    EXPECT_EQ(text(spellMeasureRest(3 * Q, Meter{6, 8}), " "), "5 . 5 .");
    EXPECT_EQ(text(spellMeasureRest(Q * 3 / 2, Meter{3, 8}), " "), "5 .");
    EXPECT_EQ(text(spellMeasureRest(Q * 5 / 2, Meter{5, 8}), " "), "5 5 5_");
    // A measure shorter than its meter (a pickup) keeps its own length.
    EXPECT_EQ(text(spellMeasureRest(Q * 2, Meter{6, 8}), " "), "5 . 5_");
}

TEST(NoteValue, LengthsOffTheShortestValueAreRefused) {
    EXPECT_EQ(test::codeOf([] { spellNote(0); }), kOutOfRange);
    EXPECT_EQ(test::codeOf([] { spellNote(-15); }), kOutOfRange);
    EXPECT_EQ(test::codeOf([] { spellRest(16); }), kOutOfRange);
    EXPECT_EQ(test::codeOf([] { spellMeasureRest(7, Meter{}); }), kOutOfRange);
}

}  // namespace
}  // namespace qe::music
