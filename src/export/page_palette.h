#pragma once

#include <QImage>
#include <QList>

#include <cstdint>
#include <vector>

namespace qe {

// The colour table of a drawn page for the formats that store at most 256 colours.
//
// A page is white paper, black or coloured ink with its anti-aliasing greys, the paper's grey
// outline and the pale watermark. When it uses at most 256 colours the table holds all of
// them and the indexed page is exactly the drawn one. Otherwise (the watermark laid over
// anti-aliased ink gives a thousand or more) the table keeps the colours that cover the most
// pixels, which puts white, black, the outline and the watermark's own colours first; every
// other colour becomes the nearest kept one, with no dithering, so digits keep clean edges.
class PagePalette {
public:
    static constexpr int kMostColours = 256;

    PagePalette();
    // Counts the colours of the first `rows` rows of a Format_RGB32 image.
    void count(const QImage& image, int rows);
    // Adds the counts of another palette, made from other rows of the same page.
    void merge(const PagePalette& other);
    // Chooses the table from the counts; counting is over.
    void choose();

    // Whether every colour counted has an entry of its own.
    bool exact() const { return exact_; }
    const QList<QRgb>& colours() const { return colours_; }

    // The entries of `width` pixels of a Format_RGB32 row.
    void map(const QRgb* row, int width, std::uint8_t* entries) const;

private:
    // An open-addressing table from colour to pixel count and entry. It stops taking new
    // colours at kMostSlots / 2, so that no page can make it grow without bound; a colour it
    // does not hold is matched when it is met.
    struct Slot {
        std::uint32_t colour = kEmpty;
        std::uint32_t count = 0;
        int entry = 0;
    };
    static constexpr std::uint32_t kEmpty = 0xFFFFFFFFu;
    static constexpr std::size_t kMostSlots = std::size_t{1} << 20;

    Slot* find(std::uint32_t colour);
    const Slot* find(std::uint32_t colour) const;
    void add(std::uint32_t colour, std::uint32_t pixels);
    void grow();
    int nearest(std::uint32_t colour) const;

    std::vector<Slot> slots_;
    std::size_t used_ = 0;
    bool overflowed_ = false;
    bool exact_ = true;
    QList<QRgb> colours_;
};

}  // namespace qe
