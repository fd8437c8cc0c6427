#include "music/measure_check.h"

#include <cmath>
#include <cstdio>

#include "music/rhythm.h"

namespace qe::music {

Ticks measureLength(const Measure& measure) {
    MeasureClock clock;
    for (const Entry& entry : measure.entries)
        if (const std::optional<Item> item = entry.item(); item && !item->isBarLine())
            clock.place(*item, &entry.extras().tuplets);
    return clock.position();
}

std::vector<int> misfitMeasures(const std::vector<Ticks>& lengths, Ticks expected,
                                bool lastIsEmpty) {
    return misfitMeasures(lengths, std::vector<Ticks>(lengths.size(), expected), lastIsEmpty);
}

namespace {

// Whether measure m is flagged (see misfitMeasures).
bool misfits(const std::vector<Ticks>& lengths, const std::vector<Ticks>& expected, int m,
             bool lastIsEmpty) {
    const int count = static_cast<int>(lengths.size());
    const Ticks want = expected[static_cast<std::size_t>(m)];
    const Ticks length = lengths[static_cast<std::size_t>(m)];
    const int last = lastIsEmpty ? count - 2 : count - 1;
    if (want <= 0 || length == want || m > last)
        return false;
    if (m == 0 && length < want)
        return false;  // a pickup
    const Ticks first = expected.front();
    const Ticks pickup = first > 0 && lengths[0] < first ? lengths[0] : 0;
    // The last measure completes the pickup.
    return !(m == last && m > 0 && pickup > 0 && length + pickup == want);
}

}  // namespace

std::vector<int> misfitMeasures(const std::vector<Ticks>& lengths,
                                const std::vector<Ticks>& expected, bool lastIsEmpty) {
    std::vector<int> flagged;
    for (int m = 0; m < static_cast<int>(lengths.size()); ++m)
        if (misfits(lengths, expected, m, lastIsEmpty))
            flagged.push_back(m);
    return flagged;
}

namespace {

// The last measure holds nothing yet: where the next notes will be typed, before the final bar
// line of a new score, or after the last bar line typed.
bool lastIsEmpty(const Track& track) {
    return !track.measures.empty() && track.measures.back().contentCount() == 0;
}

}  // namespace

std::vector<MeasureMisfit> checkMeasures(const Score& score) {
    std::vector<MeasureMisfit> misfits;
    const Attributes attributes(score.header());
    for (int t = 0; t < score.trackCount(); ++t) {
        const Track& track = score.track(t);
        std::vector<Ticks> lengths;
        std::vector<Ticks> expected;
        lengths.reserve(track.measures.size());
        for (const Measure& m : track.measures) {
            expected.push_back(attributes.expectedLength(static_cast<int>(lengths.size())));
            lengths.push_back(measureLength(m));
        }
        for (int m : misfitMeasures(lengths, expected, lastIsEmpty(track)))
            misfits.push_back({t, m, lengths[static_cast<std::size_t>(m)],
                               expected[static_cast<std::size_t>(m)], attributes.meterAt(m)});
    }
    return misfits;
}

MeasureCheck::MeasureCheck(Score& score) : score_(score) {
    score_.addObserver(this);
    countAll();
}

MeasureCheck::~MeasureCheck() {
    score_.removeObserver(this);
}

void MeasureCheck::countAll() {
    attributes_ = Attributes(score_.header());
    lengths_.assign(static_cast<std::size_t>(score_.trackCount()), {});
    for (int t = 0; t < score_.trackCount(); ++t)
        for (const Measure& m : score_.track(t).measures)
            lengths_[static_cast<std::size_t>(t)].push_back(measureLength(m));
}

void MeasureCheck::scoreChanged(const ScoreChange& change) {
    if (change.kind == ScoreChange::Kind::Header)
        attributes_ = Attributes(score_.header());
    if (change.kind == ScoreChange::Kind::Reset ||
        static_cast<int>(lengths_.size()) != score_.trackCount()) {
        countAll();
        return;
    }
    if (change.kind != ScoreChange::Kind::Measures || change.track < 0 ||
        change.track >= score_.trackCount())
        return;
    std::vector<Ticks>& lengths = lengths_[static_cast<std::size_t>(change.track)];
    const auto first = static_cast<std::ptrdiff_t>(change.measure);
    if (change.measure < 0 || first + change.removed > static_cast<std::ptrdiff_t>(lengths.size())) {
        countAll();
        return;
    }
    lengths.erase(lengths.begin() + first, lengths.begin() + first + change.removed);
    std::vector<Ticks> added;
    for (int m = change.measure; m < change.measure + change.added; ++m)
        added.push_back(measureLength(score_.measure(change.track, m)));
    lengths.insert(lengths.begin() + first, added.begin(), added.end());
}

bool MeasureCheck::flagged(int t, int m) const {
    const std::vector<Ticks>& lengths = lengths_[static_cast<std::size_t>(t)];
    const int count = static_cast<int>(lengths.size());
    // The rules of misfitMeasures, for one measure: it needs what the first, the last and this
    // one should hold.
    std::vector<Ticks> expected(lengths.size(), 0);
    for (int i : {0, count - 2, count - 1, m})
        if (i >= 0 && i < count)
            expected[static_cast<std::size_t>(i)] = attributes_.expectedLength(i);
    return music::misfits(lengths, expected, m, lastIsEmpty(score_.track(t)));
}

std::optional<MeasureMisfit> MeasureCheck::misfit(int t, int m) const {
    if (t < 0 || t >= static_cast<int>(lengths_.size()) || m < 0 ||
        m >= static_cast<int>(lengths_[static_cast<std::size_t>(t)].size()) || !flagged(t, m))
        return std::nullopt;
    return MeasureMisfit{t, m, lengths_[static_cast<std::size_t>(t)][static_cast<std::size_t>(m)],
                         attributes_.expectedLength(m), attributes_.meterAt(m)};
}

std::vector<MeasureMisfit> MeasureCheck::misfits() const {
    std::vector<MeasureMisfit> all;
    for (int t = 0; t < static_cast<int>(lengths_.size()); ++t)
        for (int m = 0; m < static_cast<int>(lengths_[static_cast<std::size_t>(t)].size()); ++m)
            if (std::optional<MeasureMisfit> f = misfit(t, m))
                all.push_back(*f);
    return all;
}

Ticks countedBeat(const Meter& meter) {
    return meter.denominator > 0 ? kWholeTicks / meter.denominator : kTicksPerQuarter;
}

namespace {

// Whole beats and the quarters of a beat left, when the ticks are a whole number of quarter
// beats; nothing otherwise.
std::optional<std::pair<Ticks, int>> quarterBeats(Ticks ticks, Ticks beat) {
    if (beat <= 0 || (ticks * 4) % beat != 0)
        return std::nullopt;
    const Ticks quarters = ticks * 4 / beat;
    return std::pair{quarters / 4, static_cast<int>(quarters % 4)};
}

std::string decimal(Ticks ticks, Ticks beat) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", beat > 0 ? double(ticks) / double(beat) : 0.0);
    return text;
}

}  // namespace

std::string beatsText(Ticks ticks, Ticks beat) {
    const auto parts = quarterBeats(ticks, beat);
    if (!parts)
        return decimal(ticks, beat);
    static const char* const kFractions[] = {"", "¼", "½", "¾"};
    const auto [whole, quarter] = *parts;
    if (whole == 0 && quarter != 0)
        return kFractions[quarter];
    return std::to_string(whole) + kFractions[quarter];
}

std::u16string beatsWords(Ticks ticks, Ticks beat) {
    const auto number = [](Ticks n) {
        const std::string s = std::to_string(n);
        return std::u16string(s.begin(), s.end());
    };
    const auto parts = quarterBeats(ticks, beat);
    if (!parts) {
        const std::string s = decimal(ticks, beat);
        return std::u16string(s.begin(), s.end()) + u"拍";
    }
    const auto [whole, quarter] = *parts;
    switch (quarter) {
        case 0:
            return number(whole) + u"拍";
        case 2:
            return whole == 0 ? u"半拍" : number(whole) + u"拍半";
        default: {
            const std::u16string part = quarter == 1 ? u"四分之一拍" : u"四分之三拍";
            return whole == 0 ? part : number(whole) + u"又" + part;
        }
    }
}

std::string beatsInEnglish(Ticks ticks, Ticks beat) {
    const auto parts = quarterBeats(ticks, beat);
    if (parts && parts->first == 0) {
        switch (parts->second) {
            case 1:
                return "a quarter of a beat";
            case 2:
                return "half a beat";
            case 3:
                return "three quarters of a beat";
            default:
                break;
        }
    }
    const std::string number = beatsText(ticks, beat);
    return number + (number == "1" ? " beat" : " beats");
}

}  // namespace qe::music
