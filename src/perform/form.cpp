#include "perform/form.h"

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <optional>

namespace qe::sound {

namespace {

constexpr int kBeginRepeat = 3;
constexpr int kEndRepeat = 4;
using music::kMostPasses;
using music::passesOfLabel;
constexpr std::uint32_t kEveryPass = ~0u;

struct Bracket {
    int first = 0;
    int last = 0;
    std::uint32_t passes = 0;  // bit p-1 for pass p; 0 until worked out for an unlabelled one
    bool labelled = false;
    int repeat = -1;  // the end repeat whose endings it is among, or -1
};

std::vector<Bracket> readBrackets(const std::vector<music::TrackWalk>& tracks,
                                  std::span<const music::Volta> voltas) {
    std::vector<Bracket> brackets;
    const auto closed = [](const music::TrackWalk& walk, int m) {
        return m >= 0 && static_cast<std::size_t>(m) < walk.measures.size() &&
               walk.measures[static_cast<std::size_t>(m)].barType >= 0;
    };
    for (const music::Volta& volta : voltas) {
        if (volta.track < 0 || static_cast<std::size_t>(volta.track) >= tracks.size())
            continue;
        const music::TrackWalk& walk = tracks[static_cast<std::size_t>(volta.track)];
        if (!closed(walk, volta.from) || !closed(walk, volta.to) || volta.to < volta.from)
            continue;
        Bracket bracket{volta.from, volta.to};
        if (volta.label != u"1")
            bracket.passes = passesOfLabel(volta.label);
        bracket.labelled = bracket.passes != 0;
        brackets.push_back(bracket);
    }
    std::sort(brackets.begin(), brackets.end(),
              [](const Bracket& a, const Bracket& b) { return a.first < b.first; });
    return brackets;
}

struct MeasureForm {
    Ticks length = 0;
    bool beginRepeat = false;
    bool endRepeat = false;
    int passes = 2;    // for an end repeat: how many times its section is played
    int bracket = -1;  // the bracket over the measure, or -1
    std::uint32_t jumps = 0;
};

int highestPass(std::uint32_t passes) {
    int high = 0;
    for (int p = 1; p <= kMostPasses; ++p)
        if (passes & (1u << (p - 1)))
            high = p;
    return high;
}

// The form of every measure as all tracks close it: its longest length and its repeats.
std::vector<MeasureForm> readForm(const std::vector<music::TrackWalk>& tracks) {
    std::size_t count = 0;
    for (const music::TrackWalk& walk : tracks)
        count = std::max(count, walk.measures.size());
    std::vector<MeasureForm> form(count);
    for (const music::TrackWalk& walk : tracks) {
        for (std::size_t m = 0; m < walk.measures.size(); ++m) {
            const music::MeasureSpan& span = walk.measures[m];
            form[m].length = std::max(form[m].length, span.length);
            form[m].beginRepeat = form[m].beginRepeat || span.barType == kBeginRepeat;
            form[m].endRepeat = form[m].endRepeat || span.barType == kEndRepeat;
        }
    }
    return form;
}

// The jumps of the marks on their measures, and the measures of the segno and coda signs in
// order.
void readJumps(std::span<const MeasureMark> marks, std::vector<MeasureForm>& form,
               std::vector<int>& segnos, std::vector<int>& codas) {
    for (const MeasureMark& mark : marks) {
        if (mark.measure >= form.size())
            break;
        form[mark.measure].jumps = mark.jumps;
        if (mark.jumps & jump::kSegno)
            segnos.push_back(static_cast<int>(mark.measure));
        if (mark.jumps & jump::kCoda)
            codas.push_back(static_cast<int>(mark.measure));
    }
}

// Each end repeat's endings: the bracket over it and those that follow it bar to bar. The
// section is played as often as the highest pass they name, twice at least.
void readEndings(std::vector<Bracket>& brackets, std::vector<MeasureForm>& form) {
    for (std::size_t b = 0; b < brackets.size(); ++b) {
        Bracket& over = brackets[b];
        int repeat = -1;
        for (int m = over.first; m <= over.last; ++m)
            if (form[static_cast<std::size_t>(m)].endRepeat) {
                repeat = m;
                break;
            }
        if (repeat < 0 || over.repeat >= 0)
            continue;
        std::vector<std::size_t> chain{b};
        for (std::size_t next = b + 1;
             next < brackets.size() && brackets[next].first == brackets[chain.back()].last + 1;
             ++next)
            chain.push_back(next);
        int passes = 2;
        for (std::size_t c : chain) {
            brackets[c].repeat = repeat;
            passes = std::max(passes, highestPass(brackets[c].passes));
        }
        form[static_cast<std::size_t>(repeat)].passes = passes;
        // An unlabelled bracket over the end repeat is played on every pass but the last.
        for (std::size_t c : chain)
            if (!brackets[c].labelled && c == b)
                brackets[c].passes = (1u << (passes - 1)) - 1;
    }
}

// The passes of the brackets left without any, and the bracket over each measure (the first
// one when several cover it).
void placeBrackets(std::vector<Bracket>& brackets, std::vector<MeasureForm>& form) {
    for (std::size_t b = 0; b < brackets.size(); ++b) {
        Bracket& bracket = brackets[b];
        if (!bracket.labelled && bracket.passes == 0)
            bracket.passes = kEveryPass;  // a bracket played as written
        for (int m = bracket.first; m <= bracket.last; ++m)
            if (form[static_cast<std::size_t>(m)].bracket < 0)
                form[static_cast<std::size_t>(m)].bracket = static_cast<int>(b);
    }
}

// Where the playing stands as it walks the form.
struct Playing {
    const std::vector<MeasureForm>& form;
    const std::vector<Bracket>& brackets;
    const std::vector<int>& segnos;
    const std::vector<int>& codas;
    std::vector<int> turnedBack;  // per end repeat: how often the playing went back from it
    int m = 0;                    // the measure played next
    int sectionStart = 0;
    int pass = 1;
    bool sectionDone = false;  // the last pass of a section ended: its later endings follow
    // After D.C. or D.S.: repeats are not taken again, each bracket plays on its last pass,
    // and the playing ends at Fine or goes on at To Coda.
    bool jumped = false;
    std::uint32_t jumpKind = 0;
};

// Whether the playing passes over the measure: it stands under a bracket that does not play
// on this pass, and the playing goes on after the bracket.
bool passesOver(Playing& at, const MeasureForm& here) {
    if (here.bracket < 0) {
        if (at.sectionDone) {
            at.sectionDone = false;
            at.pass = 1;
        }
        return false;
    }
    const Bracket& bracket = at.brackets[static_cast<std::size_t>(here.bracket)];
    const int repeatPasses =
        bracket.repeat >= 0 ? at.form[static_cast<std::size_t>(bracket.repeat)].passes : 1;
    const int now = at.jumped && bracket.repeat >= 0 ? repeatPasses : at.pass;
    if (now <= 32 && (bracket.passes & (1u << (now - 1))))
        return false;
    if (bracket.repeat >= 0 && bracket.repeat <= bracket.last && bracket.repeat >= bracket.first &&
        now >= repeatPasses) {
        at.sectionDone = true;
        at.sectionStart = bracket.last + 1;
    }
    at.m = bracket.last + 1;
    return true;
}

// At To Coda after a jump (unless al Fine): whether the playing goes on at the next coda sign.
bool goesToCoda(Playing& at, const MeasureForm& here) {
    if (!at.jumped || !(here.jumps & jump::kToCoda) || (at.jumpKind & jump::kAlFine))
        return false;
    const auto coda = std::upper_bound(at.codas.begin(), at.codas.end(), at.m);
    if (coda == at.codas.end())
        return false;
    at.m = *coda;
    return true;
}

// At an end repeat before any jump: whether the playing goes back for another pass; once the
// passes are played, the section is done and the next starts after it.
bool turnsBack(Playing& at, const MeasureForm& here) {
    if (!here.endRepeat || at.jumped)
        return false;
    int& back = at.turnedBack[static_cast<std::size_t>(at.m)];
    if (back + 1 < here.passes) {
        ++back;
        at.pass = back + 1;
        at.m = at.sectionStart;
        return true;
    }
    at.sectionStart = at.m + 1;
    at.sectionDone = true;
    return false;
}

// At the first D.C. or D.S.: whether the playing goes back to the start or to the segno (the
// last one before the measure, else the first one).
bool jumpsBack(Playing& at, const MeasureForm& here) {
    if (at.jumped || !(here.jumps & (jump::kDaCapo | jump::kDalSegno)))
        return false;
    at.jumped = true;
    at.jumpKind = here.jumps;
    int target = 0;
    if (here.jumps & jump::kDalSegno) {
        const auto after = std::upper_bound(at.segnos.begin(), at.segnos.end(), at.m);
        target = after != at.segnos.begin() ? *std::prev(after)
                 : at.segnos.empty()        ? 0
                                            : at.segnos.front();
    }
    at.m = target;
    at.pass = 1;
    at.sectionDone = false;
    return true;
}

// Moves on from the measure just played; false when the playing ends there, at Fine after a
// jump (unless al Coda).
bool moveOn(Playing& at, const MeasureForm& here) {
    if (at.jumped && (here.jumps & jump::kFine) && !(at.jumpKind & jump::kAlCoda))
        return false;
    if (goesToCoda(at, here) || turnsBack(at, here))
        return true;
    if (here.beginRepeat) {
        at.sectionStart = at.m + 1;
        at.pass = 1;
        at.sectionDone = false;
    }
    if (!jumpsBack(at, here))
        ++at.m;
    return true;
}

}  // namespace

std::vector<PlayedMeasure> unfold(const std::vector<music::TrackWalk>& tracks,
                                  std::span<const music::Volta> voltas,
                                  std::span<const MeasureMark> marks) {
    std::vector<MeasureForm> form = readForm(tracks);
    const std::size_t count = form.size();
    std::vector<int> segnos;
    std::vector<int> codas;
    readJumps(marks, form, segnos, codas);
    std::vector<Bracket> brackets = readBrackets(tracks, voltas);
    readEndings(brackets, form);
    placeBrackets(brackets, form);

    Playing at{form, brackets, segnos, codas, std::vector<int>(count, 0)};
    std::vector<PlayedMeasure> played;
    Ticks time = 0;
    const int measures = static_cast<int>(count);
    // No score plays longer than every measure at every pass of every repeat, twice.
    const std::size_t limit = count * (2 * kMostPasses + 2) + 16;
    while (at.m < measures && played.size() < limit) {
        const MeasureForm& here = form[static_cast<std::size_t>(at.m)];
        if (passesOver(at, here))
            continue;
        played.push_back(PlayedMeasure{at.m, time, here.length});
        time += here.length;
        if (!moveOn(at, here))
            break;
    }
    return played;
}

}  // namespace qe::sound
