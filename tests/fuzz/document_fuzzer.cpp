// Feeds arbitrary bytes to the document reader. A load may fail only with code 1 (not a
// score document) or code 3 (damaged); every document it accepts must save, load back and
// save again to the same bytes, and the file stream must agree with the memory stream.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <unistd.h>

#include "base/exception.h"
#include "records/memory_io.h"
#include "records/file_io.h"
#include "records/qe_document.h"

namespace {

using Bytes = std::vector<unsigned char>;

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "document_fuzzer: %s\n", what);
    std::fflush(stderr);
    std::abort();
}

// Loads into a fresh document; returns 0 or the failure code, which must be 1 or 3.
int load(qe::BaseIO& io, qe::QeDocument& doc) {
    try {
        doc.serialize(io, false);
    } catch (const qe::Exception& e) {
        if (e.code != qe::kUnexpectedChunk && e.code != qe::kMalformed) {
            std::fprintf(stderr, "document_fuzzer: load failed with code %d\n", e.code);
            fail("a load failure other than code 1 or 3");
        }
        return e.code;
    }
    return 0;
}

// Saving a document that loaded can only fail for the stream, never for a memory stream.
Bytes saveToMemory(qe::QeDocument& doc) {
    qe::MemoryIO io;
    try {
        doc.serialize(io, true);
    } catch (const qe::Exception&) {
        fail("saving a loaded document into memory failed");
    }
    // Chunk tags record size() as the length of what follows, so it must be what was written.
    if (io.bytes().size() != doc.size())
        fail("size() differs from the bytes a save writes");
    return io.bytes();
}

// One temporary file, reused: creating a file per input would make the disk the bottleneck.
std::FILE* scratchFile() {
    static std::FILE* file = std::tmpfile();
    if (!file)
        fail("no temporary file");
    return file;
}

// Saves through a real file and reads the file back.
Bytes saveThroughFile(qe::QeDocument& doc) {
    std::FILE* file = scratchFile();
    std::rewind(file);
    if (ftruncate(fileno(file), 0) != 0)
        fail("cannot empty the temporary file");
    {
        qe::FileIO io(file);
        try {
            doc.serialize(io, true);
        } catch (const qe::Exception&) {
            fail("saving a loaded document into a file failed");
        }
    }
    if (std::fflush(file) != 0)
        fail("cannot flush the temporary file");
    const long length = std::ftell(file);
    if (length < 0)
        fail("cannot tell the temporary file's length");
    Bytes bytes(static_cast<std::size_t>(length));
    std::rewind(file);
    if (std::fread(bytes.data(), 1, bytes.size(), file) != bytes.size())
        fail("cannot read back the temporary file");
    return bytes;
}

// Loads the scratch file as it stands, from its start.
int loadFromScratchFile(qe::QeDocument& doc) {
    std::FILE* file = scratchFile();
    std::rewind(file);
    qe::FileIO io(file);
    return load(io, doc);
}

// Which inputs also go through the file streams: a fixed quarter of them, chosen from the
// bytes so that a reproduced input takes the same path.
bool throughFiles(const std::uint8_t* data, std::size_t size) {
    std::uint32_t h = 2166136261u;
    for (std::size_t i = 0; i < size; ++i)
        h = (h ^ data[i]) * 16777619u;
    return (h & 3) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Bytes input(data, data + size);

    qe::QeDocument doc;
    qe::MemoryIO in(input);
    const int code = load(in, doc);

    Bytes saved;
    if (code == 0) {
        saved = saveToMemory(doc);
        // Every field is kept as read, so a file with nothing for the reader to pass over (no
        // part declared longer than its fields, nothing after the last chunk) is exactly as
        // long as the document and must save back byte for byte. A field decoded lossily
        // would otherwise go unnoticed: its second round trip is already stable.
        if (doc.size() == size && saved != input)
            fail("a file with nothing passed over saved back differently");
        qe::QeDocument again;
        qe::MemoryIO reread(saved);
        if (load(reread, again) != 0)
            fail("a saved document does not load");
        if (saveToMemory(again) != saved)
            fail("load and save again changed the bytes");
    }

    if (!throughFiles(data, size))
        return 0;

    // The same bytes read through a FILE must give the same verdict and the same document.
    // fmemopen rejects an empty buffer on some C libraries; that input needs no file.
    if (size > 0) {
        Bytes buffer = input;
        std::FILE* file = fmemopen(buffer.data(), buffer.size(), "rb");
        if (!file)
            fail("fmemopen failed");
        qe::QeDocument fromFile;
        int fileCode;
        {
            qe::FileIO io(file);
            fileCode = load(io, fromFile);
        }
        std::fclose(file);
        if (fileCode != code)
            fail("a file stream and a memory stream disagree on loading");
        if (code == 0 && saveToMemory(fromFile) != saved)
            fail("a file stream loaded another document");
    }

    if (code == 0) {
        if (saveThroughFile(doc) != saved)
            fail("saving into a file wrote other bytes");
        qe::QeDocument fromDisk;
        if (loadFromScratchFile(fromDisk) != 0)
            fail("a document saved into a file does not load");
        if (saveToMemory(fromDisk) != saved)
            fail("a document saved into a file loads differently");
    }
    return 0;
}
