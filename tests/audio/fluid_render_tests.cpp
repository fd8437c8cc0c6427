#include <gtest/gtest.h>

#include "audio/fluid_renderer.h"
#include "audio/fluid_synth.h"
#include "audio/soundfont.h"
#include "audio/fluid_spectrum.h"
#include "support/notation.h"
#include "support/perform_records.h"

namespace qe::sound {
namespace {

class MemorySink : public ByteSink {
public:
    bool write(const unsigned char* data, std::size_t size) override {
        if (failAfter >= 0 && bytes.size() + size > static_cast<std::size_t>(failAfter))
            return false;
        bytes.insert(bytes.end(), data, data + size);
        return true;
    }
    std::vector<unsigned char> bytes;
    long failAfter = -1;
};

// The tests hear through the system's SoundFont; a machine without one skips them.
class WavRender : public ::testing::Test {
protected:
    void SetUp() override {
        soundFont = findSoundFont();
        if (soundFont.empty())
            GTEST_SKIP() << "no General MIDI SoundFont installed (tools/install-deps.sh installs "
                            "timgm6mb-soundfont)";
    }

    test::Wav render(const QeDocument& doc, const PerformanceOptions& options = {}) {
        MemorySink sink;
        const RenderResult result =
            renderWav(test::performRecords(doc, options), {.soundFont = soundFont}, sink);
        EXPECT_TRUE(result.ok()) << result.detail;
        return test::readWav(sink.bytes);
    }

    std::string soundFont;
};

TEST_F(WavRender, AnUndottedSixInOneEqualsCIsTheA440) {
    // Given one quarter note, 6 in 1=C, played at 60 a minute: a second of A4
    QeDocument doc = test::scoreOf({"6"});
    doc.header.keyLetter = 2;  // C
    const test::Wav wav = render(doc, {.tempo = 60});
    ASSERT_EQ(wav.sampleRate, 44100);
    // The file holds the performance and the sound dying away after it.
    EXPECT_EQ(wav.mono.size(), 44100u + 66150u);
    // Its strongest frequency, over most of the note, lies within 1 % of 440 Hz.
    const double hertz = test::strongestFrequency(wav.mono, 2205, 32768, wav.sampleRate);
    EXPECT_NEAR(hertz, 440.0, 4.4);
    EXPECT_GT(test::peak(wav.mono), 0.08f) << "heard loud enough";
}

TEST_F(WavRender, ARestOnlyScoreIsSilent) {
    const test::Wav wav = render(test::scoreOf({"0 0 | 0 - |]", "0 - - -"}));
    ASSERT_GT(wav.mono.size(), 44100u * 2);
    EXPECT_EQ(test::peak(wav.mono), 0.0f);
}

TEST_F(WavRender, AMelodySoundsItsNotesInOrder) {
    // 1=F, 3/4: 1 3 5 | 1' - 7 | 6 #4 - |: with an accidental and an octave dot, at 60 a
    // minute, each note heard over the middle of its time.
    QeDocument doc = test::scoreOf({"1 3 5 | 1' - 7 | 6 #4 - |]"});
    doc.header.keyLetter = 5;  // F
    doc.header.timeNumerator = 3;
    const test::Wav wav = render(doc, {.tempo = 60, .program = 73});  // a flute: few overtones
    const Performance p = test::performRecords(doc, {.tempo = 60});
    std::vector<int> expected, heard;
    for (const SoundedNote& n : p.tracks[0].notes) {
        expected.push_back(n.key);
        const auto first = static_cast<std::size_t>(p.seconds(n.start) * wav.sampleRate + 4410);
        heard.push_back(
            test::keyOfFrequency(test::strongestFrequency(wav.mono, first, 16384, wav.sampleRate)));
    }
    EXPECT_EQ(expected, (std::vector<int>{65, 69, 72, 77, 76, 74, 71}));
    EXPECT_EQ(heard, expected);
}

TEST_F(WavRender, AFailingSinkStopsTheRendering) {
    MemorySink sink;
    sink.failAfter = 10000;
    const RenderResult result =
        renderWav(test::performRecords(test::scoreOf({"1 2 3 4 5 6 7"})), {.soundFont = soundFont}, sink);
    EXPECT_EQ(result.status, RenderResult::kWriteFailed);
    EXPECT_LE(sink.bytes.size(), 10000u);
}

TEST(WavRenderFailure, AMissingSoundFontOrAnEndlessScoreWritesNothing) {
    MemorySink sink;
    const Performance p = test::performRecords(test::scoreOf({"1"}));
    RenderResult result = renderWav(p, {.soundFont = "/nonexistent/none.sf2"}, sink);
    EXPECT_EQ(result.status, RenderResult::kNoSoundFont);
    EXPECT_FALSE(result.detail.empty());
    result = renderWav(p, {.soundFont = ""}, sink);
    EXPECT_EQ(result.status, RenderResult::kNoSoundFont);
    // Seven hours at 20 a minute do not fit the 32-bit sizes of a WAV file.
    Performance endless = p;
    endless.tempo = kMinTempo;
    endless.length = endless.ticksAt(7 * 3600.0);
    result = renderWav(endless, {.soundFont = findSoundFont()}, sink);
    EXPECT_EQ(result.status, RenderResult::kTooLong);
    EXPECT_TRUE(sink.bytes.empty());
}

TEST(WavFormat, TheHeadCountsTheSamples) {
    const WavFormat format{22050, 2};
    const auto head = format.head(1000);
    const std::vector<unsigned char> expected = {
        'R',  'I',  'F', 'F', 0xC4, 0x0F, 0,   0,  // 36 + 4000
        'W',  'A',  'V', 'E', 'f',  'm',  't', ' ', 16,   0,    0, 0,
        1,    0,    2,   0,   0x22, 0x56, 0,   0,  // 22050
        0x88, 0x58, 1,   0,                        // 88200 bytes a second
        4,    0,    16,  0,   'd',  'a',  't', 'a', 0xA0, 0x0F, 0, 0};
    EXPECT_EQ(std::vector<unsigned char>(head.begin(), head.end()), expected);
    EXPECT_TRUE(format.fits((0xFFFFFFFFull - 36) / 4));
    EXPECT_FALSE(format.fits((0xFFFFFFFFull - 36) / 4 + 1));
}

TEST(LiveSynth, TheNullDriverPlaysWithoutADevice) {
    const std::string soundFont = findSoundFont();
    if (soundFont.empty())
        GTEST_SKIP() << "no General MIDI SoundFont installed";
    std::string error;
    const std::unique_ptr<FluidSynth> synth = FluidSynth::create(soundFont, 44100, error);
    ASSERT_NE(synth, nullptr) << error;
    ASSERT_TRUE(synth->startAudio({"no-such-driver", "null"}, error)) << error;
    synth->noteOn(0, 60, 100);
    synth->allNotesOff();
}

}  // namespace
}  // namespace qe::sound
