#include "records/extension.h"

#include <algorithm>

#include "base/exception.h"
#include "records/entry_bytes.h"

namespace qe::extension {

std::uint32_t blockSize(const std::vector<ExtensionEntry>& entries) {
    if (entries.empty())
        return 0;
    std::uint32_t size = kHeadSize;
    for (const ExtensionEntry& e : entries)
        size += kEntryHeadSize + static_cast<std::uint32_t>(e.bytes.size());
    return size;
}

void readBlock(BaseIO& io, std::vector<ExtensionEntry>& entries) {
    entries.clear();
    if (io.available() < 4)
        return;
    if (readField<std::uint32_t>(io) != kMagic)
        return;  // not ours: the rest of the header is passed over
    const auto version = readField<std::uint32_t>(io);
    const auto count = readField<std::uint32_t>(io);
    if (version != kVersion || count > io.available() / kEntryHeadSize)
        throw Exception(kMalformed);
    entries.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        ExtensionEntry entry;
        entry.kind = readField<std::uint32_t>(io);
        const auto length = readField<std::uint32_t>(io);
        if (length > io.available())
            throw Exception(kMalformed);
        entry.bytes.resize(length);
        if (length > 0)
            readExact(io, entry.bytes.data(), static_cast<int>(length));
        entries.push_back(std::move(entry));
    }
}

void writeBlock(BaseIO& io, const std::vector<ExtensionEntry>& entries) {
    if (entries.empty())
        return;
    writeField(io, kMagic);
    writeField(io, kVersion);
    writeField(io, static_cast<std::uint32_t>(entries.size()));
    for (const ExtensionEntry& e : entries) {
        writeField(io, e.kind);
        writeField(io, static_cast<std::uint32_t>(e.bytes.size()));
        if (!e.bytes.empty())
            writeExact(io, e.bytes.data(), static_cast<int>(e.bytes.size()));
    }
}

const ExtensionEntry* find(const std::vector<ExtensionEntry>& entries, std::uint32_t kind) {
    const auto it = std::find_if(entries.begin(), entries.end(),
                                 [kind](const ExtensionEntry& e) { return e.kind == kind; });
    return it == entries.end() ? nullptr : &*it;
}

void put(std::vector<ExtensionEntry>& entries, std::uint32_t kind, std::vector<unsigned char> bytes) {
    const auto it = std::find_if(entries.begin(), entries.end(),
                                 [kind](const ExtensionEntry& e) { return e.kind == kind; });
    if (bytes.empty()) {
        if (it != entries.end())
            entries.erase(it);
        return;
    }
    if (it != entries.end())
        it->bytes = std::move(bytes);
    else
        entries.push_back({kind, std::move(bytes)});
}

std::vector<unsigned char> encodeFonts(const std::vector<std::pair<int, FontRecord>>& fonts) {
    std::vector<unsigned char> out;
    if (fonts.empty())
        return out;
    append(out, static_cast<std::uint32_t>(fonts.size()));
    for (const auto& [category, record] : fonts) {
        append(out, static_cast<std::uint16_t>(category));
        unsigned char bytes[FontRecord::kFileSize];
        record.encode(bytes);
        out.insert(out.end(), bytes, bytes + FontRecord::kFileSize);
    }
    return out;
}

std::vector<std::pair<int, FontRecord>> decodeFonts(const std::vector<unsigned char>& bytes) {
    Reader in(bytes);
    const auto count = in.take<std::uint32_t>();
    if (count > in.left() / (2 + FontRecord::kFileSize))
        throw Exception(kMalformed);
    std::vector<std::pair<int, FontRecord>> fonts;
    for (std::uint32_t i = 0; i < count; ++i) {
        const int category = in.take<std::uint16_t>();
        FontRecord record;
        record.decode(in.takeBytes(FontRecord::kFileSize));
        if (category < kFontCount)
            fonts.emplace_back(category, record);
    }
    in.finish();
    return fonts;
}

std::vector<unsigned char> encodeVoltaLabels(const VoltaLabels& labels) {
    std::vector<unsigned char> out;
    if (labels.empty())
        return out;
    append(out, static_cast<std::uint32_t>(labels.size()));
    for (const auto& [index, label] : labels) {
        append(out, index);
        const std::size_t units = std::min<std::size_t>(label.size(), 0xFFFF);
        append(out, static_cast<std::uint16_t>(units));
        for (std::size_t u = 0; u < units; ++u)
            append(out, static_cast<std::uint16_t>(label[u]));
    }
    return out;
}

VoltaLabels decodeVoltaLabels(const std::vector<unsigned char>& bytes) {
    Reader in(bytes);
    const auto count = in.take<std::uint32_t>();
    if (count > in.left() / 6)
        throw Exception(kMalformed);
    VoltaLabels labels;
    labels.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        const auto index = in.take<std::uint32_t>();
        const auto units = in.take<std::uint16_t>();
        std::u16string label;
        label.reserve(std::min<std::size_t>(units, in.left() / 2));
        for (std::uint16_t u = 0; u < units; ++u)
            label.push_back(static_cast<char16_t>(in.take<std::uint16_t>()));
        labels.emplace_back(index, std::move(label));
    }
    in.finish();
    return labels;
}

std::vector<unsigned char> encodeTempoMark(const TempoMark& mark) {
    std::vector<unsigned char> out;
    if (mark.empty())
        return out;
    append(out, mark.beatUnit);
    append(out, static_cast<std::uint8_t>(mark.dotted ? 1 : 0));
    append(out, std::uint8_t{0});
    append(out, mark.perMinute);
    const std::size_t units = std::min<std::size_t>(mark.text.size(), 0xFFFF);
    append(out, static_cast<std::uint16_t>(units));
    for (std::size_t u = 0; u < units; ++u)
        append(out, static_cast<std::uint16_t>(mark.text[u]));
    return out;
}

TempoMark decodeTempoMark(const std::vector<unsigned char>& bytes) {
    Reader in(bytes);
    TempoMark mark;
    mark.beatUnit = in.take<std::uint16_t>();
    const auto dotted = in.take<std::uint8_t>();
    if (dotted > 1 || in.take<std::uint8_t>() != 0)  // the flag, then the reserved byte
        throw Exception(kMalformed);
    mark.dotted = dotted == 1;
    mark.perMinute = in.take<std::uint16_t>();
    const auto units = in.take<std::uint16_t>();
    if (units > in.left() / 2)
        throw Exception(kMalformed);
    for (std::uint16_t u = 0; u < units; ++u)
        mark.text.push_back(static_cast<char16_t>(in.take<std::uint16_t>()));
    in.finish();
    return mark;
}

std::vector<unsigned char> encodePartNames(const std::vector<PartName>& names) {
    std::vector<unsigned char> out;
    std::uint32_t count = 0;
    for (const PartName& n : names)
        count += n.empty() ? 0 : 1;
    if (count == 0)
        return out;
    append(out, count);
    for (std::uint32_t t = 0; t < names.size(); ++t) {
        if (names[t].empty())
            continue;
        append(out, t);
        appendText(out, names[t].name);
        appendText(out, names[t].shortName);
    }
    return out;
}

std::vector<PartName> decodePartNames(const std::vector<unsigned char>& bytes,
                                      std::uint32_t maxTracks) {
    Reader in(bytes);
    const auto count = in.take<std::uint32_t>();
    if (count > in.left() / 8)
        throw Exception(kMalformed);
    std::vector<PartName> names;
    for (std::uint32_t i = 0; i < count; ++i) {
        const auto track = in.take<std::uint32_t>();
        if (track >= maxTracks)
            throw Exception(kMalformed);
        PartName name;
        name.name = takeText(in);
        name.shortName = takeText(in);
        if (names.size() <= track)
            names.resize(track + 1);
        names[track] = std::move(name);
    }
    in.finish();
    return names;
}

std::vector<unsigned char> encodeOptions(const Options& options) {
    std::vector<unsigned char> out;
    append(out, options.flags);
    append(out, options.tonicShift);
    out.insert(out.end(), options.reserved.begin(), options.reserved.end());
    return out;
}

Options decodeOptions(const std::vector<unsigned char>& bytes) {
    if (bytes.size() != 8)
        throw Exception(kMalformed);
    Reader in(bytes);
    Options options;
    options.flags = in.take<std::uint32_t>();
    options.tonicShift = in.take<std::int8_t>();
    if (options.tonicShift < -1 || options.tonicShift > 1)
        throw Exception(kMalformed);
    for (std::uint8_t& byte : options.reserved)
        byte = in.take<std::uint8_t>();
    return options;
}

namespace {

constexpr std::uint32_t kHoldsKey = 1;
constexpr std::uint32_t kHoldsMeter = 2;
constexpr std::uint32_t kHoldsTempo = 4;

}  // namespace

std::vector<unsigned char> encodeMeasureMarks(const std::vector<MeasureMark>& marks) {
    std::vector<unsigned char> out;
    std::uint32_t count = 0;
    for (const MeasureMark& mark : marks)
        count += mark.empty() ? 0 : 1;
    if (count == 0)
        return out;
    append(out, count);
    for (const MeasureMark& mark : marks) {
        if (mark.empty())
            continue;
        const std::vector<unsigned char> tempo = encodeTempoMark(mark.tempo);
        append(out, mark.measure);
        append(out, (mark.keyChange ? kHoldsKey : 0) | (mark.meterChange ? kHoldsMeter : 0) |
                        (tempo.empty() ? 0 : kHoldsTempo));
        append(out, mark.jumps);
        if (mark.keyChange) {
            append(out, mark.keyLetter);
            append(out, mark.keyAccidental);
            append(out, mark.tonicShift);
            append(out, std::uint8_t{0});
        }
        if (mark.meterChange) {
            append(out, static_cast<std::uint16_t>(mark.numerator));
            append(out, static_cast<std::uint16_t>(mark.denominator));
        }
        if (!tempo.empty()) {
            append(out, static_cast<std::uint16_t>(tempo.size()));
            out.insert(out.end(), tempo.begin(), tempo.end());
        }
    }
    return out;
}

std::vector<MeasureMark> decodeMeasureMarks(const std::vector<unsigned char>& bytes) {
    Reader in(bytes);
    const auto count = in.take<std::uint32_t>();
    if (count > in.left() / 12)
        throw Exception(kMalformed);
    std::vector<MeasureMark> marks;
    marks.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        MeasureMark mark;
        mark.measure = in.take<std::uint32_t>();
        const auto holds = in.take<std::uint32_t>();
        mark.jumps = in.take<std::uint32_t>();
        if ((holds & ~(kHoldsKey | kHoldsMeter | kHoldsTempo)) != 0 ||
            (mark.jumps & ~jump::kAll) != 0 ||
            (!marks.empty() && mark.measure <= marks.back().measure))
            throw Exception(kMalformed);
        if (holds & kHoldsKey) {
            mark.keyChange = true;
            mark.keyLetter = in.take<std::uint8_t>();
            mark.keyAccidental = in.take<std::uint8_t>();
            mark.tonicShift = in.take<std::int8_t>();
            if (in.take<std::uint8_t>() != 0)  // reserved
                throw Exception(kMalformed);
            if (mark.keyLetter > 6 || mark.keyAccidental > 2 || mark.tonicShift < -1 ||
                mark.tonicShift > 1)
                throw Exception(kMalformed);
        }
        if (holds & kHoldsMeter) {
            mark.meterChange = true;
            const auto numerator = in.take<std::uint16_t>();
            const auto denominator = in.take<std::uint16_t>();
            if (numerator > 255 || denominator > 255 || (numerator == 0) != (denominator == 0))
                throw Exception(kMalformed);
            mark.numerator = static_cast<std::uint8_t>(numerator);
            mark.denominator = static_cast<std::uint8_t>(denominator);
        }
        if (holds & kHoldsTempo) {
            const auto length = in.take<std::uint16_t>();
            const unsigned char* p = in.takeBytes(length);
            mark.tempo = decodeTempoMark(std::vector<unsigned char>(p, p + length));
        }
        marks.push_back(std::move(mark));
    }
    in.finish();
    return marks;
}

namespace {

constexpr std::uint32_t kHoldsTones = 1;
constexpr std::uint32_t kHoldsGraces = 2;
constexpr std::uint32_t kHoldsArticulations = 4;
constexpr std::uint32_t kHoldsTuplet = 8;
constexpr std::uint32_t kHoldsInnerTuplet = 16;
constexpr std::uint32_t kHoldsChordSymbol = 32;
constexpr std::uint32_t kHoldsAll = 63;
constexpr std::uint8_t kGraceAfter = 0x80;

void appendTone(std::vector<unsigned char>& out, const NoteTone& tone) {
    append(out, tone.degree);
    append(out, tone.octave);
    append(out, tone.accidental);
}

NoteTone takeTone(Reader& in) {
    NoteTone tone;
    tone.degree = in.take<std::uint8_t>();
    tone.octave = in.take<std::int8_t>();
    tone.accidental = in.take<std::uint8_t>();
    if (tone.degree < 1 || tone.degree > 7 || tone.octave < -3 || tone.octave > 3 ||
        tone.accidental > 5)
        throw Exception(kMalformed);
    return tone;
}

void appendTuplet(std::vector<unsigned char>& out, const TupletMark& t) {
    append(out, t.actual);
    append(out, t.normal);
    append(out, static_cast<std::uint8_t>(t.starts ? 1 : 0));
    append(out, std::uint8_t{0});
}

TupletMark takeTuplet(Reader& in) {
    TupletMark t;
    t.actual = in.take<std::uint8_t>();
    t.normal = in.take<std::uint8_t>();
    const auto starts = in.take<std::uint8_t>();
    if (in.take<std::uint8_t>() != 0 || starts > 1 || t.actual < 2 ||
        t.actual > kMostTupletNotes || t.normal < 1 || t.normal > kMostTupletNotes)
        throw Exception(kMalformed);
    t.starts = starts == 1;
    return t;
}

}  // namespace

namespace {

// Whether the note extras entry has anything of an extra to write.
bool holdsFirstExtras(const NoteExtra& e) {
    return !e.tones.empty() || !e.graces.empty() || (e.articulations & kFirstArticulations) != 0 ||
           e.tuplets[0].active() || e.tuplets[1].active() || !e.chordSymbol.empty();
}

}  // namespace

std::vector<unsigned char> encodeNoteExtras(const std::vector<PlacedNoteExtra>& extras) {
    std::vector<unsigned char> out;
    std::uint32_t count = 0;
    for (const PlacedNoteExtra& e : extras)
        count += holdsFirstExtras(e.extra) ? 1 : 0;
    if (count == 0)
        return out;
    append(out, count);
    for (const PlacedNoteExtra& placed : extras) {
        const NoteExtra& e = placed.extra;
        if (!holdsFirstExtras(e))
            continue;
        const std::uint32_t first = e.articulations & kFirstArticulations;
        const std::uint32_t holds =
            (e.tones.empty() ? 0 : kHoldsTones) | (e.graces.empty() ? 0 : kHoldsGraces) |
            (first == 0 ? 0 : kHoldsArticulations) |
            (e.tuplets[0].active() ? kHoldsTuplet : 0) |
            (e.tuplets[1].active() ? kHoldsInnerTuplet : 0) |
            (e.chordSymbol.empty() ? 0 : kHoldsChordSymbol);
        append(out, placed.track);
        append(out, placed.record);
        append(out, holds);
        if (!e.tones.empty()) {
            append(out, static_cast<std::uint8_t>(e.tones.size()));
            for (const NoteTone& tone : e.tones) {
                appendTone(out, tone);
                append(out, std::uint8_t{0});
            }
        }
        if (!e.graces.empty()) {
            append(out, static_cast<std::uint8_t>(e.graces.size()));
            for (const GraceNote& grace : e.graces) {
                appendTone(out, grace.tone);
                append(out, static_cast<std::uint8_t>((grace.underlines & 3) |
                                                      (grace.after ? kGraceAfter : 0)));
            }
        }
        if (first != 0)
            append(out, first);
        for (const TupletMark& t : e.tuplets)
            if (t.active())
                appendTuplet(out, t);
        if (!e.chordSymbol.empty()) {
            append(out, static_cast<std::uint16_t>(e.chordSymbol.size()));
            for (char16_t unit : e.chordSymbol)
                append(out, static_cast<std::uint16_t>(unit));
        }
    }
    return out;
}

std::vector<PlacedNoteExtra> decodeNoteExtras(const std::vector<unsigned char>& bytes) {
    Reader in(bytes);
    const auto count = in.take<std::uint32_t>();
    if (count > in.left() / 12)
        throw Exception(kMalformed);
    std::vector<PlacedNoteExtra> extras;
    extras.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        PlacedNoteExtra placed;
        placed.track = in.take<std::uint32_t>();
        placed.record = in.take<std::uint32_t>();
        const auto holds = in.take<std::uint32_t>();
        if ((holds & ~kHoldsAll) != 0 || holds == 0 ||
            ((holds & kHoldsInnerTuplet) && !(holds & kHoldsTuplet)))
            throw Exception(kMalformed);
        if (!extras.empty() && std::pair(placed.track, placed.record) <=
                                   std::pair(extras.back().track, extras.back().record))
            throw Exception(kMalformed);
        NoteExtra& e = placed.extra;
        if (holds & kHoldsTones) {
            const auto n = in.take<std::uint8_t>();
            if (n == 0 || n > kMostTones)
                throw Exception(kMalformed);
            for (int k = 0; k < n; ++k) {
                e.tones.push_back(takeTone(in));
                if (in.take<std::uint8_t>() != 0)
                    throw Exception(kMalformed);
            }
        }
        if (holds & kHoldsGraces) {
            const auto n = in.take<std::uint8_t>();
            if (n == 0 || n > kMostGraces)
                throw Exception(kMalformed);
            for (int k = 0; k < n; ++k) {
                GraceNote grace;
                grace.tone = takeTone(in);
                const auto bits = in.take<std::uint8_t>();
                if ((bits & ~(kGraceAfter | 3)) != 0)
                    throw Exception(kMalformed);
                grace.underlines = bits & 3;
                grace.after = (bits & kGraceAfter) != 0;
                // Those before the note come first, as they are written.
                if (!grace.after && !e.graces.empty() && e.graces.back().after)
                    throw Exception(kMalformed);
                e.graces.push_back(grace);
            }
        }
        if (holds & kHoldsArticulations) {
            e.articulations = in.take<std::uint32_t>();
            if (e.articulations == 0 || (e.articulations & ~kFirstArticulations) != 0)
                throw Exception(kMalformed);
        }
        if (holds & kHoldsTuplet)
            e.tuplets[0] = takeTuplet(in);
        if (holds & kHoldsInnerTuplet)
            e.tuplets[1] = takeTuplet(in);
        if (holds & kHoldsChordSymbol) {
            const auto n = in.take<std::uint16_t>();
            if (n == 0 || n > kLongestChordSymbol)
                throw Exception(kMalformed);
            for (int k = 0; k < n; ++k)
                e.chordSymbol.push_back(static_cast<char16_t>(in.take<std::uint16_t>()));
        }
        extras.push_back(std::move(placed));
    }
    in.finish();
    return extras;
}

std::vector<unsigned char> encodeMoreArticulations(const std::vector<PlacedNoteExtra>& extras) {
    std::vector<unsigned char> out;
    std::uint32_t count = 0;
    for (const PlacedNoteExtra& e : extras)
        count += (e.extra.articulations & ~kFirstArticulations) != 0 ? 1 : 0;
    if (count == 0)
        return out;
    append(out, count);
    for (const PlacedNoteExtra& e : extras) {
        const std::uint32_t more = e.extra.articulations & ~kFirstArticulations;
        if (more == 0)
            continue;
        append(out, e.track);
        append(out, e.record);
        append(out, more);
    }
    return out;
}

void decodeMoreArticulations(const std::vector<unsigned char>& bytes,
                             std::vector<PlacedNoteExtra>& extras) {
    Reader in(bytes);
    const auto count = in.take<std::uint32_t>();
    if (count > in.left() / 12)
        throw Exception(kMalformed);
    std::vector<PlacedNoteExtra> more;
    more.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        PlacedNoteExtra placed;
        placed.track = in.take<std::uint32_t>();
        placed.record = in.take<std::uint32_t>();
        placed.extra.articulations = in.take<std::uint32_t>();
        if (placed.extra.articulations == 0 ||
            (placed.extra.articulations & kFirstArticulations) != 0)
            throw Exception(kMalformed);
        if (!more.empty() && std::pair(placed.track, placed.record) <=
                                 std::pair(more.back().track, more.back().record))
            throw Exception(kMalformed);
        more.push_back(std::move(placed));
    }
    in.finish();
    mergeExtras(extras, std::move(more), [](NoteExtra& into, NoteExtra& from) {
        into.articulations |= from.articulations;
    });
}

}  // namespace qe::extension

namespace qe {

int TempoMark::quartersPerMinute() const {
    if (perMinute == 0 || beatUnit == 0)
        return 0;
    // A beat of 1/beatUnit of a whole is 4/beatUnit quarters, half as long again when dotted.
    const double quarters = 4.0 / beatUnit * (dotted ? 1.5 : 1.0);
    return static_cast<int>(perMinute * quarters + 0.5);
}

}  // namespace qe
