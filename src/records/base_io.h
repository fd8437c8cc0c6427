#pragma once

#include <cstdint>
#include <vector>

namespace qe {

// A byte stream with a current position. Reading a document confines each chunk's parts to
// the bytes the chunk declares (pushLimit), so a damaged count or string can never read past
// its chunk or make the reader allocate for data that is not there.
class BaseIO {
public:
    virtual ~BaseIO() = default;

    // Copies up to `length` bytes from the position and advances; returns the bytes read.
    virtual int read(void* buffer, int length) = 0;
    // Writes `length` bytes at the position and advances; returns the bytes written.
    virtual int write(const void* buffer, int length) = 0;
    // Moves the position by `offset` bytes from where it stands.
    virtual void skip(int offset) = 0;

    // The position from the start of the stream, and the stream's length (-1 when unknown).
    virtual std::int64_t tell() const = 0;
    virtual std::int64_t length() const = 0;

    // Bytes that can still be read before the innermost limit or the end of the stream.
    std::int64_t available() const;
    // Confines reading to the next `bytes` bytes; throws kMalformed when fewer are available.
    void pushLimit(std::int64_t bytes);
    void popLimit();

private:
    std::vector<std::int64_t> limits_;  // absolute end positions, innermost last
};

// Keeps reading within `bytes` bytes for the lifetime of the guard.
class ReadLimit {
public:
    ReadLimit(BaseIO& io, std::int64_t bytes) : io_(io) { io_.pushLimit(bytes); }
    ~ReadLimit() { io_.popLimit(); }
    ReadLimit(const ReadLimit&) = delete;
    ReadLimit& operator=(const ReadLimit&) = delete;

private:
    BaseIO& io_;
};

}  // namespace qe
