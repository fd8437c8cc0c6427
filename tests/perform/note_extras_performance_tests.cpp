#include <gtest/gtest.h>

#include "music/note_marks.h"
#include "perform/performance.h"
#include "perform/smf_writer.h"
#include "support/notation.h"
#include "support/perform_records.h"
#include "support/smf_reader.h"

namespace qe::sound {
namespace {

constexpr Ticks Q = 1920;

QeDocument inC(std::initializer_list<std::string> tracks) {
    QeDocument doc = test::scoreOf(tracks);
    doc.header.keyLetter = 2;  // 1=C
    return doc;
}

struct Heard {
    int key;
    Ticks start;
    Ticks length;
    int velocity;
    friend bool operator==(const Heard&, const Heard&) = default;
};
void PrintTo(const Heard& h, std::ostream* out) {
    *out << "{" << h.key << ", " << h.start << ", " << h.length << ", v" << h.velocity << "}";
}

// The notes of the first note track as a MIDI file plays them.
std::vector<Heard> heard(const QeDocument& doc) {
    const test::SmfFile file = test::readSmf(writeSmf(test::performRecords(doc)));
    std::vector<Heard> out;
    for (const test::SmfNote& n : file.notesOf(1))
        out.push_back(Heard{n.key, n.start, n.length, n.velocity});
    return out;
}

TEST(PlayedExtras, TupletOnsetsAreExactInTicks) {
    // 2/4: a triplet of eighths, then a quarter; a quintuplet of sixteenths, then a quarter.
    QeDocument doc = inC({"1_ 2_ 3_ 4 | 1__ 2__ 3__ 4__ 5__ 6 |"});
    doc.header.timeNumerator = 2;
    test::addTuplet(doc, 0, 0, 2, 3, 2);
    test::addTuplet(doc, 0, 5, 9, 5, 4);
    const std::vector<Heard> notes = heard(doc);
    std::vector<Ticks> starts;
    for (const Heard& h : notes)
        starts.push_back(h.start);
    EXPECT_EQ(starts, (std::vector<Ticks>{0, 640, 1280, Q, 2 * Q, 2 * Q + 384, 2 * Q + 768,
                                          2 * Q + 1152, 2 * Q + 1536, 3 * Q}));
    EXPECT_EQ(notes[2].length, 640);
    EXPECT_EQ(notes[8].length, 384);
}

TEST(PlayedExtras, EveryToneOfAChordSoundsForTheNotesTime) {
    QeDocument doc = inC({"1 - 5 |"});
    test::changeExtra(doc, 0, 0, [](NoteExtra& e) { e.tones = {{3, 0, 0}, {5, 0, 1}}; });
    const std::vector<Heard> notes = heard(doc);
    ASSERT_EQ(notes.size(), 4u);
    EXPECT_EQ(notes[0], (Heard{60, 0, 2 * Q, kVelocity}));
    EXPECT_EQ(notes[1], (Heard{64, 0, 2 * Q, kVelocity}));
    EXPECT_EQ(notes[2], (Heard{68, 0, 2 * Q, kVelocity}));
    EXPECT_EQ(notes[3].start, 2 * Q);
}

TEST(PlayedExtras, GraceNotesTakeTheirTimeFromTheirNote) {
    QeDocument doc = inC({"3 5 |"});
    test::changeExtra(doc, 0, 0, [](NoteExtra& e) {
        e.graces = {{{2, 0, 0}, 2, false}, {{4, 0, 0}, 2, true}};
    });
    const std::vector<Heard> notes = heard(doc);
    ASSERT_EQ(notes.size(), 4u);
    EXPECT_EQ(notes[0], (Heard{62, 0, kGraceTicks, kVelocity}));           // before: at the start
    EXPECT_EQ(notes[1], (Heard{64, kGraceTicks, Q - 2 * kGraceTicks, kVelocity}));
    EXPECT_EQ(notes[2], (Heard{65, Q - kGraceTicks, kGraceTicks, kVelocity}));  // after: at its end
    EXPECT_EQ(notes[3].start, Q);  // the next note keeps its time
}

TEST(PlayedExtras, StaccatoShortensAccentStrikesHarderFermataHolds) {
    QeDocument doc = inC({"1 2 3 4 |", "5 6 7 1' |"});
    test::changeExtra(doc, 0, 0, [](NoteExtra& e) { e.articulations = articulation::kStaccato; });
    test::changeExtra(doc, 0, 1, [](NoteExtra& e) { e.articulations = articulation::kAccent; });
    test::changeExtra(doc, 0, 2, [](NoteExtra& e) { e.articulations = articulation::kFermata; });
    test::changeExtra(doc, 1, 2, [](NoteExtra& e) { e.articulations = articulation::kFermata; });
    const std::vector<Heard> notes = heard(doc);
    EXPECT_EQ(notes[0].length, Q / 2);
    EXPECT_EQ(notes[1].velocity, kAccentVelocity);
    EXPECT_EQ(notes[2].length, Q);  // ticks keep their count: the tempo holds the fermata
    const Performance p = test::performRecords(doc);
    // Both parts hold the same fermata: the tempo halves once, for the third beat only.
    ASSERT_EQ(p.tempos.size(), 3u);
    EXPECT_EQ(p.tempos[1].at, 2 * Q);
    EXPECT_EQ(p.tempos[1].tempo, kDefaultTempo / 2);
    EXPECT_EQ(p.tempos[2].at, 3 * Q);
    EXPECT_EQ(p.tempos[2].tempo, kDefaultTempo);
    // So the held beat lasts twice as long in seconds.
    EXPECT_NEAR(p.seconds(3 * Q) - p.seconds(2 * Q), 2 * (p.seconds(Q) - p.seconds(0)), 1e-9);
}

TEST(PlayedExtras, ATenutoNoteSoundsItsWholeTime) {
    // A breath after a plain note takes a little of it; after a tenuto note, nothing. Tenuto
    // over staccato is held too; a later version's mark changes nothing.
    QeDocument doc = inC({"1 v 2 v 3 4 |"});
    test::changeExtra(doc, 0, 2, [](NoteExtra& e) { e.articulations = articulation::kTenuto; });
    test::changeExtra(doc, 0, 4, [](NoteExtra& e) {
        e.articulations = articulation::kTenuto | articulation::kStaccato;
    });
    test::changeExtra(doc, 0, 5, [](NoteExtra& e) { e.articulations = 1u << 20; });
    const std::vector<Heard> notes = heard(doc);
    ASSERT_EQ(notes.size(), 4u);
    EXPECT_EQ(notes[0].length, Q - kBreathTicks);
    EXPECT_EQ(notes[1].length, Q);
    EXPECT_EQ(notes[2].length, Q);
    EXPECT_EQ(notes[3], (Heard{65, 3 * Q, Q, kVelocity}));
}

TEST(PlayedExtras, HostileExtrasPlayWithinBounds) {
    // Tones and graces beyond MIDI, a tuplet that cannot divide its time evenly, fifteen
    // grace notes on a sixteenth: nothing negative, nothing out of order.
    QeDocument doc = inC({"1_______ 2 3 |"});
    test::changeExtra(doc, 0, 0, [](NoteExtra& e) {
        for (int i = 0; i < 15; ++i)
            e.graces.push_back({{7, 3, 1}, 3, i % 2 == 1});
        e.tones = {{7, 3, 2}, {1, -3, 4}};
    });
    test::addTuplet(doc, 0, 0, 2, 13, 7);
    for (const PerformedTrack& t : test::performRecords(doc).tracks)
        for (std::size_t i = 0; i < t.notes.size(); ++i) {
            EXPECT_GT(t.notes[i].length, 0);
            EXPECT_GE(t.notes[i].start, 0);
            EXPECT_TRUE(t.notes[i].key >= 0 && t.notes[i].key <= 127);
            if (i > 0)
                EXPECT_LE(t.notes[i - 1].start, t.notes[i].start);
        }
}

}  // namespace
}  // namespace qe::sound
