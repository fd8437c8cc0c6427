#pragma once

#include <QImage>
#include <QPainter>
#include <memory>

#include "painter/painter_surface.h"

namespace qe {

namespace detail {
// The painter comes first among the bases, so that it outlives the surface drawing on it.
struct ScratchPainter {
    std::unique_ptr<QPainter> painter;
};
}  // namespace detail

// A surface for laying out: it measures text as the screen does, at 96 dots per inch, and
// draws into a one-pixel image nobody looks at. It owns the painter it measures with.
class ScratchSurface : private detail::ScratchPainter, public PainterSurface {
public:
    ScratchSurface(FontBook& fonts, QImage& image)
        : ScratchPainter{std::make_unique<QPainter>(&image)},
          PainterSurface(fonts, *ScratchPainter::painter, 96) {}
};

}  // namespace qe
