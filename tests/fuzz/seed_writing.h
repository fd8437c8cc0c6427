#pragma once

// What the seed generators of the fuzz targets share: saving a document and writing a file.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "records/memory_io.h"
#include "records/qe_document.h"

namespace qe::seeds {

using Bytes = std::vector<unsigned char>;

inline Bytes save(QeDocument& doc) {
    MemoryIO io;
    doc.serialize(io, true);
    return io.bytes();
}

inline bool writeFile(const std::string& path, const Bytes& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && ok;
}

// A tie (type 1) or bracket (type 4) between two items.
inline Format formatRecord(std::uint8_t type, std::int32_t fromTrack, std::int16_t fromItem,
                           std::int32_t toTrack, std::int16_t toItem) {
    Format f;
    f.type = type;
    f.from = location(1, fromTrack, fromItem);
    f.to = location(1, toTrack, toItem);
    return f;
}

}  // namespace qe::seeds
