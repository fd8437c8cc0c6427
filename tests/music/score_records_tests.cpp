#include <gtest/gtest.h>

#include "music/score_records.h"
#include "music/track_walk.h"
#include "records/memory_io.h"
#include "support/lyrics_doc.h"
#include "support/notation.h"

namespace qe::music {
namespace {

std::vector<unsigned char> bytesOf(QeDocument doc) {
    MemoryIO io;
    doc.serialize(io, true);
    return io.bytes();
}

TEST(ScoreRecords, ALoadedScoreIsSavedByteForByte) {
    // Given a document as the editor writes one: accidentals, marks, several tracks, ties and
    // brackets, two verses with a syllable that names no note
    QeDocument doc = test::scoreWithShapes({"1~ #2 - . | { v ( b3_ ) 0 | } 4 |]", "5, - | 6 |]"});
    test::addSyllable(doc, 0, 0, 0, u"la");
    test::addSyllable(doc, 1, 0, 1, u"li-");
    test::addSyllable(doc, 1, 1, 0, u"lo");
    test::addSyllable(doc, 1, 0, 4, u"on a bar line");
    doc.header.title = u"歌";
    // When it is loaded into a score and written back
    Score score;
    const LoadReport report = scoreFromRecords(doc, score);
    // Then nothing was left out and the bytes are the same
    EXPECT_EQ(report.droppedShapes, 0);
    EXPECT_EQ(bytesOf(recordsOfScore(score)), bytesOf(doc));
    EXPECT_EQ(score.verseCounts(0), (std::vector<int>{1, 1}));
    EXPECT_EQ(score.verseCounts(1), (std::vector<int>{0, 1}));
    ASSERT_EQ(score.kept().lyricsRecords.size(), 2u);
    EXPECT_EQ(score.kept().lyricsRecords[1].size(), 1u);
}

TEST(ScoreRecords, RecordsThisEditorDoesNotKnowAreKeptWhereTheyStand) {
    // An unknown item class, a bar line with bit 3 set (the measure goes on), a mark type
    // above 4, and skipped records after the last bar line; format records of other kinds;
    // chunk tags' reserved words.
    QeDocument doc = test::scoreOf({"1 2 |]"});
    auto& records = doc.noteTracks()[0].content.items;
    records.insert(records.begin() + 1, note(0x2000, 0x1234));
    records.insert(records.begin() + 3, note(0x0C09, 0));
    records.insert(records.begin() + 3, note(0, 0, 1, 6));
    records.push_back(note(0x3000, 7));
    doc.noteTracks()[0].tag.reserved = 77;
    doc.tag.reserved = 5;
    test::addFormat(doc, 2, 0, 0, 1);
    Score score;
    const LoadReport report = scoreFromRecords(doc, score);
    EXPECT_EQ(report.skippedRecords, 4);
    EXPECT_EQ(report.otherFormats, 1);
    ASSERT_EQ(score.measureCount(0), 1);
    EXPECT_EQ(score.measure(0, 0).entries.size(), 6u);  // 1 ? 2 ? ? |]
    EXPECT_EQ(score.track(0).trailing.size(), 1u);
    EXPECT_EQ(bytesOf(recordsOfScore(score)), bytesOf(doc));
}

TEST(ScoreRecords, AnOpenLastMeasureStaysOpen) {
    QeDocument doc = test::scoreOf({"1 | 2 3"});
    test::addFormat(doc, 4, 0, 1, 4);  // a bracket up to the open measure's would-be bar line
    Score score;
    EXPECT_EQ(scoreFromRecords(doc, score).droppedShapes, 0);
    ASSERT_EQ(score.measureCount(0), 2);
    EXPECT_FALSE(score.measure(0, 1).closed());
    EXPECT_EQ(score.measure(0, 1).barType(), 0);
    ASSERT_EQ(score.voltas().size(), 1u);
    EXPECT_EQ(score.voltas()[0].to, 1);
    EXPECT_EQ(bytesOf(recordsOfScore(score)), bytesOf(doc));
}

TEST(ScoreRecords, StoredShapesThatNameNothingAreLeftOut) {
    QeDocument doc = test::scoreOf({"1 2 3 | 4 5 |", "6 7 |"});
    test::addFormat(doc, 1, 0, 0, 99);  // missing end
    test::addFormat(doc, 1, 0, 2, 0);   // reverse order
    test::addFormat(doc, 1, 0, 0, 3);   // a bar line is not a note
    test::addFormat(doc, 4, 0, 0, 1);   // notes are not measures
    Format across;                      // ends on different tracks
    across.type = 1;
    across.from = location(1, 0, 0);
    across.to = location(1, 1, 0);
    doc.formatRecords().push_back(across);
    test::addFormat(doc, 4, 7, 0, 1);  // a track that does not exist
    test::addFormat(doc, 1, 0, 1, 4);  // a good tie across the bar line
    Score score;
    EXPECT_EQ(scoreFromRecords(doc, score).droppedShapes, 6);
    ASSERT_EQ(score.ties().size(), 1u);
    EXPECT_EQ(score.ties()[0], (Tie{0, {0, 1}, {1, 0}}));
    // A save writes the one that names its notes.
    const QeDocument saved = recordsOfScore(score);
    ASSERT_EQ(saved.formatRecords().size(), 1u);
    EXPECT_EQ(saved.formatRecords()[0].from.itemIndex, 1);
    EXPECT_EQ(saved.formatRecords()[0].to.itemIndex, 4);
}

TEST(ScoreRecords, ItemIndicesAndPlacesNameEachOther) {
    // Given two tracks with accidentals, marks and an open last measure
    const auto score = test::scoreFrom(test::scoreOf({"1 #2 - . | v ( b3_ ) 0 |: 4", "5, - |]"}));
    for (int t = 0; t < 2; ++t) {
        const Track& track = score->track(t);
        const TrackWalk walk = walkTrack(track, Key());
        for (std::size_t i = 0; i < walk.items.size(); ++i) {
            const std::optional<EntryRef> at = entryOfItem(track, static_cast<int>(i));
            ASSERT_TRUE(at) << t << " " << i;
            // A bar line names its measure; every other item its entry.
            EXPECT_EQ(at->entry < 0, walk.items[i].item.isBarLine()) << i;
            const int back =
                at->entry < 0 ? barItemIndex(track, at->measure) : itemIndexOf(track, *at);
            EXPECT_EQ(back, static_cast<int>(i));
        }
        // The open last measure of the first track is named by the index after its items.
        const std::optional<EntryRef> past =
            entryOfItem(track, static_cast<int>(walk.items.size()));
        EXPECT_EQ(past.has_value(), t == 0);
    }
    EXPECT_EQ(entryOfItem(score->track(0), -1), std::nullopt);
    EXPECT_EQ(itemIndexOf(score->track(0), {0, 9}), -1);
}

TEST(ScoreRecords, ItemsPastWhatALocationHoldsAreNumberedOn) {
    // 20000 measures of "1 |": 40000 items, beyond the 32768 a stored location can name.
    QeDocument doc;
    note_track track;
    for (int m = 0; m < 20000; ++m) {
        track.content.items.push_back(note(0, 1 + m % 7, 0, 0));
        track.content.items.push_back(note::barLine(0));
    }
    doc.noteTracks().push_back(std::move(track));
    const auto score = test::scoreFrom(doc);
    EXPECT_EQ(entryOfItem(score->track(0), 39999), (EntryRef{19999, -1}));
    EXPECT_EQ(itemIndexOf(score->track(0), {19999, 0}), 39998);
}

}  // namespace
}  // namespace qe::music
