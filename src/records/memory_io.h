#pragma once

#include <algorithm>
#include <cstring>
#include <vector>

#include "records/base_io.h"

namespace qe {

// A byte stream over a vector in memory: documents built, saved and loaded without files.
class MemoryIO : public BaseIO {
public:
    MemoryIO() = default;
    explicit MemoryIO(std::vector<unsigned char> bytes) : bytes_(std::move(bytes)) {}

    int read(void* buffer, int length) override {
        if (length <= 0 || position_ >= bytes_.size())
            return 0;
        const std::size_t n =
            std::min<std::size_t>(static_cast<std::size_t>(length), bytes_.size() - position_);
        std::memcpy(buffer, bytes_.data() + position_, n);
        position_ += n;
        return static_cast<int>(n);
    }

    int write(const void* buffer, int length) override {
        if (length <= 0)
            return 0;
        const auto n = static_cast<std::size_t>(length);
        if (position_ + n > bytes_.size())
            bytes_.resize(position_ + n);
        std::memcpy(bytes_.data() + position_, buffer, n);
        position_ += n;
        return length;
    }

    // The position never goes before the start; it may go past the end, where reads give 0.
    void skip(int offset) override {
        if (offset < 0 && static_cast<std::size_t>(-static_cast<long long>(offset)) > position_)
            position_ = 0;
        else
            position_ = static_cast<std::size_t>(static_cast<long long>(position_) + offset);
    }

    std::int64_t tell() const override { return static_cast<std::int64_t>(position_); }
    std::int64_t length() const override { return static_cast<std::int64_t>(bytes_.size()); }

    const std::vector<unsigned char>& bytes() const { return bytes_; }
    void rewind() { position_ = 0; }

private:
    std::vector<unsigned char> bytes_;
    std::size_t position_ = 0;
};

}  // namespace qe
