#include "music/note_value.h"

#include "base/exception.h"

namespace qe::music {

namespace {

void checkLength(Ticks length) {
    if (length <= 0 || length % kShortestTicks != 0)
        throw Exception(kOutOfRange);
}

// A digit with `dots` dots after `underlines` underlines: each dot must add a whole number of
// shortest values, or it adds nothing and is not written.
bool dotsCount(int underlines, int dots) {
    return underlineTicks(underlines) % (kShortestTicks << dots) == 0;
}

// The longest single digit not longer than `length`; `length` is at least the shortest value.
NoteValue longestWithin(Ticks length) {
    NoteValue best{7, 0, 0};
    for (int underlines = 0; underlines <= 7; ++underlines)
        for (int dots = 0; dots <= 2; ++dots) {
            const NoteValue candidate{underlines, dots, 0};
            if (dotsCount(underlines, dots) && candidate.length() <= length &&
                candidate.length() > best.length())
                best = candidate;
        }
    return best;
}

}  // namespace

Ticks NoteValue::length() const {
    Ticks value = underlineTicks(underlines);
    Ticks total = value;
    for (int i = 0; i < dots; ++i) {
        value = value / (2 * kShortestTicks) * kShortestTicks;
        total += value;
    }
    return total + dashes * kTicksPerQuarter;
}

std::vector<Item> NoteValue::items(Item head) const {
    head.underlines = underlines;
    std::vector<Item> out{head};
    for (int i = 0; i < dots; ++i)
        out.push_back(Item::mark(Item::Kind::Dot));
    for (int i = 0; i < dashes; ++i)
        out.push_back(Item::mark(Item::Kind::Dash));
    return out;
}

std::optional<NoteValue> singleValue(Ticks length) {
    for (int underlines = 0; underlines <= 7; ++underlines) {
        for (int dots = 0; dots <= 2; ++dots) {
            const NoteValue value{underlines, dots, 0};
            if (dotsCount(underlines, dots) && value.length() == length)
                return value;
        }
    }
    return std::nullopt;
}

std::vector<NoteValue> spellNote(Ticks length) {
    checkLength(length);
    std::vector<NoteValue> pieces;
    while (length > 0) {
        if (const std::optional<NoteValue> single = singleValue(length)) {
            pieces.push_back(*single);
            break;
        }
        if (length >= kTicksPerQuarter) {
            const Ticks quarters = length / kTicksPerQuarter;
            pieces.push_back(NoteValue{0, 0, static_cast<int>(quarters - 1)});
            length -= quarters * kTicksPerQuarter;
            continue;
        }
        const NoteValue piece = longestWithin(length);
        pieces.push_back(piece);
        length -= piece.length();
    }
    return pieces;
}

std::vector<NoteValue> spellRest(Ticks length) {
    checkLength(length);
    std::vector<NoteValue> rests;
    for (; length > kTicksPerQuarter; length -= kTicksPerQuarter)
        rests.push_back(NoteValue{});
    while (length > 0) {
        const NoteValue rest = singleValue(length).value_or(longestWithin(length));
        rests.push_back(rest);
        length -= rest.length();
    }
    return rests;
}

std::vector<NoteValue> spellMeasureRest(Ticks length, const Meter& meter) {
    checkLength(length);
    // Halves and wholes are counted in quarters: a rest is not lengthened by dashes.
    Ticks beat = meter.beat();
    if (beat > kTicksPerQuarter && beat % kTicksPerQuarter == 0)
        beat = kTicksPerQuarter;
    const std::optional<NoteValue> one = singleValue(beat);
    std::vector<NoteValue> rests;
    if (one) {
        for (; length >= beat; length -= beat)
            rests.push_back(*one);
    }
    if (length > 0) {
        const std::vector<NoteValue> rest = spellRest(length);
        rests.insert(rests.end(), rest.begin(), rest.end());
    }
    return rests;
}

}  // namespace qe::music
