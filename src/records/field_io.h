#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <type_traits>

#include "records/base_io.h"

namespace qe {

// Reads exactly `length` bytes; a stream or chunk that ends first makes the document
// malformed, so a truncated file is never taken for one with zeros in it.
void readExact(BaseIO& io, void* buffer, int length);
// Writes exactly `length` bytes; a short write is a failed save.
void writeExact(BaseIO& io, const void* buffer, int length);
// Moves the position forward by a count that may exceed one `skip` call.
void skipForward(BaseIO& io, std::uint64_t bytes);

// Fields are little-endian with no padding.
template <typename T>
T readField(BaseIO& io) {
    static_assert(std::is_integral_v<T>);
    unsigned char bytes[sizeof(T)];
    readExact(io, bytes, sizeof(T));
    std::make_unsigned_t<T> value = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i)
        value |= static_cast<std::make_unsigned_t<T>>(bytes[i]) << (8 * i);
    return static_cast<T>(value);
}

template <typename T>
void writeField(BaseIO& io, T value) {
    static_assert(std::is_integral_v<T>);
    unsigned char bytes[sizeof(T)];
    auto v = static_cast<std::make_unsigned_t<T>>(value);
    for (std::size_t i = 0; i < sizeof(T); ++i)
        bytes[i] = static_cast<unsigned char>(v >> (8 * i));
    writeExact(io, bytes, sizeof(T));
}

// Little-endian access to a byte buffer, for tables that are read and written in one block.
template <typename T>
T loadLE(const unsigned char* p) {
    std::make_unsigned_t<T> value = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i)
        value |= static_cast<std::make_unsigned_t<T>>(p[i]) << (8 * i);
    return static_cast<T>(value);
}

template <typename T>
void storeLE(unsigned char* p, T value) {
    auto v = static_cast<std::make_unsigned_t<T>>(value);
    for (std::size_t i = 0; i < sizeof(T); ++i)
        p[i] = static_cast<unsigned char>(v >> (8 * i));
}

// Wide strings are UTF-16 units followed by one 0 unit.
std::u16string readWideString(BaseIO& io);
void writeWideString(BaseIO& io, const std::u16string& text);
// A text is stored up to its first 0 unit, which would otherwise end it early on reading.
inline std::size_t wideStringUnits(const std::u16string& text) {
    const auto end = text.find(u'\0');
    return end == std::u16string::npos ? text.size() : end;
}
inline std::uint32_t wideStringSize(const std::u16string& text) {
    return static_cast<std::uint32_t>(2 * wideStringUnits(text) + 2);
}

}  // namespace qe
