#include "records/field_io.h"

#include <algorithm>
#include <climits>

#include "base/exception.h"

namespace qe {

void readExact(BaseIO& io, void* buffer, int length) {
    if (length <= 0)
        return;
    if (io.available() < length)
        throw Exception(kMalformed);
    if (io.read(buffer, length) != length)
        throw Exception(kMalformed);
}

void writeExact(BaseIO& io, const void* buffer, int length) {
    if (length <= 0)
        return;
    if (io.write(buffer, length) != length)
        throw Exception(kMalformed);
}

void skipForward(BaseIO& io, std::uint64_t bytes) {
    while (bytes > 0) {
        const int step = static_cast<int>(std::min<std::uint64_t>(bytes, INT_MAX));
        io.skip(step);
        bytes -= static_cast<std::uint64_t>(step);
    }
}

std::u16string readWideString(BaseIO& io) {
    // A string that runs to the end of its chunk without its 0 unit fails in readField.
    std::u16string text;
    for (;;) {
        const auto unit = readField<char16_t>(io);
        if (unit == 0)
            return text;
        text.push_back(unit);
    }
}

void writeWideString(BaseIO& io, const std::u16string& text) {
    const std::size_t end = wideStringUnits(text);
    std::string bytes(2 * end + 2, '\0');
    for (std::size_t i = 0; i < end; ++i)
        storeLE<char16_t>(reinterpret_cast<unsigned char*>(bytes.data()) + 2 * i, text[i]);
    writeExact(io, bytes.data(), static_cast<int>(bytes.size()));
}

}  // namespace qe
