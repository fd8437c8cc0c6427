#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "base/exception.h"
#include "records/extension.h"
#include "records/field_io.h"

// The bytes of an extension entry, read and written little-endian; shared by the codecs of
// the entries (records/extension.cpp and the files beside it), seen by no other folder.
namespace qe::extension {

// Reads little-endian values from bytes, refusing to read past them.
class Reader {
public:
    explicit Reader(const std::vector<unsigned char>& bytes) : bytes_(bytes) {}

    template <typename T>
    T take() {
        if (left() < sizeof(T))
            throw Exception(kMalformed);
        const T value = loadLE<T>(bytes_.data() + at_);
        at_ += sizeof(T);
        return value;
    }
    const unsigned char* takeBytes(std::size_t n) {
        if (left() < n)
            throw Exception(kMalformed);
        const unsigned char* p = bytes_.data() + at_;
        at_ += n;
        return p;
    }
    std::size_t left() const { return bytes_.size() - at_; }
    // The end of an entry: bytes left over are damage, since a save would not write them back.
    void finish() const {
        if (left() != 0)
            throw Exception(kMalformed);
    }

private:
    const std::vector<unsigned char>& bytes_;
    std::size_t at_ = 0;
};

template <typename T>
inline void append(std::vector<unsigned char>& out, T value) {
    unsigned char bytes[sizeof(T)];
    storeLE(bytes, value);
    out.insert(out.end(), bytes, bytes + sizeof(T));
}

// A text as a UTF-16 unit count (u16) and the units; a longer text is cut at 65535 units.
inline void appendText(std::vector<unsigned char>& out, const std::u16string& text) {
    const std::size_t units = std::min<std::size_t>(text.size(), 0xFFFF);
    append(out, static_cast<std::uint16_t>(units));
    for (std::size_t u = 0; u < units; ++u)
        append(out, static_cast<std::uint16_t>(text[u]));
}

inline std::u16string takeText(Reader& in) {
    const auto units = in.take<std::uint16_t>();
    if (units > in.left() / 2)
        throw Exception(kMalformed);
    std::u16string text;
    for (std::uint16_t u = 0; u < units; ++u)
        text.push_back(static_cast<char16_t>(in.take<std::uint16_t>()));
    return text;
}

// Adds the extras of a later entry (in increasing (track, record) order, as `extras` are) to
// those read before: `combine` joins two of one record; a record without one gets its own.
template <typename Combine>
void mergeExtras(std::vector<PlacedNoteExtra>& extras, std::vector<PlacedNoteExtra> more,
                 Combine combine) {
    std::vector<PlacedNoteExtra> merged;
    merged.reserve(extras.size() + more.size());
    auto a = extras.begin();
    for (PlacedNoteExtra& m : more) {
        while (a != extras.end() && std::pair(a->track, a->record) < std::pair(m.track, m.record))
            merged.push_back(std::move(*a++));
        if (a != extras.end() && a->track == m.track && a->record == m.record) {
            combine(a->extra, m.extra);
            merged.push_back(std::move(*a++));
        } else {
            merged.push_back(std::move(m));
        }
    }
    merged.insert(merged.end(), std::make_move_iterator(a), std::make_move_iterator(extras.end()));
    extras = std::move(merged);
}

}  // namespace qe::extension
