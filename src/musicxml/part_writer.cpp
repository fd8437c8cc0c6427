#include "musicxml/part_writer.h"

#include <algorithm>
#include <array>
#include <set>

#include "musicxml/xml_text.h"

namespace qe::musicxml {

using music::Item;
using music::Ticks;

namespace {

constexpr Ticks kShortest = music::kShortestTicks;

// MusicXML note types from the longest, with their lengths in ticks.
struct NoteType {
    const char* name;
    Ticks ticks;
};
constexpr std::array<NoteType, 11> kTypes = {{{"breve", 8 * 1920},
                                              {"whole", 4 * 1920},
                                              {"half", 2 * 1920},
                                              {"quarter", 1920},
                                              {"eighth", 960},
                                              {"16th", 480},
                                              {"32nd", 240},
                                              {"64th", 120},
                                              {"128th", 60},
                                              {"256th", 30},
                                              {"512th", 15}}};

struct TypedValue {
    const char* type;
    int dots;
    Ticks ticks;
};

// A length as typed notes to be tied, longest first; each with up to two dots.
std::vector<TypedValue> typedValues(Ticks length) {
    std::vector<TypedValue> out;
    while (length >= kShortest) {
        TypedValue best{kTypes.back().name, 0, kShortest};
        for (const NoteType& type : kTypes) {
            Ticks total = type.ticks;
            Ticks dot = type.ticks;
            for (int dots = 0; dots <= 2; ++dots) {
                if (dots > 0) {
                    if (dot % (2 * kShortest) != 0)
                        break;
                    dot /= 2;
                    total += dot;
                }
                if (total <= length && total > best.ticks)
                    best = TypedValue{type.name, dots, total};
            }
        }
        out.push_back(best);
        length -= best.ticks;
    }
    return out;
}

// The sign of an accidental for the pitch's alteration.
QString accidentalSign(int alter) {
    switch (alter) {
        case -3:
            return QStringLiteral("triple-flat");
        case -2:
            return QStringLiteral("flat-flat");
        case -1:
            return QStringLiteral("flat");
        case 0:
            return QStringLiteral("natural");
        case 1:
            return QStringLiteral("sharp");
        case 2:
            return QStringLiteral("double-sharp");
        case 3:
            return QStringLiteral("triple-sharp");
        default:
            return QString();
    }
}

struct Syllable {
    int verse = 1;
    QString syllabic;
    QString text;
};

}  // namespace

struct PartWriter::XmlNote {
    bool rest = true;
    music::Pitch pitch;
    TypedValue value{"quarter", 0, 1920};
    bool tieStart = false;
    bool tieStop = false;
    QString accidental;
    bool parentheses = false;
    std::vector<int> slurStops;
    std::vector<int> slurStarts;
    bool breath = false;
    std::vector<Syllable> syllables;
};

PartWriter::PartWriter(QXmlStreamWriter& xml, const music::Key& key, const doc_header& header,
                       ConversionReport& report)
    : xml_(xml), key_(key), header_(header), report_(report) {}

PartWriter::~PartWriter() = default;

void PartWriter::plan(const PartSource& source) {
    const music::TrackWalk& walk = *source.walk;
    const auto& items = walk.items;
    const auto& notes = walk.notes;
    const std::size_t noteCount = notes.size();
    const auto itemAt = [&](int index) -> const music::WalkItem* {
        return index >= 0 && static_cast<std::size_t>(index) < items.size()
                   ? &items[static_cast<std::size_t>(index)]
                   : nullptr;
    };

    // Parentheses around exactly one note are that note's; any others have no MusicXML form.
    std::vector<bool> parens(noteCount), breath(noteCount), tieToNext(noteCount);
    std::set<int> usedParens;
    for (std::size_t n = 0; n < noteCount; ++n) {
        const music::WalkItem* open = itemAt(notes[n].item - 1);
        const music::WalkItem* close = itemAt(notes[n].items.back() + 1);
        if (open && close && open->item.kind == Item::Kind::OpenParen &&
            close->item.kind == Item::Kind::CloseParen) {
            parens[n] = true;
            usedParens.insert(notes[n].item - 1);
            usedParens.insert(notes[n].items.back() + 1);
        }
    }
    for (std::size_t i = 0; i < items.size(); ++i) {
        const Item& item = items[i].item;
        if ((item.kind == Item::Kind::OpenParen || item.kind == Item::Kind::CloseParen) &&
            !usedParens.count(static_cast<int>(i)))
            dropped(QStringLiteral("parentheses not around one note dropped"), items[i].measure);
        if (item.kind != Item::Kind::Breath)
            continue;
        // A breath mark is taken after the note before it.
        int j = static_cast<int>(i) - 1;
        while (j >= 0 && items[static_cast<std::size_t>(j)].note < 0)
            --j;
        if (j < 0)
            dropped(QStringLiteral("breath marks before the first note dropped"), items[i].measure);
        else
            breath[static_cast<std::size_t>(items[static_cast<std::size_t>(j)].note)] = true;
    }

    // Arcs between neighbouring notes of one pitch are ties; every other arc is a slur.
    std::vector<std::pair<int, int>> slurs;
    for (const music::Tie& arc : source.arcs) {
        const int a = music::noteReached(walk, arc.from, true);
        const int b = music::noteReached(walk, arc.to, false);
        if (a < 0 || b <= a) {
            const music::WalkItem* at = itemAt(arc.from);
            dropped(QStringLiteral("arcs that join no two notes dropped"), at ? at->measure : 0);
            continue;
        }
        const auto& na = notes[static_cast<std::size_t>(a)];
        const auto& nb = notes[static_cast<std::size_t>(b)];
        if (b == a + 1 && na.pitch && nb.pitch && na.pitch->midi() == nb.pitch->midi())
            tieToNext[static_cast<std::size_t>(a)] = true;
        else
            slurs.emplace_back(a, b);
    }
    std::vector<std::vector<int>> slursFrom(noteCount), slursTo(noteCount);
    for (std::size_t s = 0; s < slurs.size(); ++s) {
        slursFrom[static_cast<std::size_t>(slurs[s].first)].push_back(static_cast<int>(s));
        slursTo[static_cast<std::size_t>(slurs[s].second)].push_back(static_cast<int>(s));
    }

    // Syllables go under the note whose digit or rest they name; a word that goes on is
    // written with a hyphen after its syllable.
    std::vector<std::vector<Syllable>> syllables(noteCount);
    std::map<int, bool> wordOpen;  // verse → the last syllable's word goes on
    for (const auto& [item, list] : source.syllables) {
        const music::WalkItem* at = itemAt(item);
        const bool onNote =
            at && at->note >= 0 && notes[static_cast<std::size_t>(at->note)].item == item;
        for (const auto& [verse, text] : list) {
            if (!onNote) {
                dropped(QStringLiteral("syllables not under a note or rest dropped"),
                        at ? at->measure : 0);
                continue;
            }
            const bool goesOn = text.size() >= 2 && text.endsWith(QLatin1Char('-'));
            bool& open = wordOpen[verse];
            Syllable s;
            s.verse = verse;
            s.text = goesOn ? text.left(text.size() - 1) : text;
            s.syllabic = goesOn ? (open ? QStringLiteral("middle") : QStringLiteral("begin"))
                                : (open ? QStringLiteral("end") : QStringLiteral("single"));
            open = goesOn;
            syllables[static_cast<std::size_t>(at->note)].push_back(std::move(s));
        }
    }

    // The notes of each measure: a note's digit, dashes and dots make one piece in each
    // measure they reach; every piece is written as one note or as tied notes.
    const std::size_t measureCount = walk.measures.size();
    measures_.assign(measureCount, {});
    std::vector<int> slurNumber(slurs.size(), 0);
    std::array<bool, 17> busy{};
    std::vector<int> xmlCount(noteCount, 0);  // notes written for each note so far
    std::vector<Ticks> remaining(noteCount);
    for (std::size_t n = 0; n < noteCount; ++n)
        remaining[n] = notes[n].length;
    int orphans = 0;
    for (std::size_t m = 0; m < measureCount; ++m) {
        const music::MeasureSpan& span = walk.measures[m];
        for (int i = span.firstItem; i < span.endItem;) {
            const music::WalkItem& w = items[static_cast<std::size_t>(i)];
            if (w.item.isBarLine() || w.length == 0) {
                ++i;
                continue;
            }
            // A piece: this item and the dashes and dots after it that belong to its note.
            Ticks length = 0;
            int j = i;
            for (; j < span.endItem; ++j) {
                const music::WalkItem& x = items[static_cast<std::size_t>(j)];
                if (x.item.isBarLine() || x.note != w.note || (j > i && x.item.isNoteOrRest()))
                    break;
                length += x.length;
            }
            i = j;
            if (length == 0)
                continue;
            if (w.note < 0) {
                ++orphans;
                for (const TypedValue& value : typedValues(length)) {
                    XmlNote& x = measures_[m].emplace_back();
                    x.value = value;
                }
                continue;
            }
            const auto n = static_cast<std::size_t>(w.note);
            const music::SoundingNote& sounding = notes[n];
            const Item& head = items[static_cast<std::size_t>(sounding.item)].item;
            bool rest = !sounding.pitch;
            if (sounding.pitch && (sounding.pitch->octave < 0 || sounding.pitch->octave > 9)) {
                dropped(QStringLiteral("notes beyond the range of MusicXML written as rests"),
                        static_cast<int>(m));
                rest = true;
            }
            remaining[n] -= length;
            const std::vector<TypedValue> values = typedValues(length);
            for (std::size_t v = 0; v < values.size(); ++v) {
                XmlNote x;
                x.rest = rest;
                x.pitch = sounding.pitch.value_or(music::Pitch{});
                x.value = values[v];
                const bool firstOfNote = xmlCount[n]++ == 0;
                const bool lastOfNote = v + 1 == values.size() && remaining[n] == 0;
                if (!rest) {
                    x.tieStop = !firstOfNote || (n > 0 && tieToNext[n - 1]);
                    x.tieStart = !lastOfNote || tieToNext[n];
                }
                if (firstOfNote) {
                    if (!rest && head.accidental >= 1 && head.accidental <= 5)
                        x.accidental = accidentalSign(sounding.pitch->alter);
                    else if (head.accidental != 0)
                        dropped(QStringLiteral("accidentals on rests or without a meaning dropped"),
                                static_cast<int>(m));
                    x.parentheses = parens[n];
                    x.syllables = syllables[n];
                    for (int s : slursFrom[n]) {
                        const auto free = std::find(busy.begin() + 1, busy.end(), false);
                        if (free == busy.end()) {
                            dropped(QStringLiteral("slurs beyond 16 at once dropped"),
                                    static_cast<int>(m));
                            slurNumber[static_cast<std::size_t>(s)] = -1;
                            continue;
                        }
                        *free = true;
                        slurNumber[static_cast<std::size_t>(s)] =
                            static_cast<int>(free - busy.begin());
                        x.slurStarts.push_back(slurNumber[static_cast<std::size_t>(s)]);
                    }
                }
                if (lastOfNote) {
                    x.breath = breath[n];
                    for (int s : slursTo[n]) {
                        const int number = slurNumber[static_cast<std::size_t>(s)];
                        if (number > 0) {
                            x.slurStops.push_back(number);
                            busy[static_cast<std::size_t>(number)] = false;
                        }
                    }
                }
                measures_[m].push_back(std::move(x));
            }
        }
    }
    if (orphans)
        report_.add(QStringLiteral("dashes and dots after no note written as rests"), QString(),
                    orphans);

    // A begin repeat closing a measure opens the next one; an empty measure that only holds
    // it is no measure of its own.
    skipped_.assign(measureCount, false);
    forward_.assign(measureCount, false);
    for (std::size_t m = 0; m < measureCount; ++m) {
        const music::MeasureSpan& span = walk.measures[m];
        if (span.barType != 3 || m + 1 == measureCount)
            continue;
        forward_[m + 1] = true;
        const bool empty = span.endItem - span.firstItem == 1;
        skipped_[m] = empty && !forward_[m] && (m == 0 || walk.measures[m - 1].barType != 0);
    }

    // Volta brackets: from the measure its first bar line closes to the one its last closes,
    // numbered 1, 2, ... where they follow each other.
    std::map<int, int> stopNumber;
    std::vector<std::pair<int, int>> spans;
    for (const auto& [from, to] : source.brackets) {
        const music::WalkItem* a = itemAt(from);
        const music::WalkItem* b = itemAt(to);
        if (!a || !b || !a->item.isBarLine() || !b->item.isBarLine() || from > to) {
            dropped(QStringLiteral("volta brackets that name no measures dropped"),
                    a ? a->measure : 0);
            continue;
        }
        // Measures that are not written (empty ones that only begin a repeat) carry no ending.
        const auto skipped = [this](int m) { return skipped_[static_cast<std::size_t>(m)]; };
        int first = a->measure;
        int last = b->measure;
        while (first < last && skipped(first))
            ++first;
        while (last > first && skipped(last))
            --last;
        if (skipped(first)) {
            dropped(QStringLiteral("volta brackets over no written measure dropped"), first);
            continue;
        }
        spans.emplace_back(first, last);
    }
    std::sort(spans.begin(), spans.end());
    int lastEnd = -1;
    for (const auto& [first, last] : spans) {
        // One ending at a time: MusicXML endings do not overlap.
        if (first <= lastEnd) {
            dropped(QStringLiteral("volta brackets over a measure that has one dropped"), first);
            continue;
        }
        int before = first - 1;
        while (before >= 0 && skipped_[static_cast<std::size_t>(before)])
            --before;
        const auto previous = stopNumber.find(before);
        const int number = previous != stopNumber.end() ? previous->second + 1 : 1;
        endingStarts_[first] = number;
        endingStops_[last] = number;
        stopNumber[last] = number;
        lastEnd = last;
    }

    // Low tracks read better in the bass clef.
    long long sum = 0;
    long long pitched = 0;
    for (const music::SoundingNote& n : notes)
        if (n.pitch) {
            sum += n.pitch->midi();
            ++pitched;
        }
    bassClef_ = pitched > 0 && sum < 60 * pitched;
}

void PartWriter::write(const QString& id, const PartSource& source) {
    walk_ = source.walk;
    measures_.clear();
    endingStarts_.clear();
    endingStops_.clear();
    plan(source);
    xml_.writeStartElement(QStringLiteral("part"));
    xml_.writeAttribute(QStringLiteral("id"), id);
    int number = 1;
    bool first = true;
    declared_ = music::Meter::of(header_).measureLength();
    for (std::size_t m = 0; m < measures_.size(); ++m) {
        if (skipped_[m])
            continue;
        // A first measure shorter than the time signature is a pickup, numbered 0.
        const Ticks length = walk_->measures[m].length;
        if (first && length < declared_ && length > 0)
            number = 0;
        writeMeasure(m, number++, first, source);
        first = false;
    }
    xml_.writeEndElement();
}

void PartWriter::writeAttributes() {
    xml_.writeStartElement(QStringLiteral("attributes"));
    xml_.writeTextElement(QStringLiteral("divisions"), QString::number(kDivisions));
    xml_.writeStartElement(QStringLiteral("key"));
    xml_.writeTextElement(QStringLiteral("fifths"), QString::number(key_.fifths()));
    xml_.writeTextElement(QStringLiteral("mode"), QStringLiteral("major"));
    xml_.writeEndElement();
    const int beats = header_.timeNumerator;
    const int type = header_.timeDenominator;
    if (beats >= 1 && beats <= 99 && type >= 1 && type <= 64 && (type & (type - 1)) == 0) {
        xml_.writeStartElement(QStringLiteral("time"));
        xml_.writeTextElement(QStringLiteral("beats"), QString::number(beats));
        xml_.writeTextElement(QStringLiteral("beat-type"), QString::number(type));
        xml_.writeEndElement();
    } else {
        report_.addOnce(QStringLiteral("a time signature MusicXML has no form for not written"));
    }
    xml_.writeStartElement(QStringLiteral("clef"));
    xml_.writeTextElement(QStringLiteral("sign"),
                          bassClef_ ? QStringLiteral("F") : QStringLiteral("G"));
    xml_.writeTextElement(QStringLiteral("line"),
                          bassClef_ ? QStringLiteral("4") : QStringLiteral("2"));
    xml_.writeEndElement();
    xml_.writeEndElement();
}

void PartWriter::writeHiddenTime(Ticks length) {
    const Ticks whole = music::kWholeTicks;
    int type = header_.timeDenominator;
    if (type < 1 || type > 64 || (type & (type - 1)) != 0)
        type = 4;
    while (length * type % whole != 0)
        type *= 2;
    xml_.writeStartElement(QStringLiteral("attributes"));
    xml_.writeStartElement(QStringLiteral("time"));
    xml_.writeAttribute(QStringLiteral("print-object"), QStringLiteral("no"));
    xml_.writeTextElement(QStringLiteral("beats"), QString::number(length * type / whole));
    xml_.writeTextElement(QStringLiteral("beat-type"), QString::number(type));
    xml_.writeEndElement();
    xml_.writeEndElement();
    declared_ = length;
}

void PartWriter::writeMeasure(std::size_t m, int number, bool first, const PartSource& source) {
    const music::MeasureSpan& span = walk_->measures[m];
    const int index = static_cast<int>(m);
    xml_.writeCharacters(QStringLiteral("\n"));
    xml_.writeStartElement(QStringLiteral("measure"));
    xml_.writeAttribute(QStringLiteral("number"), QString::number(number));
    if (number == 0)
        xml_.writeAttribute(QStringLiteral("implicit"), QStringLiteral("yes"));
    if (first) {
        writeAttributes();
        if (!source.words.isEmpty()) {
            xml_.writeStartElement(QStringLiteral("direction"));
            xml_.writeAttribute(QStringLiteral("placement"), QStringLiteral("above"));
            xml_.writeStartElement(QStringLiteral("direction-type"));
            xml_.writeTextElement(QStringLiteral("words"), source.words);
            xml_.writeEndElement();
            xml_.writeEndElement();
        }
    }
    // Jianpu measures may be longer or shorter than the time signature; such a measure gets a
    // hidden time signature of its own length, so that every reader counts it as written.
    if (number != 0 && span.length > 0 && span.length != declared_)
        writeHiddenTime(span.length);
    const auto starts = endingStarts_.find(index);
    if (forward_[m] || starts != endingStarts_.end()) {
        xml_.writeStartElement(QStringLiteral("barline"));
        xml_.writeAttribute(QStringLiteral("location"), QStringLiteral("left"));
        if (forward_[m])
            xml_.writeTextElement(QStringLiteral("bar-style"), QStringLiteral("heavy-light"));
        if (starts != endingStarts_.end()) {
            xml_.writeEmptyElement(QStringLiteral("ending"));
            xml_.writeAttribute(QStringLiteral("number"), QString::number(starts->second));
            xml_.writeAttribute(QStringLiteral("type"), QStringLiteral("start"));
        }
        if (forward_[m]) {
            xml_.writeEmptyElement(QStringLiteral("repeat"));
            xml_.writeAttribute(QStringLiteral("direction"), QStringLiteral("forward"));
        }
        xml_.writeEndElement();
    }
    for (const XmlNote& n : measures_[m])
        writeNote(n);

    // The closing bar line; a begin repeat closing a measure with another after it is that
    // measure's left bar line instead.
    const bool last = m + 1 == measures_.size();
    static const char* const kStyles[] = {nullptr,       "heavy",  "light-light", "heavy-light",
                                          "light-heavy", "dashed", "light-heavy", "none"};
    const char* style = span.barType >= 0 && span.barType <= 7 && !(span.barType == 3 && !last)
                            ? kStyles[span.barType]
                            : nullptr;
    const auto stops = endingStops_.find(index);
    const bool repeat = span.barType == 4 || (span.barType == 3 && last);
    if (style || stops != endingStops_.end() || repeat) {
        xml_.writeStartElement(QStringLiteral("barline"));
        xml_.writeAttribute(QStringLiteral("location"), QStringLiteral("right"));
        if (style)
            xml_.writeTextElement(QStringLiteral("bar-style"), QLatin1String(style));
        if (stops != endingStops_.end()) {
            xml_.writeEmptyElement(QStringLiteral("ending"));
            xml_.writeAttribute(QStringLiteral("number"), QString::number(stops->second));
            xml_.writeAttribute(QStringLiteral("type"), QStringLiteral("stop"));
        }
        if (repeat) {
            xml_.writeEmptyElement(QStringLiteral("repeat"));
            xml_.writeAttribute(QStringLiteral("direction"), span.barType == 4
                                                                 ? QStringLiteral("backward")
                                                                 : QStringLiteral("forward"));
        }
        xml_.writeEndElement();
    }
    xml_.writeEndElement();
}

void PartWriter::writeNote(const XmlNote& n) {
    xml_.writeStartElement(QStringLiteral("note"));
    if (n.rest) {
        xml_.writeEmptyElement(QStringLiteral("rest"));
    } else {
        xml_.writeStartElement(QStringLiteral("pitch"));
        xml_.writeTextElement(QStringLiteral("step"), QString(QChar(u"CDEFGAB"[n.pitch.step])));
        if (n.pitch.alter != 0)
            xml_.writeTextElement(QStringLiteral("alter"), QString::number(n.pitch.alter));
        xml_.writeTextElement(QStringLiteral("octave"), QString::number(n.pitch.octave));
        xml_.writeEndElement();
    }
    xml_.writeTextElement(QStringLiteral("duration"), QString::number(n.value.ticks / kShortest));
    const auto tie = [this](const char* element, bool stop, bool start) {
        for (const auto& [on, type] : {std::pair{stop, "stop"}, std::pair{start, "start"}}) {
            if (!on)
                continue;
            xml_.writeEmptyElement(QLatin1String(element));
            xml_.writeAttribute(QStringLiteral("type"), QLatin1String(type));
        }
    };
    tie("tie", n.tieStop, n.tieStart);
    xml_.writeTextElement(QStringLiteral("voice"), QStringLiteral("1"));
    xml_.writeTextElement(QStringLiteral("type"), QLatin1String(n.value.type));
    for (int d = 0; d < n.value.dots; ++d)
        xml_.writeEmptyElement(QStringLiteral("dot"));
    if (!n.accidental.isEmpty())
        xml_.writeTextElement(QStringLiteral("accidental"), n.accidental);
    if (n.parentheses) {
        xml_.writeStartElement(QStringLiteral("notehead"));
        xml_.writeAttribute(QStringLiteral("parentheses"), QStringLiteral("yes"));
        xml_.writeCharacters(QStringLiteral("normal"));
        xml_.writeEndElement();
    }
    if (n.tieStop || n.tieStart || !n.slurStops.empty() || !n.slurStarts.empty() || n.breath) {
        xml_.writeStartElement(QStringLiteral("notations"));
        tie("tied", n.tieStop, n.tieStart);
        for (const auto& [numbers, type] :
             {std::pair{&n.slurStops, "stop"}, std::pair{&n.slurStarts, "start"}}) {
            for (int number : *numbers) {
                xml_.writeEmptyElement(QStringLiteral("slur"));
                xml_.writeAttribute(QStringLiteral("type"), QLatin1String(type));
                xml_.writeAttribute(QStringLiteral("number"), QString::number(number));
            }
        }
        if (n.breath) {
            xml_.writeStartElement(QStringLiteral("articulations"));
            xml_.writeEmptyElement(QStringLiteral("breath-mark"));
            xml_.writeEndElement();
        }
        xml_.writeEndElement();
    }
    for (const Syllable& s : n.syllables) {
        xml_.writeStartElement(QStringLiteral("lyric"));
        xml_.writeAttribute(QStringLiteral("number"), QString::number(s.verse));
        xml_.writeTextElement(QStringLiteral("syllabic"), s.syllabic);
        xml_.writeTextElement(QStringLiteral("text"), s.text);
        xml_.writeEndElement();
    }
    xml_.writeEndElement();
}

}  // namespace qe::musicxml
