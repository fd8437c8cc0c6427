#include "edit/note_extras.h"

#include <algorithm>

#include "music/chord_symbol.h"
#include "music/note_marks.h"

namespace qe {

using music::EntryRef;
using music::Item;

namespace {

// The height of a tone on the scale, to compare tones by: octave dots count seven degrees.
int heightOf(const NoteTone& tone) {
    return tone.octave * 7 + tone.degree;
}

NoteTone toneOf(const Item& item) {
    return NoteTone{static_cast<std::uint8_t>(item.degree), static_cast<std::int8_t>(item.octave),
                    static_cast<std::uint8_t>(item.accidental)};
}

// Replaces the extras of an item, as one change.
void replaceExtra(Edits& edits, int track, EntryRef at, NoteExtra after) {
    const NoteExtra& before = edits.score.entry(track, at).extras();
    if (before == after)
        return;
    edits.make(change::SetExtra{track, at, before, std::move(after)});
}

std::optional<Item> itemAt(const music::Score& score, int track, EntryRef at) {
    if (!score.isContentItem(track, at))
        return std::nullopt;
    return score.entry(track, at).item();
}

}  // namespace

std::optional<EntryRef> noteBefore(const music::Score& score, const Position& caret) {
    if (caret.track < 0 || caret.track >= score.trackCount() || caret.measure < 0 ||
        caret.measure >= score.measureCount(caret.track))
        return std::nullopt;
    const music::Measure& m = score.measure(caret.track, caret.measure);
    // Between an accidental and its digit the note is the one after the caret.
    int e = caret.inner ? caret.entry + 1 : caret.entry;
    for (e = itemBefore(m, e); e >= 0; e = itemBefore(m, e)) {
        const std::optional<Item> item = m.entries[static_cast<std::size_t>(e)].item();
        if (item && item->isNoteOrRest())
            return EntryRef{caret.measure, e};
        if (item && item->kind != Item::Kind::Dash && item->kind != Item::Kind::Dot)
            return std::nullopt;
    }
    return std::nullopt;
}

namespace {

// The first digit or rest of a track from entry `e` of measure `m` on.
std::optional<EntryRef> firstNoteFrom(const music::Score& score, int track, int m, int e) {
    for (; m < score.measureCount(track); ++m, e = 0) {
        const music::Measure& measure = score.measure(track, m);
        for (; e < measure.contentCount(); ++e) {
            const std::optional<Item> item = measure.entries[static_cast<std::size_t>(e)].item();
            if (item && item->isNoteOrRest())
                return EntryRef{m, e};
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<EntryRef> noteFrom(const music::Score& score, const Position& caret) {
    if (caret.track < 0 || caret.track >= score.trackCount() || caret.measure < 0)
        return std::nullopt;
    return firstNoteFrom(score, caret.track, caret.measure, std::max(0, caret.entry));
}

std::optional<EntryRef> noteAfter(const music::Score& score, int track, EntryRef at) {
    if (track < 0 || track >= score.trackCount() || at.measure < 0)
        return std::nullopt;
    return firstNoteFrom(score, track, at.measure, at.entry + 1);
}

bool addChordTone(Edits& edits, int track, EntryRef at, int degree, bool below,
                  int accidental) {
    const std::optional<Item> item = itemAt(edits.score, track, at);
    if (!item || !item->isDigit() || degree < 1 || degree > 7 || accidental < 0 || accidental > 5)
        return false;
    NoteExtra extra = edits.score.entry(track, at).extras();
    if (extra.tones.size() >= extension::kMostTones)
        return false;
    int edge = heightOf(toneOf(*item));
    for (const NoteTone& t : extra.tones)
        edge = below ? std::min(edge, heightOf(t)) : std::max(edge, heightOf(t));
    // The nearest tone of the degree strictly above (or below) the chord's edge.
    NoteTone tone{static_cast<std::uint8_t>(degree), static_cast<std::int8_t>(edge / 7),
                  static_cast<std::uint8_t>(accidental)};
    const auto step = [&](int by) { tone.octave = static_cast<std::int8_t>(tone.octave + by); };
    if (below) {
        while (heightOf(tone) >= edge)
            step(-1);
        while (heightOf(tone) + 7 < edge)
            step(1);
    } else {
        while (heightOf(tone) <= edge)
            step(1);
        while (heightOf(tone) - 7 > edge)
            step(-1);
    }
    if (tone.octave < -3 || tone.octave > 3)
        return false;
    extra.tones.push_back(tone);
    replaceExtra(edits, track, at, std::move(extra));
    return true;
}

bool addGraceNote(Edits& edits, int track, EntryRef at, int degree, bool after, int accidental,
                  int octaveShift) {
    const std::optional<Item> item = itemAt(edits.score, track, at);
    if (!item || !item->isDigit() || degree < 1 || degree > 7 || accidental < 0 ||
        accidental > 5 || octaveShift < -6 || octaveShift > 6)
        return false;
    NoteExtra extra = edits.score.entry(track, at).extras();
    if (extra.graces.size() >= extension::kMostGraces)
        return false;
    // The octave that puts it nearest its note.
    const int main = heightOf(toneOf(*item));
    NoteTone tone{static_cast<std::uint8_t>(degree), static_cast<std::int8_t>(item->octave),
                  static_cast<std::uint8_t>(accidental)};
    if (heightOf(tone) - main > 3)
        --tone.octave;
    else if (main - heightOf(tone) > 3)
        ++tone.octave;
    tone.octave = static_cast<std::int8_t>(tone.octave + octaveShift);
    if (tone.octave < -3 || tone.octave > 3)
        return false;
    const GraceNote grace{tone, 2, after};
    // Those before the note stay before those after it.
    const auto firstAfter = std::find_if(extra.graces.begin(), extra.graces.end(),
                                         [](const GraceNote& g) { return g.after; });
    if (after)
        extra.graces.push_back(grace);
    else
        extra.graces.insert(firstAfter, grace);
    replaceExtra(edits, track, at, std::move(extra));
    return true;
}

bool clearExtra(Edits& edits, int track, EntryRef at, ExtraPart part) {
    if (!itemAt(edits.score, track, at))
        return false;
    NoteExtra extra = edits.score.entry(track, at).extras();
    const bool had = part == ExtraPart::Tones ? !extra.tones.empty() : !extra.graces.empty();
    if (part == ExtraPart::Tones)
        extra.tones.clear();
    else
        extra.graces.clear();
    if (had)
        replaceExtra(edits, track, at, std::move(extra));
    return had;
}

bool toggleArticulation(Edits& edits, int track, EntryRef at, std::uint32_t flag) {
    const std::optional<Item> item = itemAt(edits.score, track, at);
    if (!item || !item->isNoteOrRest() || (flag & ~music::knownArticulations()) != 0 || flag == 0)
        return false;
    NoteExtra extra = edits.score.entry(track, at).extras();
    extra.articulations ^= flag;
    replaceExtra(edits, track, at, std::move(extra));
    return true;
}

bool setChordSymbol(Edits& edits, int track, EntryRef at, std::u16string_view text) {
    if (!itemAt(edits.score, track, at))
        return false;
    NoteExtra extra = edits.score.entry(track, at).extras();
    const bool blank = text.find_first_not_of(u' ') == std::u16string_view::npos;
    if (blank) {
        extra.chordSymbol.clear();
    } else {
        const std::optional<music::ChordSymbol> chord = music::parseChordSymbol(text);
        if (!chord || chord->text().size() > extension::kLongestChordSymbol)
            return false;
        extra.chordSymbol = chord->text();
    }
    replaceExtra(edits, track, at, std::move(extra));
    return true;
}

bool setNoteText(Edits& edits, int track, EntryRef at, bool below, std::u16string_view text) {
    const std::optional<Item> item = itemAt(edits.score, track, at);
    if (!item || !item->isNoteOrRest())
        return false;
    std::u16string line(text.substr(0, extension::kLongestNoteText));
    std::replace_if(line.begin(), line.end(), [](char16_t c) { return c < u' '; }, u' ');
    const std::size_t first = line.find_first_not_of(u' ');
    line = first == std::u16string::npos
               ? std::u16string()
               : line.substr(first, line.find_last_not_of(u' ') - first + 1);
    NoteExtra extra = edits.score.entry(track, at).extras();
    std::u16string& side = below ? extra.textBelow : extra.textAbove;
    if (side == line)
        return true;
    side = std::move(line);
    replaceExtra(edits, track, at, std::move(extra));
    return true;
}

bool toggleTuplet(Edits& edits, const Selection& selection, int actual, int normal) {
    const Position& a = selection.first;
    const Position& b = selection.last;
    if (a.track != b.track || actual < 2 || actual > extension::kMostTupletNotes || normal < 1 ||
        normal > extension::kMostTupletNotes)
        return false;
    const int track = a.track;
    // The notes selected: in the first position's measure, up to the last position (or the
    // measure's end when the selection reaches the next measure's start).
    if (b.measure != a.measure && !(b.measure == a.measure + 1 && b.entry == 0))
        return false;
    const music::Measure& m = edits.score.measure(track, a.measure);
    const int end = b.measure == a.measure ? b.entry : m.contentCount();
    std::vector<EntryRef> notes;
    for (int e = a.entry; e < end && e < m.contentCount(); ++e) {
        const std::optional<Item> item = m.entries[static_cast<std::size_t>(e)].item();
        if (item && item->isNoteOrRest())
            notes.push_back(EntryRef{a.measure, e});
    }
    if (notes.empty())
        return false;
    const TupletMark wanted{static_cast<std::uint8_t>(actual), static_cast<std::uint8_t>(normal),
                            false};
    const bool already = std::all_of(notes.begin(), notes.end(), [&](EntryRef at) {
        const TupletMark& t = edits.score.entry(track, at).extras().tuplets[0];
        return t.actual == wanted.actual && t.normal == wanted.normal;
    });
    for (std::size_t i = 0; i < notes.size(); ++i) {
        NoteExtra extra = edits.score.entry(track, notes[i]).extras();
        if (already) {
            extra.tuplets = {};
        } else {
            // A group inside one already marked becomes the one nested in it.
            const bool nests = extra.tuplets[0].active() &&
                               !(extra.tuplets[0].actual == wanted.actual &&
                                 extra.tuplets[0].normal == wanted.normal);
            TupletMark mark = wanted;
            mark.starts = i == 0;
            if (nests)
                extra.tuplets[1] = mark;
            else
                extra.tuplets[0] = mark;
        }
        replaceExtra(edits, track, notes[i], std::move(extra));
    }
    // The note after the group starts a group of its own when it has the same tuplet.
    if (!already) {
        for (int e = notes.back().entry + 1; e < m.contentCount(); ++e) {
            const std::optional<Item> item = m.entries[static_cast<std::size_t>(e)].item();
            if (!item || !item->isNoteOrRest())
                continue;
            NoteExtra extra = edits.score.entry(track, {a.measure, e}).extras();
            if (extra.tuplets[0].actual == wanted.actual && extra.tuplets[0].normal == wanted.normal &&
                !extra.tuplets[0].starts) {
                extra.tuplets[0].starts = true;
                replaceExtra(edits, track, {a.measure, e}, std::move(extra));
            }
            break;
        }
    }
    return true;
}

}  // namespace qe
