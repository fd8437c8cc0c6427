#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qe::test {

// A Standard MIDI File read back independently of the writer, for tests: it checks the
// chunk structure as it goes and throws std::runtime_error on anything malformed.
struct SmfNote {
    int track = 0;  // index of the track chunk
    int channel = 0;
    int key = 0;
    std::int64_t start = 0;
    std::int64_t length = 0;
    int velocity = 0;
    friend bool operator==(const SmfNote&, const SmfNote&) = default;
};

struct SmfMeta {
    int track = 0;
    std::int64_t at = 0;
    int type = 0;
    std::vector<unsigned char> data;
};

struct SmfFile {
    int format = 0;
    int division = 0;
    int trackCount = 0;                   // as the header says
    std::vector<std::int64_t> trackEnds;  // time of each track's end-of-track event
    std::vector<SmfNote> notes;           // by track, then start
    std::vector<SmfMeta> metas;
    std::vector<std::pair<int, int>> programs;  // channel, program, in order

    // The notes of one track chunk.
    std::vector<SmfNote> notesOf(int track) const;
    const SmfMeta* meta(int type) const;  // the first of a type, or null
};

SmfFile readSmf(const std::vector<unsigned char>& bytes);

}  // namespace qe::test
