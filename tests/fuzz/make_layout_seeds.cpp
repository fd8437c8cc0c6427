// Writes the layout fuzzer's starting inputs: documents the model saves, each followed by
// the keys marker and a key string that reaches one part of the editor (typing and deleting,
// selections with ties and brackets, mode switches, a score too wide for its lines).
//
//   layout_fuzz_seeds OUTPUT_DIR [REGRESSIONS_DIR]
//
// With REGRESSIONS_DIR it also writes the hand-made reproducers of faults found, named
// layout-*, which the fuzzer's checks must pass once the fault is fixed.

#include <cstdio>
#include <string>
#include <vector>

#include "records/doc_chunks.h"
#include "records/memory_io.h"
#include "records/qe_document.h"
#include "seed_writing.h"

namespace {

using qe::seeds::Bytes;
using qe::seeds::save;
using qe::seeds::writeFile;

const std::string kMarker = "@@KEYS@@";

const auto shape = qe::seeds::formatRecord;

qe::QeDocument newDocument() {
    qe::QeDocument doc;
    doc.initNew(u"无标题");
    return doc;
}

// Sharps and flats under ties, marks, and a bracket over two measures.
qe::QeDocument tiedAccidentals() {
    qe::QeDocument doc = newDocument();
    doc.firstNoteTrack().content.items = {
        qe::note(1, 1, 0, 1),             // 0  sharp 1
        qe::note(0, 2, 0, 1),             // 1
        qe::note::barLine(1),             // 2
        qe::note(3, 3, 1, 0),             // 3  flat 3
        qe::note::mark(qe::note::kDash),  // 4
        qe::note(5, 4, -1, 2),            // 5  natural 4
        qe::note::barLine(1),             // 6
        qe::note(0, 5, 0, 0),             // 7
        qe::note::barLine(6),             // 8
    };
    doc.formatRecords() = {shape(qe::Format::kArc, 0, 0, 0, 1), shape(qe::Format::kArc, 0, 3, 0, 5),
                           shape(qe::Format::kVolta, 0, 2, 0, 6)};
    return doc;
}

// Enough measures for several lines and pages, with a tie and a bracket across line ends.
qe::QeDocument longScore() {
    qe::QeDocument doc = newDocument();
    auto& items = doc.firstNoteTrack().content.items;
    items.clear();
    for (int m = 0; m < 90; ++m) {
        for (int d = 1; d <= 4; ++d)
            items.push_back(qe::note(0, (m + d) % 7 + 1, m % 3 - 1, m % 4));
        items.push_back(qe::note::barLine(m % 9 == 8 ? 2 : 1));
    }
    items.back() = qe::note::barLine(6);
    doc.formatRecords() = {shape(qe::Format::kArc, 0, 33, 0, 36),
                           shape(qe::Format::kVolta, 0, 4, 0, 29),
                           shape(qe::Format::kArc, 0, 0, 0, 200)};
    return doc;
}

// A narrow sheet: a few digits already fill a line, so typing soon overflows it.
qe::QeDocument narrowPage() {
    qe::QeDocument doc = newDocument();
    doc.formatSettings().pageWidth = 4000;
    doc.formatSettings().pageHeight = 6000;
    doc.firstNoteTrack().content.items = {qe::note(0, 1, 0, 0), qe::note(0, 2, 0, 0),
                                          qe::note::barLine(1), qe::note(0, 3, 0, 0),
                                          qe::note::barLine(6)};
    return doc;
}

// Items the editor does not show (other classes, unknown marks, bar types with bit 3), a
// track without its closing bar line, an empty track, and shapes it must leave out.
qe::QeDocument oddRecords() {
    qe::QeDocument doc = newDocument();
    doc.firstNoteTrack().content.items = {
        qe::note(0, 1, 0, 0), qe::note(0x1405, 0),  qe::note(0, 0, 1, 6), qe::note(0x0C0B, 0),
        qe::note(0, 0, 0, 3), qe::note::barLine(7), qe::note(0, 6, 3, 7), qe::note(0, 7, -3, 0)};
    qe::note_track empty;
    doc.noteTracks().push_back(empty);
    qe::note_track third;
    third.content.items = {qe::note(2, 2, 0, 1), qe::note::barLine(0)};
    doc.noteTracks().push_back(third);
    doc.formatRecords() = {shape(qe::Format::kArc, 0, 1, 0, 0), shape(qe::Format::kArc, 0, 0, 2, 0),
                           shape(qe::Format::kVolta, 0, 2, 0, 2),
                           shape(qe::Format::kArc, 5, 0, 5, 1),
                           shape(qe::Format::kArc, 2, 0, 2, 0)};
    return doc;
}

// The smallest tie on a sharp note: the tie is found at the sign, which stands before the digit.
qe::QeDocument tieOnSharp() {
    qe::QeDocument doc = newDocument();
    doc.firstNoteTrack().content.items = {qe::note(1, 1, 0, 0), qe::note(0, 2, 0, 0),
                                          qe::note::barLine(6)};
    doc.formatRecords() = {shape(qe::Format::kArc, 0, 0, 0, 1)};
    return doc;
}

// A tie from a sharp note in the first measure to the note after the bar line.
qe::QeDocument tieFromSharpOverBar() {
    qe::QeDocument doc = newDocument();
    doc.firstNoteTrack().content.items = {qe::note(1, 1, 0, 0), qe::note(0, 2, 0, 0),
                                          qe::note::barLine(1), qe::note(0, 3, 0, 0),
                                          qe::note::barLine(6)};
    doc.formatRecords() = {shape(qe::Format::kArc, 0, 0, 0, 3)};
    return doc;
}

// Two tracks, so selections can run from one to the other.
qe::QeDocument twoTracks() {
    qe::QeDocument doc = newDocument();
    doc.firstNoteTrack().content.items = {qe::note(0, 3, 0, 1), qe::note(0, 5, 0, 1),
                                          qe::note::barLine(1), qe::note(0, 6, 0, 0),
                                          qe::note::barLine(6)};
    qe::note_track second;
    second.content.items = {qe::note(0, 1, -1, 0), qe::note::mark(qe::note::kDash),
                            qe::note::barLine(1), qe::note(0, 5, -2, 0), qe::note::barLine(6)};
    doc.noteTracks().push_back(second);
    doc.formatRecords() = {shape(qe::Format::kArc, 1, 0, 1, 1)};
    return doc;
}

Bytes withKeys(const Bytes& document, const std::string& keys) {
    Bytes out = document;
    out.insert(out.end(), kMarker.begin(), kMarker.end());
    out.insert(out.end(), keys.begin(), keys.end());
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR [REGRESSIONS_DIR]\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    qe::QeDocument created = newDocument();
    qe::QeDocument tied = tiedAccidentals();
    qe::QeDocument long_ = longScore();
    qe::QeDocument narrow = narrowPage();
    qe::QeDocument odd = oddRecords();
    qe::QeDocument two = twoTracks();
    const Bytes createdBytes = save(created);
    const Bytes tiedBytes = save(tied);
    const Bytes longBytes = save(long_);
    const Bytes narrowBytes = save(narrow);
    const Bytes oddBytes = save(odd);
    const Bytes twoBytes = save(two);
    using namespace std::string_literals;
    const struct {
        const char* name;
        Bytes bytes;
    } seeds[] = {
        // Every key of the editor, state keys included, then deleting back over bar lines.
        {"typing.bin", withKeys(createdBytes,
                                "1234\n5678|s1f2r3u4m5j6k7l1;2ss3ff4-.v(5)[]\\/"
                                "\b\b\b\b\b\b\b\b\b\b<<<>\b\b\b\b\b")},
        // A tie and a bracket made over selections, a mode switch, then deleting their ends.
        {"ties_and_brackets.bin", withKeys(createdBytes,
                                           "1234\n5678\n+\x00\x00\x03\x00~+\x00\x00\x0a\x00#$!%"
                                           "@\x03\x00\b\b$\b\b\b"s)},
        // Loaded ties on sharps, flats and naturals, kept through mode switches.
        {"tied_accidentals.bin", withKeys(tiedBytes, "$<>$%!>>>>>>>>>")},
        // Clicks all over a score of several pages, a selection across lines, a bracket.
        {"long_score.bin", withKeys(longBytes,
                                    "@\xd0\x00"
                                    "123@\xe0\x00\b\b\n+\x10\x00\x50\x00~"
                                    "+\x04\x00\x40\x00#%$%$"s)},
        // A line that no longer fits: the warning, then deleting until it fits again.
        {"narrow_page.bin", withKeys(narrowBytes,
                                     "1234567123456712345671234567\b\b\b\b\b\b"
                                     "\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b\b!%$%")},
        // Raw points outside and inside the view, presses without releases.
        {"raw_points.bin", withKeys(narrowBytes,
                                    "{\xf0\x00\x10\x00\xf0\xff"
                                    "=\x02\x11}\xf5\x00\x00\x00\x00"
                                    "?\x01\x00@\xf0\x00\xff\x7f\x00\x80"
                                    "1"s)},
        {"odd_records.bin", withKeys(oddBytes, "1<<<<2>>>>>3\b$+\x00\x00\x02\x00~$")},
        // Selections from one track to the other.
        {"two_tracks.bin",
         withKeys(twoBytes, "+\x00\x00\x06\x00~+\x01\x00\x08\x00#+\x06\x00\x00\x00~$%"s)},
    };
    for (const auto& seed : seeds) {
        if (!writeFile(dir + "/" + seed.name, seed.bytes)) {
            std::fprintf(stderr, "cannot write %s/%s\n", dir.c_str(), seed.name);
            return 1;
        }
    }
    if (argc < 3)
        return 0;
    const std::string regressions = argv[2];
    qe::QeDocument sharp = tieOnSharp();
    const Bytes sharpBytes = save(sharp);
    qe::QeDocument overBar = tieFromSharpOverBar();
    const Bytes overBarBytes = save(overBar);
    // Sizes near the int limits, as a damaged or hostile file may hold them.
    qe::QeDocument wideFont = newDocument();
    wideFont.formatSettings().fonts[qe::kNoteFont].logFont.width = 0x40000000;
    wideFont.firstNoteTrack().content.items = {qe::note(0, 1, 0, 0), qe::note(0, 2, 0, 0),
                                               qe::note::barLine(6)};
    qe::QeDocument widePage = newDocument();
    widePage.formatSettings().pageWidth = 0x7ffffff0;
    widePage.formatSettings().marginRight = -0x7ffffff0;
    qe::QeDocument deepMargin = newDocument();
    deepMargin.formatSettings().marginTop = 0x7fffffff;
    const struct {
        const char* name;
        Bytes bytes;
    } found[] = {
        // A digit typed in front of a tie on a sharp note: the tie is saved one item early.
        {"layout-tie-on-sharp-typed-before.bin", withKeys(sharpBytes, "3")},
        // Both digits of the first measure deleted: the sharp the tie starts on is left alone
        // before the bar line.
        {"layout-tie-on-lone-sharp.bin", withKeys(overBarBytes, ">>>\b\b")},
        // A bar line typed between the sharp the tie starts on and its digit.
        {"layout-tie-on-sharp-split-by-bar.bin", withKeys(overBarBytes, ">\r")},
        {"layout-huge-font-width.bin", save(wideFont)},
        {"layout-huge-page-width.bin", save(widePage)},
        {"layout-huge-top-margin.bin", save(deepMargin)},
    };
    for (const auto& input : found) {
        if (!writeFile(regressions + "/" + input.name, input.bytes)) {
            std::fprintf(stderr, "cannot write %s/%s\n", regressions.c_str(), input.name);
            return 1;
        }
    }
    return 0;
}
