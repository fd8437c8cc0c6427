#pragma once

#include <compare>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "records/doc_chunks.h"
#include "music/item.h"

namespace qe::music {

// A syllable of lyrics under an item: its verse (the lyrics track it is stored in) and its
// record. The item owns it, so it goes where the item goes and is removed with it; a save
// writes it with the item's place. A text ending in "-" is a syllable of a word that goes on.
struct Syllable {
    int verse = 0;
    lyrics record;

    const std::u16string& text() const { return record.text; }
    // Whether the word goes on in the next syllable of the verse.
    bool continues() const { return !record.text.empty() && record.text.back() == u'-'; }
    // The text shown: without the "-" that the hyphen between syllables stands for.
    std::u16string shown() const {
        return continues() ? record.text.substr(0, record.text.size() - 1) : record.text;
    }
    friend bool operator==(const Syllable& a, const Syllable& b) {
        return a.verse == b.verse && a.record.text == b.record.text &&
               a.record.place.samePlace(b.record.place) &&
               a.record.place.timeA == b.record.place.timeA &&
               a.record.place.timeB == b.record.place.timeB;
    }
};

// One record of a note track as the score keeps it: the record exactly as read or typed, and
// the syllables on it. A record the editor skips (see decode) is kept where it stands, takes
// no item index and is never shown, so a save gives it back unchanged.
//
// What the record cannot say (chord tones, grace notes, articulations, a place in a tuplet, a
// chord symbol) is its extra, shared and never changed in place: an entry without one holds
// nothing, so plain scores cost no more than before.
struct Entry {
    note record;
    std::vector<Syllable> syllables;
    std::shared_ptr<const NoteExtra> extra;

    std::optional<Item> item() const { return decode(record); }
    // The extra, or an empty one.
    const NoteExtra& extras() const;
    void setExtras(NoteExtra value);
    friend bool operator==(const Entry& a, const Entry& b) {
        return a.record == b.record && a.syllables == b.syllables && a.extras() == b.extras();
    }
};

// The records between two bar lines: its items in order and any skipped records among them,
// closed by its bar line, the last entry. Only the last measure of a track may be open (the
// track goes on after its last bar line without closing it); it is shown as if closed by a
// plain bar line, and a save writes it as it stands.
struct Measure {
    std::vector<Entry> entries;

    bool closed() const;
    // The closing bar line's type; 0, a plain bar line, for an open measure.
    int barType() const;
    // The entries before the bar line.
    int contentCount() const {
        return static_cast<int>(entries.size()) - (closed() ? 1 : 0);
    }
    friend bool operator==(const Measure&, const Measure&) = default;
};

// One note track: its measures, then the skipped records after the last one, and the chunk
// tag it was read with, whose reserved word a save keeps.
struct Track {
    std::vector<Measure> measures;
    std::vector<note> trailing;
    chunk_tag tag{kNoteTrackId, 0, 0, 0};
    friend bool operator==(const Track& a, const Track& b) {
        return a.measures == b.measures && a.trailing == b.trailing &&
               a.tag.reserved == b.tag.reserved;
    }
};

// An entry of a track, by its measure and its index among the measure's entries.
struct EntryRef {
    int measure = 0;
    int entry = 0;
    friend auto operator<=>(const EntryRef&, const EntryRef&) = default;
};

// A tie arc between two items of one track, the first before the last.
struct Tie {
    int track = 0;
    EntryRef from;
    EntryRef to;
    friend bool operator==(const Tie&, const Tie&) = default;
};

// A volta bracket ("跳房子") over the measures from..to of one track, with its label.
struct Volta {
    int track = 0;
    int from = 0;
    int to = 0;
    std::u16string label;
    friend bool operator==(const Volta&, const Volta&) = default;
};

// What one change did to a score, for those who show it: measures [measure, measure +
// removed) of `track` became [measure, measure + added); the ties or the voltas changed; the
// title block or the format settings changed; or the whole score was replaced.
struct ScoreChange {
    enum class Kind { Measures, Ties, Voltas, Header, Format, Reset };
    Kind kind = Kind::Reset;
    int track = 0;
    int measure = 0;
    int removed = 0;
    int added = 0;
};

class ScoreObserver {
public:
    virtual ~ScoreObserver() = default;
    virtual void scoreChanged(const ScoreChange& change) = 0;
};

// A score: the title block and the format settings, the note tracks as measures of items, the
// ties and volta brackets between them, and the syllables on them. It is the one place a
// score's content lives; editing changes it through the operations below, each small and
// undone by its inverse, and layouts observe it.
//
// Places are kept valid by construction: every operation that moves entries moves the ties,
// voltas and syllables on them, and one that would leave a tie or a volta on nothing is
// refused (Exception kMismatch) instead, so that the editor removes them first, as steps it
// can undo.
class Score {
public:
    Score();
    Score(const Score&) = delete;
    Score& operator=(const Score&) = delete;

    // -- reading --------------------------------------------------------------------------
    const doc_header& header() const { return header_; }
    const format_track_header& format() const { return format_; }
    int trackCount() const { return static_cast<int>(tracks_.size()); }
    const Track& track(int t) const;
    const std::vector<Track>& tracks() const { return tracks_; }
    int measureCount(int t) const { return static_cast<int>(track(t).measures.size()); }
    const Measure& measure(int t, int m) const;
    const Entry& entry(int t, EntryRef at) const;
    const std::vector<Tie>& ties() const { return ties_; }
    const std::vector<Volta>& voltas() const { return voltas_; }
    // How many syllables of each verse a track holds.
    const std::vector<int>& verseCounts(int t) const;

    // -- the parts of the file this editor keeps without showing ---------------------------
    struct Kept {
        std::uint32_t documentReserved = 0;
        tempo_track tempo;
        std::uint32_t formatReserved = 0;
        // Format records of kinds other than ties and brackets, as read.
        std::vector<Format> otherFormats;
        // The chunk tags of the lyrics tracks read, one per verse, and per verse the records
        // that named no item of the score.
        std::vector<chunk_tag> lyricsTags;
        std::vector<std::vector<qe::lyrics>> lyricsRecords;
        // Extension entries of kinds this version does not know, written back as read.
        std::vector<ExtensionEntry> extension;
    };
    const Kept& kept() const { return kept_; }
    Kept& kept() { return kept_; }

    // -- building, for loading and tests: no observer hears of these ------------------------
    void setTracks(std::vector<Track> tracks);
    void setShapes(std::vector<Tie> ties, std::vector<Volta> voltas);

    // -- editing --------------------------------------------------------------------------
    // Puts an entry at index `e` of measure `m` (0 .. its entry count, and never after its bar
    // line) and returns nothing; ties on later entries of the measure follow.
    void insertEntry(int t, int m, int e, Entry entry);
    // Takes the entry out and returns it. Refused for a bar line and for an entry a tie rests on.
    Entry removeEntry(int t, int m, int e);
    // Replaces the record of an item by another of the same kind of item (not a bar line).
    void setRecord(int t, EntryRef at, note record);
    void setSyllables(int t, EntryRef at, std::vector<Syllable> syllables);
    // Replaces what an item carries beyond its record (see NoteExtra). Chord tones and grace
    // notes stand only on digits; the rest on any item before the bar line.
    void setExtra(int t, EntryRef at, NoteExtra extra);
    // A bar line typed into measure `m`: a new measure takes its first `count` entries, closed
    // by `barLine`; the rest keeps the old bar line and becomes measure m + 1, and so do the
    // voltas on the old measure. The first track numbers the measures: a split there moves
    // the measure marks (key and time changes, jumps) of later measures with them.
    void splitMeasure(int t, int m, int count, note barLine);
    // The inverse: measure `m` gives up its bar line, which is returned, and its other entries
    // go to the front of measure m + 1. Refused for the last measure, an open one, one a
    // volta rests on, and in the first track one whose next measure has a measure mark.
    note mergeMeasure(int t, int m);
    void insertTie(int index, Tie tie);
    Tie removeTie(int index);
    void insertVolta(int index, Volta volta);
    Volta removeVolta(int index);
    void setHeader(const doc_header& header);
    void setFormat(const format_track_header& format);

    // Tells the observers that everything changed, after the score was filled anew.
    void announceReset();

    void addObserver(ScoreObserver* observer);
    void removeObserver(ScoreObserver* observer);

    // Whether entry `at` of track `t` exists, is an item and is not a bar line.
    bool isContentItem(int t, EntryRef at) const;

private:
    Track& trackAt(int t);
    Measure& measureAt(int t, int m);
    void notify(const ScoreChange& change);
    void countSyllables(int t, const std::vector<Syllable>& syllables, int sign);
    // Moves the marks of measures after `after` by `by`, when track `t` numbers the measures.
    void shiftMarks(int t, int after, int by);

    doc_header header_;
    format_track_header format_;
    std::vector<Track> tracks_;
    std::vector<Tie> ties_;
    std::vector<Volta> voltas_;
    std::vector<std::vector<int>> verseCounts_;
    Kept kept_;
    std::vector<ScoreObserver*> observers_;
};

}  // namespace qe::music
