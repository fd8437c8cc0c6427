#include "cli/headless_host.h"

#include <QString>
#include <cstdio>

#include "edit/score_editor.h"
#include "painter/painter_surface.h"
#include "painter/scratch_surface.h"

namespace qe {

std::unique_ptr<Surface> HeadlessHost::layoutSurface() {
    return std::make_unique<ScratchSurface>(fonts_, scratch_);
}

void HeadlessHost::warn(const std::u16string& text, const std::u16string& caption) {
    const QString line =
        QString::fromStdU16String(caption) + QStringLiteral(": ") + QString::fromStdU16String(text);
    std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData());
}

}  // namespace qe
