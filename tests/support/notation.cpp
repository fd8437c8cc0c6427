#include "support/notation.h"

#include <algorithm>

#include "music/score_records.h"

#include <sstream>
#include <stdexcept>

namespace qe {

void PrintTo(const PlacedNoteExtra& p, std::ostream* out) {
    const NoteExtra& e = p.extra;
    *out << "{track " << p.track << " record " << p.record;
    for (const NoteTone& t : e.tones)
        *out << " tone " << int(t.degree) << "/" << int(t.octave) << "/" << int(t.accidental);
    for (const GraceNote& g : e.graces)
        *out << (g.after ? " after " : " grace ") << int(g.tone.degree) << "/" << int(g.tone.octave)
             << "/" << int(g.tone.accidental) << "_" << int(g.underlines);
    if (e.articulations)
        *out << " marks " << e.articulations;
    for (const TupletMark& t : e.tuplets)
        if (t.active())
            *out << " tuplet " << int(t.actual) << ":" << int(t.normal) << (t.starts ? "*" : "");
    if (!e.chordSymbol.empty())
        *out << " chord " << std::string(e.chordSymbol.begin(), e.chordSymbol.end());
    *out << "}";
}

}  // namespace qe

namespace qe::test {

namespace {

int barTypeOf(const std::string& token) {
    static const std::pair<const char*, int> kBars[] = {{"|", 0},  {"|1", 1}, {"||", 2}, {"|:", 3},
                                                        {":|", 4}, {"|.", 5}, {"|]", 6}, {"/", 7}};
    for (const auto& [text, type] : kBars)
        if (token == text)
            return type;
    return -1;
}

note parseNote(const std::string& token) {
    std::size_t i = 0;
    int accidental = 0;
    switch (token[0]) {
        case '#':
            accidental = 1;
            ++i;
            break;
        case 'x':
            accidental = 2;
            ++i;
            break;
        case 'b':
            accidental = 3;
            ++i;
            break;
        case 'B':
            accidental = 4;
            ++i;
            break;
        case 'n':
            accidental = 5;
            ++i;
            break;
        default:
            break;
    }
    if (i >= token.size() || token[i] < '0' || token[i] > '7')
        throw std::invalid_argument(token);
    const int degree = token[i++] - '0';
    int octave = 0;
    int duration = 0;
    for (; i < token.size(); ++i) {
        if (token[i] == '\'')
            ++octave;
        else if (token[i] == ',')
            --octave;
        else if (token[i] == '_')
            ++duration;
        else
            throw std::invalid_argument(token);
    }
    if (degree == 0)
        return note::rest(duration);
    return note(accidental, degree, octave, duration);
}

}  // namespace

std::vector<note> parseTrack(const std::string& text) {
    std::vector<note> notes;
    std::istringstream in(text);
    std::string token;
    while (in >> token) {
        if (const int bar = barTypeOf(token); bar >= 0)
            notes.push_back(note::barLine(bar));
        else if (token == "-")
            notes.push_back(note::mark(note::kDash));
        else if (token == ".")
            notes.push_back(note::mark(note::kAugmentationDot));
        else if (token == "v")
            notes.push_back(note::mark(note::kBreath));
        else if (token == "(")
            notes.push_back(note::mark(note::kOpenParen));
        else if (token == ")")
            notes.push_back(note::mark(note::kCloseParen));
        else
            notes.push_back(parseNote(token));
    }
    return notes;
}

std::string formatTrack(const std::vector<note>& records) {
    static const char* const kBars[] = {"|", "|1", "||", "|:", ":|", "|.", "|]", "/"};
    static const char* const kMarks[] = {"-", ".", "v", "(", ")"};
    static const char* const kAccidentals[] = {"", "#", "x", "b", "B", "n", "?", "?"};
    std::string out;
    for (const note& n : records) {
        if (!out.empty())
            out += ' ';
        if (n.isBarLine() && n.barType() <= 7) {
            out += kBars[n.barType()];
        } else if (n.isMark() && n.markType() <= note::kCloseParen) {
            out += kMarks[n.markType()];
        } else if (n.isNoteLike() && (n.degree() != 0 || n.octaveCode() == note::kRestOctaveCode)) {
            out += kAccidentals[n.accidental()];
            out += static_cast<char>('0' + n.degree());
            const int octave = n.degree() != 0 ? n.octaveCode() - 7 : 0;
            out += std::string(static_cast<std::size_t>(octave > 0 ? octave : 0), '\'');
            out += std::string(static_cast<std::size_t>(octave < 0 ? -octave : 0), ',');
            out += std::string(static_cast<std::size_t>(n.duration()), '_');
        } else {
            out += '?';
        }
    }
    return out;
}

QeDocument scoreOf(std::initializer_list<std::string> tracks, const std::u16string& title) {
    return scoreOfTracks(std::vector<std::string>(tracks), title);
}

QeDocument scoreOfTracks(const std::vector<std::string>& tracks, const std::u16string& title) {
    QeDocument doc;
    doc.header.title = title;
    for (const std::string& text : tracks) {
        note_track track;
        track.content.items = parseTrack(text);
        doc.noteTracks().push_back(std::move(track));
    }
    return doc;
}

void changeExtra(QeDocument& doc, int track, int record,
                 const std::function<void(NoteExtra&)>& change) {
    auto& extras = doc.header.noteExtras;
    const auto key = std::pair(static_cast<std::uint32_t>(track), static_cast<std::uint32_t>(record));
    auto at = std::lower_bound(extras.begin(), extras.end(), key,
                               [](const PlacedNoteExtra& e, const auto& k) {
                                   return std::pair(e.track, e.record) < k;
                               });
    if (at == extras.end() || std::pair(at->track, at->record) != key)
        at = extras.insert(at, PlacedNoteExtra{key.first, key.second, {}});
    change(at->extra);
}

void addTuplet(QeDocument& doc, int track, int first, int last, int actual, int normal,
               int level) {
    const auto& records = doc.noteTracks()[static_cast<std::size_t>(track)].content.items;
    bool starts = true;
    for (int r = first; r <= last; ++r) {
        const auto item = music::decode(records[static_cast<std::size_t>(r)]);
        if (!item || !item->isNoteOrRest())
            continue;
        changeExtra(doc, track, r, [&](NoteExtra& e) {
            e.tuplets[static_cast<std::size_t>(level)] =
                TupletMark{static_cast<std::uint8_t>(actual), static_cast<std::uint8_t>(normal),
                           starts};
        });
        starts = false;
    }
}

QeDocument scoreWithShapes(std::initializer_list<std::string> tracks, const std::u16string& title) {
    QeDocument doc;
    doc.header.title = title;
    std::vector<Format> arcs, brackets;  // arcs first, as the editor writes them
    int t = 0;
    for (const std::string& text : tracks) {
        std::string plain;
        std::istringstream in(text);
        std::string token;
        int items = 0;
        int tieFrom = -1;
        int bracketFrom = -1;
        bool tiePending = false;
        const auto shape = [&](int type, int from, int to) {
            Format record;
            record.type = static_cast<std::uint8_t>(type);
            record.from = location(1, t, static_cast<std::int16_t>(from));
            record.to = location(1, t, static_cast<std::int16_t>(to));
            (type == Format::kArc ? arcs : brackets).push_back(record);
        };
        while (in >> token) {
            if (token == "{") {
                bracketFrom = items;
                continue;
            }
            if (token == "}") {
                // From the bar line that closes the bracket's first measure to the one just read.
                const std::vector<note> sofar = parseTrack(plain);
                int first = bracketFrom;
                while (first < items && !sofar[static_cast<std::size_t>(first)].isBarLine())
                    ++first;
                shape(Format::kVolta, first, items - 1);
                continue;
            }
            const bool ties = token.size() > 1 && token.back() == '~';
            if (ties)
                token.pop_back();
            const note item = parseTrack(token).at(0);
            if (tiePending && !item.isMark() && !item.isBarLine()) {
                shape(Format::kArc, tieFrom, items);
                tiePending = false;
            }
            if (ties) {
                tieFrom = items;
                tiePending = true;
            }
            plain += token + " ";
            ++items;
        }
        note_track track;
        track.content.items = parseTrack(plain);
        doc.noteTracks().push_back(std::move(track));
        ++t;
    }
    doc.formatRecords() = arcs;
    doc.formatRecords().insert(doc.formatRecords().end(), brackets.begin(), brackets.end());
    return doc;
}

void addFormat(QeDocument& doc, int type, int track, int fromItem, int toItem) {
    Format record;
    record.type = static_cast<std::uint8_t>(type);
    record.from = location(1, track, static_cast<std::int16_t>(fromItem));
    record.to = location(1, track, static_cast<std::int16_t>(toItem));
    doc.formatRecords().push_back(record);
}

std::unique_ptr<music::Score> scoreFrom(const QeDocument& doc) {
    auto score = std::make_unique<music::Score>();
    music::scoreFromRecords(doc, *score);
    return score;
}

std::vector<music::TrackWalk> walkRecords(const QeDocument& doc) {
    return music::walkScore(*scoreFrom(doc));
}

music::Track trackOf(const std::vector<note>& records) {
    return music::trackFromRecords(records);
}

music::TrackWalk walkText(const std::string& text, const music::Key& key) {
    return music::walkTrack(trackOf(parseTrack(text)), key);
}

std::vector<music::Item> itemsOf(const std::string& text) {
    std::vector<music::Item> items;
    for (const note& n : parseTrack(text))
        items.push_back(*music::decode(n));
    return items;
}

}  // namespace qe::test
