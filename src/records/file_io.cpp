#include "records/file_io.h"

#include <algorithm>

namespace qe {

FileIO::FileIO(std::FILE* file) : file_(file) {
    // The length bounds every read; a file that cannot seek (a pipe) is read to its end.
    const long start = std::ftell(file_);
    if (start >= 0) {
        position_ = start;
        if (std::fseek(file_, 0, SEEK_END) == 0) {
            const long end = std::ftell(file_);
            if (end >= 0)
                length_ = end;
        }
        std::fseek(file_, start, SEEK_SET);
    }
}

int FileIO::read(void* buffer, int length) {
    if (length <= 0)
        return 0;
    const auto got =
        static_cast<int>(std::fread(buffer, 1, static_cast<std::size_t>(length), file_));
    position_ += got;
    return got;
}

int FileIO::write(const void* buffer, int length) {
    if (length <= 0)
        return 0;
    const auto put =
        static_cast<int>(std::fwrite(buffer, 1, static_cast<std::size_t>(length), file_));
    position_ += put;
    length_ = std::max(length_, position_);
    return put;
}

void FileIO::skip(int offset) {
    if (std::fseek(file_, offset, SEEK_CUR) == 0)
        position_ += offset;
}

}  // namespace qe
