#include "export/page_bands.h"

#include <sys/mman.h>

#include <cstddef>

#include "engrave/page_view.h"
#include "export/page_render.h"

namespace qe {

namespace {

// A band buffer mapped straight from the system rather than taken from the allocator, which
// keeps large blocks it has once handed out: unmapped when the band is done, its memory is
// gone, and an export of many pages holds no more than one of a single page.
QImage mappedImage(QSize size) {
    struct Mapping {
        void* at;
        std::size_t bytes;
    };
    const qsizetype bytesPerLine = qsizetype{size.width()} * 4;
    const std::size_t bytes = static_cast<std::size_t>(bytesPerLine) * size.height();
    void* memory =
        ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (memory == MAP_FAILED)
        return {};
    return QImage(
        static_cast<uchar*>(memory), size.width(), size.height(), bytesPerLine,
        QImage::Format_RGB32,
        [](void* info) {
            const auto* mapping = static_cast<Mapping*>(info);
            ::munmap(mapping->at, mapping->bytes);
            delete mapping;
        },
        new Mapping{memory, bytes});
}

}  // namespace

PageBands::PageBands(FontBook& fonts, const PageView& view, int index, bool watermark)
    : fonts_(fonts),
      view_(view),
      index_(index),
      watermark_(watermark),
      size_(exportPageSize(view)) {}

bool PageBands::fill(int band, QImage& buffer) const {
    const QSize bandSize(size_.width(), bandRows());
    if (buffer.size() != bandSize || buffer.format() != QImage::Format_RGB32)
        buffer = mappedImage(bandSize);
    if (buffer.isNull())
        return false;
    drawPageRows(fonts_, view_, index_, watermark_, bandTop(band), buffer);
    return true;
}

}  // namespace qe
