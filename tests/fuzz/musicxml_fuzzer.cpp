// Feeds arbitrary bytes to the MusicXML importer, as a plain or a compressed file. An import
// either fails with a reason or gives a document that saves and loads back to the same bytes,
// whose tracks the track walk reads, and that exports as MusicXML which imports again.

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include <QByteArray>

#include "base/exception.h"
#include "music/score_records.h"
#include "music/track_walk.h"
#include "musicxml/musicxml_file.h"
#include "records/memory_io.h"
#include "records/qe_document.h"

namespace {

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "musicxml_fuzzer: %s\n", what);
    std::fflush(stderr);
    std::abort();
}

std::vector<unsigned char> save(qe::QeDocument& doc) {
    qe::MemoryIO io;
    try {
        doc.serialize(io, true);
    } catch (const qe::Exception&) {
        fail("an imported document does not save");
    }
    return io.bytes();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    qe::QeDocument doc;
    const qe::musicxml::Outcome imported = qe::musicxml::importMusicXml(bytes, doc);
    if (!imported.ok()) {
        if (imported.message.isEmpty())
            fail("a refused import gives no reason");
        return 0;
    }
    if (doc.noteTracks().empty())
        fail("an import without a note track");

    const std::vector<unsigned char> saved = save(doc);
    qe::QeDocument loaded;
    qe::MemoryIO in(saved);
    try {
        loaded.serialize(in, false);
    } catch (const qe::Exception&) {
        fail("an imported document does not load");
    }
    if (save(loaded) != saved)
        fail("an imported document loads back differently");
    qe::music::Score score;
    qe::music::scoreFromRecords(loaded, score);
    (void)qe::music::walkScore(score);

    QByteArray exported;
    const qe::musicxml::Outcome written =
        qe::musicxml::exportMusicXml(score, size % 2 == 0, exported);
    if (!written.ok())
        fail("an imported document does not export");
    qe::QeDocument again;
    if (!qe::musicxml::importMusicXml(exported, again).ok())
        fail("an exported document does not import");
    return 0;
}
