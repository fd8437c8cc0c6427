#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "records/memory_io.h"

namespace qe::test {

// Builds the bytes of a document by hand, little-endian, as a file would hold them.
class Bytes {
public:
    Bytes& u8(std::uint8_t v) {
        data.push_back(v);
        return *this;
    }
    Bytes& u16(std::uint16_t v) { return u8(v & 0xFF).u8(v >> 8); }
    Bytes& u32(std::uint32_t v) { return u16(v & 0xFFFF).u16(v >> 16); }
    Bytes& raw(std::initializer_list<std::uint8_t> bytes) {
        data.insert(data.end(), bytes);
        return *this;
    }
    Bytes& zeros(std::size_t n) {
        data.insert(data.end(), n, 0);
        return *this;
    }
    Bytes& wide(const std::u16string& text) {
        for (char16_t unit : text)
            u16(unit);
        return u16(0);
    }
    Bytes& append(const std::vector<std::uint8_t>& more) {
        data.insert(data.end(), more.begin(), more.end());
        return *this;
    }
    Bytes& tag(std::uint32_t id, std::uint32_t headerSize, std::uint32_t contentSize) {
        return u32(id).u32(headerSize).u32(contentSize).u32(0);
    }
    std::size_t size() const { return data.size(); }

    std::vector<std::uint8_t> data;
};

inline std::vector<std::uint8_t> bytesOf(const MemoryIO& io) {
    return io.bytes();
}

}  // namespace qe::test
