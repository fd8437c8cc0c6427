#include "edit/score_edit.h"

#include "base/exception.h"

namespace qe {

Change inverseOf(const Change& c) {
    using namespace change;
    struct Inverse {
        Change operator()(const InsertEntry& x) const {
            return RemoveEntry{x.track, x.measure, x.entry, x.value};
        }
        Change operator()(const RemoveEntry& x) const {
            return InsertEntry{x.track, x.measure, x.entry, x.value};
        }
        Change operator()(const SetRecord& x) const {
            return SetRecord{x.track, x.at, x.after, x.before};
        }
        Change operator()(const SplitMeasure& x) const {
            return MergeMeasure{x.track, x.measure, x.count, x.barLine};
        }
        Change operator()(const MergeMeasure& x) const {
            return SplitMeasure{x.track, x.measure, x.count, x.barLine};
        }
        Change operator()(const AddTie& x) const { return RemoveTie{x.index, x.tie}; }
        Change operator()(const RemoveTie& x) const { return AddTie{x.index, x.tie}; }
        Change operator()(const AddVolta& x) const { return RemoveVolta{x.index, x.volta}; }
        Change operator()(const RemoveVolta& x) const { return AddVolta{x.index, x.volta}; }
        Change operator()(const SetSyllables& x) const {
            return SetSyllables{x.track, x.at, x.after, x.before};
        }
        Change operator()(const SetExtra& x) const {
            return SetExtra{x.track, x.at, x.after, x.before};
        }
        Change operator()(const SetHeader& x) const { return SetHeader{x.after, x.before}; }
        Change operator()(const SetFormat& x) const { return SetFormat{x.after, x.before}; }
    };
    return std::visit(Inverse{}, c);
}

void applyChange(music::Score& score, const Change& c) {
    using namespace change;
    struct Apply {
        music::Score& s;
        void operator()(const InsertEntry& x) const {
            s.insertEntry(x.track, x.measure, x.entry, x.value);
        }
        void operator()(const RemoveEntry& x) const {
            if (!(s.entry(x.track, {x.measure, x.entry}).record == x.value.record))
                throw Exception(kMismatch, "the entry to remove is not the one recorded");
            s.removeEntry(x.track, x.measure, x.entry);
        }
        void operator()(const SetRecord& x) const { s.setRecord(x.track, x.at, x.after); }
        void operator()(const SplitMeasure& x) const {
            s.splitMeasure(x.track, x.measure, x.count, x.barLine);
        }
        void operator()(const MergeMeasure& x) const {
            if (s.measure(x.track, x.measure).contentCount() != x.count)
                throw Exception(kMismatch, "the measure to merge is not the one recorded");
            s.mergeMeasure(x.track, x.measure);
        }
        void operator()(const AddTie& x) const { s.insertTie(x.index, x.tie); }
        void operator()(const RemoveTie& x) const {
            if (x.index < 0 || x.index >= static_cast<int>(s.ties().size()) ||
                !(s.ties()[static_cast<std::size_t>(x.index)] == x.tie))
                throw Exception(kMismatch, "the tie to remove is not the one recorded");
            s.removeTie(x.index);
        }
        void operator()(const AddVolta& x) const { s.insertVolta(x.index, x.volta); }
        void operator()(const RemoveVolta& x) const {
            if (x.index < 0 || x.index >= static_cast<int>(s.voltas().size()) ||
                !(s.voltas()[static_cast<std::size_t>(x.index)] == x.volta))
                throw Exception(kMismatch, "the volta to remove is not the one recorded");
            s.removeVolta(x.index);
        }
        void operator()(const SetSyllables& x) const { s.setSyllables(x.track, x.at, x.after); }
        void operator()(const SetExtra& x) const { s.setExtra(x.track, x.at, x.after); }
        void operator()(const SetHeader& x) const {
            if (x.after)
                s.setHeader(*x.after);
        }
        void operator()(const SetFormat& x) const {
            if (x.after)
                s.setFormat(*x.after);
        }
    };
    std::visit(Apply{score}, c);
}

std::size_t heldBytes(const Change& c) {
    using namespace change;
    const auto syllables = [](const std::vector<music::Syllable>& list) {
        std::size_t bytes = list.capacity() * sizeof(music::Syllable);
        for (const music::Syllable& s : list)
            bytes += s.record.text.capacity() * sizeof(char16_t);
        return bytes;
    };
    if (const auto* x = std::get_if<InsertEntry>(&c))
        return syllables(x->value.syllables);
    if (const auto* x = std::get_if<RemoveEntry>(&c))
        return syllables(x->value.syllables);
    if (const auto* x = std::get_if<AddVolta>(&c))
        return x->volta.label.capacity() * sizeof(char16_t);
    if (const auto* x = std::get_if<RemoveVolta>(&c))
        return x->volta.label.capacity() * sizeof(char16_t);
    if (const auto* x = std::get_if<SetSyllables>(&c))
        return syllables(x->before) + syllables(x->after);
    if (const auto* x = std::get_if<SetExtra>(&c))
        return 2 * sizeof(NoteExtra) + x->before.chordSymbol.capacity() * 2 +
               x->after.chordSymbol.capacity() * 2;
    if (std::holds_alternative<SetHeader>(c))
        return 2 * sizeof(doc_header);
    if (std::holds_alternative<SetFormat>(c))
        return 2 * sizeof(format_track_header);
    return 0;
}

}  // namespace qe
