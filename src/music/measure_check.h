#pragma once

#include <optional>
#include <string>
#include <vector>

#include "music/attributes.h"
#include "music/meter.h"
#include "music/score.h"

namespace qe::music {

// The time the items of a measure take, as the rhythm walk counts them (MeasureClock): what
// MeasureSpan::length of the walk says for the measure.
Ticks measureLength(const Measure& measure);

// A measure whose length is not the meter's.
struct MeasureMisfit {
    int track = 0;
    int measure = 0;    // 0-based
    Ticks length = 0;   // what its items take
    Ticks expected = 0; // what the meter asks
    Meter meter;        // the measure's time signature
    friend bool operator==(const MeasureMisfit&, const MeasureMisfit&) = default;
};

// Which measures of a track with these lengths do not add up to `expected`. The first measure
// may be shorter (a pickup), and the last may then be shorter by as much, so that the two make
// one measure together; a last measure that holds nothing yet (where notes are about to be
// typed) is not counted. A meter with no length flags nothing.
std::vector<int> misfitMeasures(const std::vector<Ticks>& lengths, Ticks expected,
                                bool lastIsEmpty);
// The same with each measure's own expected length (0: free meter, never flagged), as meter
// changes give them.
std::vector<int> misfitMeasures(const std::vector<Ticks>& lengths,
                                const std::vector<Ticks>& expected, bool lastIsEmpty);

// Every measure of a score that does not add up, track by track.
std::vector<MeasureMisfit> checkMeasures(const Score& score);

// The measure lengths of a score kept up to date while it is edited: each change counts only
// the measures it touched, so that the check costs nothing per keystroke on a long score.
class MeasureCheck : public ScoreObserver {
public:
    explicit MeasureCheck(Score& score);
    ~MeasureCheck() override;
    MeasureCheck(const MeasureCheck&) = delete;
    MeasureCheck& operator=(const MeasureCheck&) = delete;

    // The misfit of one measure, or nothing when it adds up (or does not exist).
    std::optional<MeasureMisfit> misfit(int track, int measure) const;
    // Every misfit in score order.
    std::vector<MeasureMisfit> misfits() const;

    void scoreChanged(const ScoreChange& change) override;

private:
    void countAll();
    bool flagged(int track, int measure) const;

    Score& score_;
    Attributes attributes_;
    std::vector<std::vector<Ticks>> lengths_;  // per track, per measure
};

// A number of beats as a musician writes it: whole beats with ½, ¼ or ¾ ("3½", "¾"), other
// fractions as decimals ("2.33").
std::string beatsText(Ticks ticks, Ticks beat);
// The same in words for the status bar: "半拍", "1拍", "1拍半", "四分之一拍", "0.33拍".
std::u16string beatsWords(Ticks ticks, Ticks beat);
// The same in English words: "half a beat", "1 beat", "1½ beats", "a quarter of a beat".
std::string beatsInEnglish(Ticks ticks, Ticks beat);
// The length of one counted beat: the note the time signature's lower number names (an
// eighth in 6/8, whose measure holds six such beats).
Ticks countedBeat(const Meter& meter);

}  // namespace qe::music
