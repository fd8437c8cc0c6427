#pragma once

#include <cstddef>

namespace qe::sound {

// Where an exported file's bytes go, in order.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    // Returns false when the bytes could not be written; nothing more is then written.
    virtual bool write(const unsigned char* data, std::size_t size) = 0;
};

}  // namespace qe::sound
