#include "export/row_source.h"

#include <future>

#include "base/task_pool.h"

#include <algorithm>

namespace qe {

int RowSource::bands() const {
    const int rows = bandRows();
    return size().isEmpty() || rows <= 0 ? 0 : (size().height() + rows - 1) / rows;
}

int RowSource::rowsOf(int band) const {
    return std::min(bandRows(), size().height() - bandTop(band));
}

WholeImage::WholeImage(const QImage& image)
    : image_(image.format() == QImage::Format_RGB32 ? image
                                                    : image.convertToFormat(QImage::Format_RGB32)) {
}

int WholeImage::bandRows() const {
    return std::max(1, (image_.height() + 1) / 2);
}

bool WholeImage::fill(int band, QImage& buffer) const {
    // The band's rows of the picture itself, read in place.
    const int top = bandTop(band);
    buffer = QImage(image_.constScanLine(top), image_.width(), rowsOf(band), image_.bytesPerLine(),
                    QImage::Format_RGB32);
    return true;
}

bool forEachBandInParallel(const RowSource& source, TaskPool* helpers,
                           const std::function<void(int band, const QImage& rows)>& work) {
    const int bands = source.bands();
    const int threads = helpers ? std::clamp(helpers->threadCount() + 1, 1, std::max(bands, 1)) : 1;
    const auto share = [&](int first) {
        QImage buffer;
        for (int band = first; band < bands; band += threads) {
            if (!source.fill(band, buffer))
                return false;
            work(band, buffer);
        }
        return true;
    };
    std::vector<std::future<bool>> others;
    for (int t = 1; t < threads; ++t)
        others.push_back(helpers->run([&share, t] { return share(t); }));
    bool filled = share(0);
    for (std::future<bool>& other : others)
        filled = other.get() && filled;
    return filled;
}

bool forEachBandInOrder(const RowSource& source, const std::vector<int>& order, TaskPool* helpers,
                        const std::function<bool(int band, const QImage& rows)>& use) {
    if (order.empty())
        return true;
    QImage current;
    QImage next;
    if (!source.fill(order[0], current))
        return false;
    for (std::size_t i = 0; i < order.size(); ++i) {
        const bool more = i + 1 < order.size();
        std::future<bool> ahead;
        if (more && helpers)
            ahead = helpers->run(
                [&source, &next, band = order[i + 1]] { return source.fill(band, next); });
        const bool used = use(order[i], current);
        const bool filled = !ahead.valid() || ahead.get();
        if (!used || !more)
            return used;
        if (helpers)
            std::swap(current, next);
        if (!filled || (!helpers && !source.fill(order[i + 1], current)))
            return false;
    }
    return true;
}

}  // namespace qe
