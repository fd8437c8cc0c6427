#pragma once

#include <cstdio>

#include "records/base_io.h"

namespace qe {

// The byte stream of a document file: an open file read or written from its current
// position. The file stays owned by the caller, who also checks that it was flushed.
class FileIO : public BaseIO {
public:
    explicit FileIO(std::FILE* file);

    int read(void* buffer, int length) override;
    int write(const void* buffer, int length) override;
    void skip(int offset) override;
    std::int64_t tell() const override { return position_; }
    std::int64_t length() const override { return length_; }

private:
    std::FILE* file_;
    std::int64_t position_ = 0;
    std::int64_t length_ = -1;
};

}  // namespace qe
