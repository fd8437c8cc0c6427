#include <gtest/gtest.h>

#include <ostream>

#include "support/error_code.h"

#include "music/accidental_state.h"
#include "music/pitch.h"
#include "music/track_walk.h"
#include "support/notation.h"

namespace qe::music {

void PrintTo(const Pitch& p, std::ostream* out) {
    *out << "CDEFGAB"[((p.step % 7) + 7) % 7] << (p.alter >= 0 ? "+" : "") << p.alter << " "
         << p.octave;
}
void PrintTo(const ScaleNote& n, std::ostream* out) {
    *out << "degree " << n.degree << " octave " << n.octave << " accidental " << n.accidental;
}

namespace {

enum Step { C, D, E, F, G, A, B };

const Key kC(C, 0), kG(G, 0), kF(F, 0), kBb(B, -1), kFs(F, 1), kEb(E, -1), kA(A, 0);

// The MIDI numbers of the digits of a track, and their spellings.
std::vector<int> midis(const Key& key, const std::string& track) {
    std::vector<int> out;
    for (const SoundingNote& n : walkTrack(test::trackOf(test::parseTrack(track)), key).notes)
        if (n.pitch)
            out.push_back(n.pitch->midi());
    return out;
}
std::vector<Pitch> spelled(const Key& key, const std::string& track) {
    std::vector<Pitch> out;
    for (const SoundingNote& n : walkTrack(test::trackOf(test::parseTrack(track)), key).notes)
        if (n.pitch)
            out.push_back(*n.pitch);
    return out;
}

TEST(Pitch, TheDegreesOfEachKey) {
    struct Row {
        Key key;
        std::vector<int> scale;  // MIDI of 1..7 without dots
    };
    const Row kRows[] = {
        {kC, {60, 62, 64, 65, 67, 69, 71}},   // middle C up
        {kG, {55, 57, 59, 60, 62, 64, 66}},   // G3 up to F#4
        {kF, {65, 67, 69, 70, 72, 74, 76}},   // F4, B flat
        {kBb, {58, 60, 62, 63, 65, 67, 69}},  // B flat 3
        {kFs, {66, 68, 70, 71, 73, 75, 77}},  // F sharp 4, E sharp 5
        {kEb, {63, 65, 67, 68, 70, 72, 74}},  // E flat 4
        {kA, {57, 59, 61, 62, 64, 66, 68}},   // A3, C sharp, F sharp, G sharp
    };
    for (const Row& row : kRows)
        EXPECT_EQ(midis(row.key, "1 2 3 4 5 6 7"), row.scale) << row.key.step();
    EXPECT_EQ(spelled(kFs, "7 4"), (std::vector<Pitch>{{E, 1, 5}, {B, 0, 4}}));
    EXPECT_EQ(spelled(Key(B, 0), "1 2"), (std::vector<Pitch>{{B, 0, 3}, {C, 1, 4}}));
    EXPECT_EQ(spelled(kBb, "4"), (std::vector<Pitch>{{E, -1, 4}}));
}

TEST(Pitch, OctaveDotsMoveByOctaves) {
    EXPECT_EQ(midis(kC, "1' 1'' 1, 1,, 7, 7'"), (std::vector<int>{72, 84, 48, 36, 59, 83}));
    EXPECT_EQ(midis(kG, "1, 1' 4 4' 7,,"), (std::vector<int>{43, 67, 60, 72, 42}));
    EXPECT_EQ(spelled(kA, "3 3'"), (std::vector<Pitch>{{C, 1, 4}, {C, 1, 5}}));
}

TEST(Pitch, AccidentalsHoldInTheirMeasureForTheirDegreeAndOctave) {
    struct Row {
        Key key;
        const char* track;
        std::vector<int> midi;
    };
    const Row kRows[] = {
        // carried, cancelled by a natural, gone after the bar line
        {kC, "#4 4 n4 4 | 4", {66, 66, 65, 65, 65}},
        // another octave of the same degree is not touched
        {kC, "#4 4' 4, 4", {66, 77, 53, 66}},
        {kC, "B7 7 | 7", {69, 69, 71}},
        // relative to the key's degree: in 1=F, #4 is B and b4 B double flat
        {kF, "4 #4 4 b4 4 n4 4 | b4 / 4", {70, 71, 71, 69, 69, 70, 70, 69, 70}},
        {kG, "7 b7 7 | 7", {66, 65, 65, 66}},
        {kBb, "4 #4 4 | 4 x4 4", {63, 64, 64, 63, 65, 65}},
        {kFs, "7 #7 n7 | 7", {77, 78, 77, 77}},
        {kEb, "b2 2 2' | 2", {64, 64, 77, 65}},
        {kA, "7 b7 7, 7 | 7", {68, 67, 56, 67, 68}},
        // skipped bar types close no measure; rests and marks leave accidentals alone
        {kC, "#1 0 - v 1", {61, 61}},
    };
    for (const Row& row : kRows)
        EXPECT_EQ(midis(row.key, row.track), row.midi) << row.track;
    EXPECT_EQ(spelled(kF, "#4 b4 n4"), (std::vector<Pitch>{{B, 0, 4}, {B, -2, 4}, {B, -1, 4}}));
    EXPECT_EQ(spelled(kG, "b7"), (std::vector<Pitch>{{F, 0, 4}}));
    std::vector<note> track = test::parseTrack("#1 1");
    track.insert(track.begin() + 1, note(0x0C08, 0));
    EXPECT_EQ(walkTrack(test::trackOf(track), kC).notes[1].pitch->midi(), 61);
}

TEST(Pitch, FromASpellingBackToTheDegree) {
    struct Row {
        Key key;
        Pitch pitch;
        std::optional<ScaleNote> note;
    };
    const Row kRows[] = {
        {kF, {B, 0, 4}, ScaleNote{4, 0, 1}},  // B is #4 in 1=F
        {kF, {B, -1, 4}, ScaleNote{4, 0, 0}},
        {kF, {B, -2, 4}, ScaleNote{4, 0, 3}},
        {kF, {B, 1, 4}, ScaleNote{4, 0, 2}},
        {kF, {B, 2, 4}, std::nullopt},  // three semitones above the key's B flat
        {kC, {B, -1, 4}, ScaleNote{7, 0, 3}},
        {kC, {C, 0, 5}, ScaleNote{1, 1, 0}},
        {kC, {B, 0, 3}, ScaleNote{7, -1, 0}},
        {kG, {F, 0, 4}, ScaleNote{7, 0, 3}},
        {kG, {C, 0, 4}, ScaleNote{4, 0, 0}},
        {kG, {G, 0, 4}, ScaleNote{1, 1, 0}},
        {kA, {G, 0, 3}, ScaleNote{7, -1, 3}},
        {kC, {C, 0, 13}, std::nullopt},  // more dots than a record holds
    };
    for (const Row& row : kRows)
        EXPECT_EQ(row.key.noteOf(row.pitch), row.note) << row.key.step();
}

TEST(Pitch, FromMidiToTheMostNaturalSpelling) {
    struct Row {
        Key key;
        int midi;
        ScaleNote note;
    };
    const Row kRows[] = {
        {kC, 60, {1, 0, 0}},  {kC, 61, {1, 0, 1}},  {kC, 63, {3, 0, 3}},   {kC, 66, {4, 0, 1}},
        {kC, 68, {5, 0, 1}},  {kC, 70, {7, 0, 3}},  {kC, 72, {1, 1, 0}},   {kC, 59, {7, -1, 0}},
        {kC, 21, {6, -4, 0}}, {kC, 108, {1, 4, 0}}, {kF, 70, {4, 0, 0}},   {kF, 71, {4, 0, 1}},
        {kG, 65, {7, 0, 3}},  {kG, 54, {7, -1, 0}}, {kEb, 62, {7, -1, 0}}, {kEb, 64, {1, 0, 1}},
    };
    for (const Row& row : kRows)
        EXPECT_EQ(row.key.noteOfMidi(row.midi), row.note) << row.midi;
    EXPECT_EQ(test::codeOf([] { kC.noteOfMidi(128); }), kOutOfRange);
    EXPECT_EQ(test::codeOf([] { kC.noteOfMidi(-1); }), kOutOfRange);
}

std::vector<Key> everyKey() {
    std::vector<Key> keys;
    for (int step = 0; step < 7; ++step)
        for (int alter = -1; alter <= 1; ++alter)
            keys.emplace_back(step, alter);
    return keys;
}

TEST(PitchProperty, MidiToDegreeAndBackIsTheIdentityInEveryKey) {
    for (const Key& key : everyKey()) {
        for (int midi = 21; midi <= 108; ++midi) {
            const ScaleNote n = key.noteOfMidi(midi);
            ASSERT_EQ(key.pitchOf(n.degree, n.octave, shiftOf(n.accidental).value_or(0)).midi(),
                      midi)
                << "key " << key.step() << "/" << key.alter() << " midi " << midi;
        }
    }
}

TEST(PitchProperty, SpellingToDegreeAndBackIsTheIdentityForEveryWrittenNote) {
    for (const Key& key : everyKey()) {
        for (int degree = 1; degree <= 7; ++degree)
            for (int octave = -3; octave <= 3; ++octave)
                for (int code = 0; code <= 4; ++code) {
                    const Pitch p = key.pitchOf(degree, octave, shiftOf(code).value_or(0));
                    ASSERT_EQ(key.noteOf(p), (ScaleNote{degree, octave, code}))
                        << "key " << key.step() << "/" << key.alter() << " degree " << degree;
                }
        // Every spelling a staff writes either has its note or lies out of reach.
        for (int step = 0; step < 7; ++step)
            for (int alter = -2; alter <= 2; ++alter) {
                const Pitch p{step, alter, 4};
                if (const auto n = key.noteOf(p)) {
                    ASSERT_EQ(key.pitchOf(n->degree, n->octave, shiftOf(n->accidental).value_or(0)),
                              p);
                }
            }
    }
}

TEST(Pitch, KeysOfTheTitleBlock) {
    EXPECT_EQ(Key::fromTitle(0, 0), Key(A, 0));
    EXPECT_EQ(Key::fromTitle(1, 2), Key(B, -1));
    EXPECT_EQ(Key::fromTitle(2, 0), Key(C, 0));
    EXPECT_EQ(Key::fromTitle(4, 2), Key(E, -1));
    EXPECT_EQ(Key::fromTitle(5, 1), Key(F, 1));
    EXPECT_EQ(Key::fromTitle(6, 0), Key(G, 0));
    EXPECT_EQ(Key::fromTitle(6, 9), Key(G, 0));  // shown without a sign
    EXPECT_EQ(Key::fromTitle(7, 0), std::nullopt);
    EXPECT_EQ(test::codeOf([] { Key(7, 0); }), kOutOfRange);
    EXPECT_EQ(test::codeOf([] { Key(0, 2); }), kOutOfRange);
    EXPECT_EQ(test::codeOf([] { kC.pitchOf(0, 0); }), kOutOfRange);
}

TEST(AccidentalState, WritersPutOnlyTheAccidentalsAReaderNeeds) {
    // Given F sharp, F sharp, F, F sharp and after the bar line F, in 1=C
    AccidentalState state;
    const int kShifts[] = {1, 1, 0, 1};
    const int kCodes[] = {1, 0, 5, 1};
    for (int i = 0; i < 4; ++i) {
        const int code = state.codeToWrite(4, 0, kShifts[i]);
        EXPECT_EQ(code, kCodes[i]) << i;
        EXPECT_EQ(state.apply(4, 0, code), kShifts[i]) << i;
    }
    state.reset();
    EXPECT_EQ(state.codeToWrite(4, 0, 0), 0);
    EXPECT_EQ(state.codeToWrite(4, 0, -2), 4);
    EXPECT_EQ(test::codeOf([&] { state.codeToWrite(4, 0, 3); }), kOutOfRange);
    // Codes without a meaning leave the state as it was.
    state.apply(2, 1, 3);
    EXPECT_EQ(state.apply(2, 1, 6), -1);
    EXPECT_EQ(state.inForce(2, 0), 0);
}

}  // namespace
}  // namespace qe::music
