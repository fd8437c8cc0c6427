#include "records/records.h"

#include "base/exception.h"
#include "records/field_io.h"

namespace qe {

namespace {

template <typename Record>
BaseIO& readRecord(BaseIO& io, Record& record) {
    unsigned char bytes[Record::kFileSize];
    readExact(io, bytes, Record::kFileSize);
    record.decode(bytes);
    return io;
}

template <typename Record>
BaseIO& writeRecord(BaseIO& io, const Record& record) {
    unsigned char bytes[Record::kFileSize];
    record.encode(bytes);
    writeExact(io, bytes, Record::kFileSize);
    return io;
}

void decodeLocation(location& loc, const unsigned char* p) {
    loc.timeA = loadLE<std::int32_t>(p);
    loc.timeB = loadLE<std::int32_t>(p + 4);
    loc.placeKind = loadLE<std::int16_t>(p + 8);
    loc.trackIndex = loadLE<std::int32_t>(p + 10);
    loc.itemIndex = loadLE<std::int16_t>(p + 14);
}

void encodeLocation(const location& loc, unsigned char* p) {
    storeLE(p, loc.timeA);
    storeLE(p + 4, loc.timeB);
    storeLE(p + 8, loc.placeKind);
    storeLE(p + 10, loc.trackIndex);
    storeLE(p + 14, loc.itemIndex);
}

}  // namespace

BaseIO& moment::read(BaseIO& io) {
    timeA = readField<std::int32_t>(io);
    timeB = readField<std::int32_t>(io);
    return io;
}

BaseIO& moment::write(BaseIO& io) {
    writeField(io, timeA);
    writeField(io, timeB);
    return io;
}

BaseIO& location::read(BaseIO& io) {
    unsigned char bytes[kFileSize];
    readExact(io, bytes, kFileSize);
    decodeLocation(*this, bytes);
    return io;
}

BaseIO& location::write(BaseIO& io) {
    unsigned char bytes[kFileSize];
    encodeLocation(*this, bytes);
    writeExact(io, bytes, kFileSize);
    return io;
}

void chunk_tag::decode(const unsigned char* bytes) {
    id = loadLE<std::uint32_t>(bytes);
    headerSize = loadLE<std::uint32_t>(bytes + 4);
    contentSize = loadLE<std::uint32_t>(bytes + 8);
    reserved = loadLE<std::uint32_t>(bytes + 12);
}

BaseIO& chunk_tag::read(BaseIO& io) {
    unsigned char bytes[kFileSize];
    readExact(io, bytes, kFileSize);
    decode(bytes);
    return io;
}

BaseIO& chunk_tag::write(BaseIO& io) {
    unsigned char bytes[kFileSize];
    storeLE(bytes, id);
    storeLE(bytes + 4, headerSize);
    storeLE(bytes + 8, contentSize);
    storeLE(bytes + 12, reserved);
    writeExact(io, bytes, kFileSize);
    return io;
}

note::note(int accidental, int degree, int octave, int duration) {
    code = static_cast<std::uint16_t>(((accidental & 7) << 7) | (((octave + 7) & 0xF) << 3) |
                                      (degree & 7));
    value = 0;
    setDuration(static_cast<unsigned>(duration));
}

void note::setDuration(unsigned duration) {
    if (!isNoteLike())
        throw Exception(kWrongKind);
    if (duration > 7)
        throw Exception(kOutOfRange);
    value = static_cast<std::uint16_t>((value & ~7u) | duration);
}

BaseIO& note::read(BaseIO& io) {
    return readRecord(io, *this);
}
BaseIO& note::write(BaseIO& io) const {
    return writeRecord(io, *this);
}

void Format::decode(const unsigned char* bytes) {
    type = bytes[0];
    decodeLocation(from, bytes + 1);
    decodeLocation(to, bytes + 17);
}

void Format::encode(unsigned char* bytes) const {
    bytes[0] = type;
    encodeLocation(from, bytes + 1);
    encodeLocation(to, bytes + 17);
}

BaseIO& Format::read(BaseIO& io) {
    return readRecord(io, *this);
}
BaseIO& Format::write(BaseIO& io) {
    return writeRecord(io, *this);
}

std::uint32_t lyrics::size() const {
    return wideStringSize(text) + location::kFileSize;
}

BaseIO& lyrics::read(BaseIO& io) {
    text = readWideString(io);
    return place.read(io);
}

BaseIO& lyrics::write(BaseIO& io) {
    writeWideString(io, text);
    return place.write(io);
}

void tempo::decode(const unsigned char* bytes) {
    at.timeA = loadLE<std::int32_t>(bytes);
    at.timeB = loadLE<std::int32_t>(bytes + 4);
    valueA = bytes[8];
    valueB = bytes[9];
    valueC = loadLE<std::uint16_t>(bytes + 10);
}

void tempo::encode(unsigned char* bytes) const {
    storeLE(bytes, at.timeA);
    storeLE(bytes + 4, at.timeB);
    bytes[8] = valueA;
    bytes[9] = valueB;
    storeLE(bytes + 10, valueC);
}

BaseIO& tempo::read(BaseIO& io) {
    return readRecord(io, *this);
}
BaseIO& tempo::write(BaseIO& io) {
    return writeRecord(io, *this);
}

}  // namespace qe
