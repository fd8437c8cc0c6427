#include "music/score_records.h"

#include <map>

#include <algorithm>
#include <unordered_map>

namespace qe::music {

namespace {

// Where a stored location lands: an item (entry >= 0) or a measure by its bar line (entry -1).
struct Target {
    int measure = 0;
    int entry = -1;
};

// The items of a track under the 16 bits a stored location holds: for each value, the first
// place in reading order that a save would number so, the measure before its items.
class TrackPlaces {
public:
    explicit TrackPlaces(const Track& track) {
        int n = 0;
        // A measure takes its bar line's number, which comes after its items; it is noted
        // first all the same, as the places of a track line are walked.
        for (std::size_t m = 0; m < track.measures.size(); ++m) {
            const Measure& measure = track.measures[m];
            int items = 0;
            for (const Entry& e : measure.entries)
                if (decode(e.record) && !(decode(e.record)->isBarLine()))
                    ++items;
            places_.emplace(key(n + items), Target{static_cast<int>(m), -1});
            for (std::size_t e = 0; e < measure.entries.size(); ++e) {
                const std::optional<Item> item = decode(measure.entries[e].record);
                if (!item || item->isBarLine())
                    continue;
                places_.emplace(key(n), Target{static_cast<int>(m), static_cast<int>(e)});
                ++n;
            }
            ++n;  // the bar line, or the one an open measure would have
        }
    }

    const Target* find(std::int16_t itemIndex) const {
        const auto it = places_.find(itemIndex);
        return it == places_.end() ? nullptr : &it->second;
    }

private:
    static std::int16_t key(int n) { return static_cast<std::int16_t>(n); }
    std::unordered_map<std::int16_t, Target> places_;
};

const Target* lookup(const std::vector<TrackPlaces>& places, const location& loc) {
    if (loc.placeKind != 1 || loc.trackIndex < 0 ||
        loc.trackIndex >= static_cast<int>(places.size()))
        return nullptr;
    return places[static_cast<std::size_t>(loc.trackIndex)].find(loc.itemIndex);
}

// The extras of one track, in record order, as the title block's extension lists them.
using ExtraSpan = std::pair<const PlacedNoteExtra*, const PlacedNoteExtra*>;

// Whether an extra fits the item its record holds: chord tones and grace notes need a digit,
// anything needs an item before a bar line.
bool fits(const NoteExtra& extra, const std::optional<Item>& item) {
    if (!item || item->isBarLine())
        return false;
    return item->isDigit() || (extra.tones.empty() && extra.graces.empty());
}

Track trackOf(const note_track& stored, ExtraSpan extras, LoadReport& report) {
    Track track;
    track.tag = stored.tag;
    Measure current;
    bool hasItem = false;
    const auto& records = stored.content.items;
    for (std::size_t r = 0; r < records.size(); ++r) {
        const note& record = records[r];
        const std::optional<Item> item = decode(record);
        current.entries.push_back(Entry{record, {}, {}});
        while (extras.first != extras.second && extras.first->record <= r) {
            if (extras.first->record == r && fits(extras.first->extra, item))
                current.entries.back().setExtras(extras.first->extra);
            else
                ++report.droppedShapes;
            ++extras.first;
        }
        if (!item) {
            ++report.skippedRecords;
            continue;
        }
        if (item->isBarLine()) {
            track.measures.push_back(std::move(current));
            current = Measure{};
            hasItem = false;
            continue;
        }
        hasItem = true;
    }
    // What follows the last bar line is an open measure when it holds an item; skipped
    // records alone are kept after the measures.
    if (hasItem) {
        track.measures.push_back(std::move(current));
    } else {
        for (const Entry& e : current.entries)
            track.trailing.push_back(e.record);
    }
    return track;
}

// The first item index of every measure of a track, and the number of items before the bar
// line of each.
struct Numbering {
    std::vector<int> first;
    std::vector<int> items;

    explicit Numbering(const Track& track) {
        int n = 0;
        for (const Measure& m : track.measures) {
            first.push_back(n);
            int count = 0;
            for (int e = 0; e < m.contentCount(); ++e)
                if (decode(m.entries[static_cast<std::size_t>(e)].record))
                    ++count;
            items.push_back(count);
            n += count + 1;
        }
    }

    int itemIndex(const Track& track, EntryRef at) const {
        const Measure& m = track.measures[static_cast<std::size_t>(at.measure)];
        int n = first[static_cast<std::size_t>(at.measure)];
        for (int e = 0; e < at.entry; ++e)
            if (decode(m.entries[static_cast<std::size_t>(e)].record))
                ++n;
        return n;
    }
    int barIndex(int m) const {
        return first[static_cast<std::size_t>(m)] + items[static_cast<std::size_t>(m)];
    }
};

location storedPlace(int track, int itemIndex) {
    return location(1, track, static_cast<std::int16_t>(itemIndex));
}

// What the score keeps of the file to write back as it was: the reserved fields, the tempo
// and the extension entries it does not read itself.
void keepUnread(const QeDocument& file, Score::Kept& kept) {
    kept = Score::Kept{};
    kept.documentReserved = file.tag.reserved;
    kept.tempo = file.content.tempo;
    kept.formatReserved = file.content.format.tag.reserved;
    for (const ExtensionEntry& entry : file.header.extension)
        if (entry.kind != extension::kVoltaLabels && entry.kind != extension::kFonts)
            kept.extension.push_back(entry);
}

// The labels of the brackets, by their index among the format records.
std::map<std::uint32_t, std::u16string> voltaLabels(const QeDocument& file) {
    std::map<std::uint32_t, std::u16string> labels;
    if (const ExtensionEntry* entry =
            extension::find(file.header.extension, extension::kVoltaLabels))
        for (auto& [index, label] : extension::decodeVoltaLabels(entry->bytes))
            labels[index] = std::move(label);
    return labels;
}

// The tracks of the file, each with the extras the title block lists for it.
std::vector<Track> readTracks(const QeDocument& file, LoadReport& report) {
    std::vector<Track> tracks;
    const auto& extras = file.header.noteExtras;
    std::size_t nextExtra = 0;
    for (const note_track& stored : file.noteTracks()) {
        const auto t = static_cast<std::uint32_t>(tracks.size());
        const std::size_t first = nextExtra;
        while (nextExtra < extras.size() && extras[nextExtra].track == t)
            ++nextExtra;
        tracks.push_back(
            trackOf(stored, {extras.data() + first, extras.data() + nextExtra}, report));
    }
    // Extras of tracks the file does not have can never be shown.
    report.droppedShapes += static_cast<int>(extras.size() - nextExtra);
    return tracks;
}

// The ties and brackets of the format records whose places the tracks have; the format
// records of other kinds are kept as they are.
void readShapes(const QeDocument& file, const std::vector<TrackPlaces>& places,
                const std::map<std::uint32_t, std::u16string>& labels, Score::Kept& kept,
                LoadReport& report, std::vector<Tie>& ties, std::vector<Volta>& voltas) {
    for (std::uint32_t index = 0; index < file.formatRecords().size(); ++index) {
        const Format& record = file.formatRecords()[index];
        if (record.type != Format::kArc && record.type != Format::kVolta) {
            kept.otherFormats.push_back(record);
            ++report.otherFormats;
            continue;
        }
        const Target* from = lookup(places, record.from);
        const Target* to = lookup(places, record.to);
        const bool sameTrack = record.from.trackIndex == record.to.trackIndex;
        if (record.type == Format::kArc) {
            if (!from || !to || !sameTrack || from->entry < 0 || to->entry < 0 ||
                !(EntryRef{from->measure, from->entry} < EntryRef{to->measure, to->entry})) {
                ++report.droppedShapes;
                continue;
            }
            ties.push_back(Tie{
                record.from.trackIndex, {from->measure, from->entry}, {to->measure, to->entry}});
        } else {
            if (!from || !to || !sameTrack || from->entry >= 0 || to->entry >= 0 ||
                from->measure > to->measure) {
                ++report.droppedShapes;
                continue;
            }
            // A bracket without a stored label (every bracket of an older file) reads "1".
            const auto label = labels.find(index);
            voltas.push_back(Volta{record.from.trackIndex, from->measure, to->measure,
                                   label == labels.end() ? std::u16string(u"1") : label->second});
        }
    }
}

// The syllables of every lyrics track on the items they name; those that name no item are
// kept to be written back.
void readLyrics(const QeDocument& file, const std::vector<TrackPlaces>& places,
                std::vector<Track>& tracks, Score::Kept& kept) {
    const auto& lyricsTracks = file.content.lyrics.items;
    kept.lyricsRecords.resize(lyricsTracks.size());
    for (std::size_t v = 0; v < lyricsTracks.size(); ++v) {
        kept.lyricsTags.push_back(lyricsTracks[v].tag);
        for (const lyrics& record : lyricsTracks[v].content.items) {
            const Target* at = lookup(places, record.place);
            if (!at || at->entry < 0) {
                kept.lyricsRecords[v].push_back(record);
                continue;
            }
            Track& track = tracks[static_cast<std::size_t>(record.place.trackIndex)];
            track.measures[static_cast<std::size_t>(at->measure)]
                .entries[static_cast<std::size_t>(at->entry)]
                .syllables.push_back(Syllable{static_cast<int>(v), record});
        }
    }
}

}  // namespace

LoadReport scoreFromRecords(const QeDocument& file, Score& score) {
    LoadReport report;
    // The extension is read here into what it means; the title block keeps only its fields.
    doc_header header = file.header;
    header.extension.clear();
    header.noteExtras.clear();
    score.setHeader(header);
    score.setFormat(file.content.format.header);
    Score::Kept& kept = score.kept();
    keepUnread(file, kept);
    const std::map<std::uint32_t, std::u16string> labels = voltaLabels(file);

    std::vector<Track> tracks = readTracks(file, report);
    std::vector<TrackPlaces> places;
    if (!file.formatRecords().empty() || !file.content.lyrics.items.empty())
        for (const Track& t : tracks)
            places.emplace_back(t);

    std::vector<Tie> ties;
    std::vector<Volta> voltas;
    readShapes(file, places, labels, kept, report, ties, voltas);
    readLyrics(file, places, tracks, kept);
    score.setTracks(std::move(tracks));
    score.setShapes(std::move(ties), std::move(voltas));
    return report;
}

Track trackFromRecords(const std::vector<note>& records) {
    note_track stored;
    stored.content.items = records;
    LoadReport unused;
    return trackOf(stored, {}, unused);
}

std::vector<note> trackRecords(const Track& track) {
    std::vector<note> records;
    std::size_t count = track.trailing.size();
    for (const Measure& m : track.measures)
        count += m.entries.size();
    records.reserve(count);
    for (const Measure& m : track.measures)
        for (const Entry& e : m.entries)
            records.push_back(e.record);
    records.insert(records.end(), track.trailing.begin(), track.trailing.end());
    return records;
}

int itemIndexOf(const Track& track, EntryRef at) {
    if (at.measure < 0 || at.measure >= static_cast<int>(track.measures.size()))
        return -1;
    const Measure& m = track.measures[static_cast<std::size_t>(at.measure)];
    if (at.entry < 0 || at.entry >= static_cast<int>(m.entries.size()) ||
        !decode(m.entries[static_cast<std::size_t>(at.entry)].record))
        return -1;
    return Numbering(track).itemIndex(track, at);
}

std::optional<EntryRef> entryOfItem(const Track& track, int itemIndex) {
    if (itemIndex < 0)
        return std::nullopt;
    int n = 0;
    for (std::size_t m = 0; m < track.measures.size(); ++m) {
        const Measure& measure = track.measures[m];
        const int content = measure.contentCount();
        for (int e = 0; e < content; ++e) {
            if (!decode(measure.entries[static_cast<std::size_t>(e)].record))
                continue;
            if (n++ == itemIndex)
                return EntryRef{static_cast<int>(m), e};
        }
        if (n++ == itemIndex)
            return EntryRef{static_cast<int>(m), -1};
    }
    return std::nullopt;
}

int barItemIndex(const Track& track, int m) {
    if (m < 0 || m >= static_cast<int>(track.measures.size()))
        return -1;
    return Numbering(track).barIndex(m);
}

namespace {

// The records of every track, and the extras of its entries in the title block; how each
// track numbers its items.
std::vector<Numbering> writeTracks(const Score& score, QeDocument& file) {
    std::vector<Numbering> numbering;
    for (const Track& track : score.tracks()) {
        note_track stored(track.tag);
        stored.content.items = trackRecords(track);
        std::uint32_t record = 0;
        for (const Measure& m : track.measures)
            for (const Entry& e : m.entries) {
                if (e.extra)
                    file.header.noteExtras.push_back(
                        {static_cast<std::uint32_t>(file.noteTracks().size()), record, *e.extra});
                ++record;
            }
        file.noteTracks().push_back(std::move(stored));
        numbering.emplace_back(track);
    }
    return numbering;
}

// The format records: ties, then brackets with their labels in the extension, then those
// kept from the file.
void writeShapes(const Score& score, const std::vector<Numbering>& numbering, QeDocument& file) {
    const Score::Kept& kept = score.kept();
    auto& formats = file.formatRecords();
    for (const Tie& tie : score.ties()) {
        const Track& track = score.track(tie.track);
        const Numbering& n = numbering[static_cast<std::size_t>(tie.track)];
        Format record;
        record.type = Format::kArc;
        record.from = storedPlace(tie.track, n.itemIndex(track, tie.from));
        record.to = storedPlace(tie.track, n.itemIndex(track, tie.to));
        formats.push_back(record);
    }
    extension::VoltaLabels labels;
    for (const Volta& volta : score.voltas()) {
        const Numbering& n = numbering[static_cast<std::size_t>(volta.track)];
        if (volta.label != u"1")
            labels.emplace_back(static_cast<std::uint32_t>(formats.size()), volta.label);
        Format record;
        record.type = Format::kVolta;
        record.from = storedPlace(volta.track, n.barIndex(volta.from));
        record.to = storedPlace(volta.track, n.barIndex(volta.to));
        formats.push_back(record);
    }
    formats.insert(formats.end(), kept.otherFormats.begin(), kept.otherFormats.end());
    file.header.extension = kept.extension;
    extension::put(file.header.extension, extension::kVoltaLabels,
                   extension::encodeVoltaLabels(labels));
}

// The syllables of track `t` in reading order, each into the lyrics track of its verse.
void writeSyllables(const Score& score, int t, const Numbering& n,
                    std::vector<lyrics_track>& lyricsTracks) {
    const std::size_t verses = lyricsTracks.size();
    const Track& track = score.track(t);
    for (std::size_t m = 0; m < track.measures.size(); ++m) {
        const Measure& measure = track.measures[m];
        int index = n.first[m];
        for (const Entry& e : measure.entries) {
            if (!decode(e.record))
                continue;
            for (const Syllable& s : e.syllables) {
                if (s.verse < 0 || static_cast<std::size_t>(s.verse) >= verses)
                    continue;
                lyrics record = s.record;
                record.place.placeKind = 1;
                record.place.trackIndex = t;
                record.place.itemIndex = static_cast<std::int16_t>(index);
                lyricsTracks[static_cast<std::size_t>(s.verse)].content.items.push_back(
                    std::move(record));
            }
            ++index;
        }
    }
}

// Every lyrics track read is written again, and one for every further verse used.
void writeLyrics(const Score& score, const std::vector<Numbering>& numbering, QeDocument& file) {
    const Score::Kept& kept = score.kept();
    std::size_t verses = kept.lyricsTags.size();
    for (int t = 0; t < score.trackCount(); ++t)
        verses = std::max(verses, score.verseCounts(t).size());
    auto& lyricsTracks = file.content.lyrics.items;
    lyricsTracks.resize(verses);
    for (std::size_t v = 0; v < kept.lyricsTags.size(); ++v)
        lyricsTracks[v].tag = kept.lyricsTags[v];
    for (int t = 0; t < score.trackCount(); ++t)
        if (!score.verseCounts(t).empty())
            writeSyllables(score, t, numbering[static_cast<std::size_t>(t)], lyricsTracks);
    for (std::size_t v = 0; v < kept.lyricsRecords.size() && v < verses; ++v)
        for (const lyrics& record : kept.lyricsRecords[v])
            lyricsTracks[v].content.items.push_back(record);
}

}  // namespace

QeDocument recordsOfScore(const Score& score) {
    QeDocument file;
    const Score::Kept& kept = score.kept();
    file.tag.reserved = kept.documentReserved;
    file.header = score.header();
    file.content.tempo = kept.tempo;
    file.content.format.tag.reserved = kept.formatReserved;
    file.content.format.header = score.format();
    const std::vector<Numbering> numbering = writeTracks(score, file);
    writeShapes(score, numbering, file);
    writeLyrics(score, numbering, file);
    return file;
}

}  // namespace qe::music
