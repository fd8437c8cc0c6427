// Writes the fuzzer's starting documents: small files the model itself saves, so that every
// chunk type and record kind is present for the mutations to work on.
//
//   document_fuzz_seeds OUTPUT_DIR

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

const auto arc = qe::seeds::formatRecord;

qe::lyrics lyric(const std::u16string& text, std::int32_t track, std::int16_t item) {
    qe::lyrics l;
    l.text = text;
    l.place = qe::location(1, track, item);
    return l;
}

// A new score, as the editor makes it.
qe::QeDocument newDocument() {
    qe::QeDocument doc;
    doc.initNew(u"无标题");
    return doc;
}

// Two tracks with digits, rests, marks and bar lines, arcs, jump lines and lyrics.
qe::QeDocument twoTracks() {
    qe::QeDocument doc;
    doc.initNew(u"茉莉花");
    doc.header.subtitle = u"江苏民歌";
    doc.header.comment1 = u"中速";
    doc.header.keyAccidental = 2;
    doc.header.keyLetter = 4;
    doc.header.timeNumerator = 2;
    doc.header.timeDenominator = 4;
    auto& first = doc.firstNoteTrack().content.items;
    first = {qe::note(0, 3, 0, 1),
             qe::note(0, 5, 0, 1),
             qe::note(1, 6, 0, 2),
             qe::note(0, 1, 1, 2),
             qe::note::barLine(1),
             qe::note(0, 6, 0, 1),
             qe::note::mark(qe::note::kAugmentationDot),
             qe::note(2, 5, 0, 0),
             qe::note::mark(qe::note::kDash),
             qe::note::barLine(1),
             qe::note::mark(qe::note::kOpenParen),
             qe::note(0, 2, -1, 3),
             qe::note::mark(qe::note::kCloseParen),
             qe::note::rest(1),
             qe::note::mark(qe::note::kBreath),
             qe::note::barLine(6)};
    qe::note_track second;
    second.content.items = {qe::note(0, 1, -1, 0), qe::note::mark(qe::note::kDash),
                            qe::note::barLine(1),  qe::note(0, 5, -2, 0),
                            qe::note::rest(0),     qe::note::barLine(6)};
    doc.noteTracks().push_back(second);
    doc.formatRecords() = {arc(qe::Format::kArc, 0, 0, 0, 1), arc(qe::Format::kArc, 0, 2, 0, 3),
                           arc(qe::Format::kVolta, 0, 5, 1, 3)};
    qe::lyrics_track words;
    words.content.items = {lyric(u"好", 0, 0), lyric(u"一朵", 0, 1), lyric(u"茉莉花", 0, 2)};
    doc.content.lyrics.items.push_back(words);
    return doc;
}

// Tempo records, changed page settings and fonts, and every title text filled in.
qe::QeDocument settings() {
    qe::QeDocument doc;
    doc.initNew(u"Title");
    doc.header.author2 = u"Words";
    doc.header.author3 = u"Arr.";
    doc.header.comment2 = u"Comment";
    doc.formatSettings().pageWidth = 16838;
    doc.formatSettings().pageHeight = 11906;
    doc.formatSettings().marginTop = 720;
    doc.formatSettings().fonts[qe::kNoteFont].color = 0x00336699;
    doc.formatSettings().fonts[qe::kTitleFont].logFont.setFace(u"Serif");
    qe::tempo t;
    t.valueA = 1;
    t.valueB = 4;
    t.valueC = 96;
    doc.content.tempo.content.items = {t};
    return doc;
}

// A file from a newer version: the document header and a note track's content declare more
// bytes than this version reads, which it must pass over.
Bytes newerVersion() {
    qe::QeDocument doc = newDocument();
    Bytes bytes = save(doc);
    // Grow the note track's content by four bytes and every enclosing size with it.
    const qe::note_track& track = doc.firstNoteTrack();
    const std::size_t docHeader = doc.header.size();
    const std::size_t trackAt =
        qe::chunk_tag::kFileSize + docHeader + doc.content.tempo.size() + doc.content.format.size();
    const std::size_t trackEnd = trackAt + track.size();
    bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(trackEnd), {0xAA, 0xBB, 0xCC, 0xDD});
    auto addTo = [&bytes](std::size_t at, std::uint32_t more) {
        std::uint32_t v = bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
                          static_cast<std::uint32_t>(bytes[at + 3]) << 24;
        v += more;
        for (int i = 0; i < 4; ++i)
            bytes[at + i] = static_cast<unsigned char>(v >> (8 * i));
    };
    addTo(trackAt + 8, 4);  // the note track's content size
    addTo(8, 4);            // the document's content size
    return bytes;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    qe::QeDocument created = newDocument();
    qe::QeDocument two = twoTracks();
    qe::QeDocument withSettings = settings();
    const struct {
        const char* name;
        Bytes bytes;
    } seeds[] = {
        {"new_document.qe", save(created)},
        {"two_tracks_arcs_lyrics.qe", save(two)},
        {"tempo_and_settings.qe", save(withSettings)},
        {"newer_version.qe", newerVersion()},
    };
    for (const auto& seed : seeds) {
        if (!writeFile(dir + "/" + seed.name, seed.bytes)) {
            std::fprintf(stderr, "cannot write %s/%s\n", dir.c_str(), seed.name);
            return 1;
        }
    }
    return 0;
}
