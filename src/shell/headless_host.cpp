#include "shell/headless_host.h"

#include <QPainter>
#include <QString>
#include <cstdio>

#include "draw/qt/g.h"
#include "edit/qanor_view.h"

namespace qe {

namespace {

// The painter comes first among the bases, so that it outlives the surface drawing on it.
struct PainterHolder {
    std::unique_ptr<QPainter> painter;
};

// A surface that owns the painter it measures with.
class ScratchSurface : private PainterHolder, public G {
public:
    explicit ScratchSurface(QImage& image)
        : PainterHolder{std::make_unique<QPainter>(&image)}, G(*PainterHolder::painter, 96) {}
};

}  // namespace

std::unique_ptr<BaseGDI> HeadlessHost::layoutSurface() {
    return std::make_unique<ScratchSurface>(scratch_);
}

void HeadlessHost::updateAllViews() {
    if (view)
        view->relayout();
}

void HeadlessHost::warn(const std::u16string& text, const std::u16string& caption) {
    const QString line =
        QString::fromStdU16String(caption) + QStringLiteral(": ") + QString::fromStdU16String(text);
    std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData());
}

}  // namespace qe
