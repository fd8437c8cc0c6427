#pragma once

#include <cstdint>

#include "records/base_io.h"

namespace qe {

// Every persistent record and container: it knows its size in a file and reads and writes
// itself. `size()` must always equal the bytes `write` produces and `read` consumes, since
// chunk tags record it as the length of what follows.
class Block {
public:
    virtual ~Block() = default;
    virtual std::uint32_t size() const = 0;
    virtual BaseIO& read(BaseIO& io) = 0;
    virtual BaseIO& write(BaseIO& io) = 0;

protected:
    Block() = default;
    Block(const Block&) = default;
    Block& operator=(const Block&) = default;
};

}  // namespace qe
