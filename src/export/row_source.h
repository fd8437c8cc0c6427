#pragma once

#include <QImage>
#include <QSize>

#include <functional>
#include <vector>

namespace qe {
class TaskPool;
}

namespace qe {

// Where an image writer takes its rows from: a picture already drawn, or a page drawn band by
// band so that its pixels are never all in memory at once. A band is a run of rows from the
// top; every band but the last has bandRows() rows.
class RowSource {
public:
    virtual ~RowSource() = default;

    // The whole picture in pixels; empty when there is nothing to write.
    virtual QSize size() const = 0;
    virtual int bandRows() const = 0;
    // Makes band `band` the first rows of `buffer` (Format_RGB32, as wide as the picture),
    // drawing it or pointing at it; false when there was no memory for it. `buffer` is reused
    // from call to call.
    virtual bool fill(int band, QImage& buffer) const = 0;

    int bands() const;
    int bandTop(int band) const { return band * bandRows(); }
    int rowsOf(int band) const;
};

// A picture already drawn, in bands of half its height.
class WholeImage : public RowSource {
public:
    explicit WholeImage(const QImage& image);
    QSize size() const override { return image_.size(); }
    int bandRows() const override;
    bool fill(int band, QImage& buffer) const override;

private:
    QImage image_;
};

// Fills every band and hands it to `work` on the thread that filled it. With `helpers`, bands
// are filled on its threads too, each thread with a buffer of its own. Returns whether every
// band could be filled.
bool forEachBandInParallel(const RowSource& source, TaskPool* helpers,
                           const std::function<void(int band, const QImage& rows)>& work);

// Fills the bands in `order` and hands each to `use` on the calling thread, in that order,
// until `use` returns false. With `helpers`, the next band is filled on one of its threads
// while `use` works on this one. Returns whether every band was filled and used.
bool forEachBandInOrder(const RowSource& source, const std::vector<int>& order, TaskPool* helpers,
                        const std::function<bool(int band, const QImage& rows)>& use);

}  // namespace qe
