#include "export/page_palette.h"

#include <algorithm>
#include <limits>

namespace qe {

namespace {

constexpr std::uint32_t kRgbMask = 0x00FFFFFFu;

std::size_t slotOf(std::uint32_t colour, std::size_t mask) {
    std::uint32_t hash = colour * 0x9E3779B1u;
    hash ^= hash >> 15;
    return hash & mask;
}

// Distance between two colours, weighted as the eye weighs red, green and blue.
int distance(std::uint32_t a, std::uint32_t b) {
    const int red = qRed(a) - qRed(b);
    const int green = qGreen(a) - qGreen(b);
    const int blue = qBlue(a) - qBlue(b);
    return 3 * red * red + 4 * green * green + 2 * blue * blue;
}

}  // namespace

PagePalette::PagePalette() : slots_(1024) {}

void PagePalette::count(const QImage& image, int rows) {
    const int width = image.width();
    rows = std::min(rows, image.height());
    // Most of a page is long runs of one colour: count runs, not pixels.
    for (int y = 0; y < rows; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        std::uint32_t colour = row[0] & kRgbMask;
        std::uint32_t run = 0;
        for (int x = 0; x < width; ++x) {
            const std::uint32_t next = row[x] & kRgbMask;
            if (next != colour) {
                add(colour, run);
                colour = next;
                run = 0;
            }
            ++run;
        }
        add(colour, run);
    }
}

void PagePalette::merge(const PagePalette& other) {
    for (const Slot& slot : other.slots_)
        if (slot.colour != kEmpty)
            add(slot.colour, slot.count);
    overflowed_ = overflowed_ || other.overflowed_;
}

void PagePalette::choose() {
    std::vector<const Slot*> byCoverage;
    byCoverage.reserve(used_);
    for (const Slot& slot : slots_)
        if (slot.colour != kEmpty)
            byCoverage.push_back(&slot);
    std::sort(byCoverage.begin(), byCoverage.end(), [](const Slot* a, const Slot* b) {
        return a->count != b->count ? a->count > b->count : a->colour < b->colour;
    });
    exact_ = !overflowed_ && byCoverage.size() <= kMostColours;
    const std::size_t kept = std::min<std::size_t>(byCoverage.size(), kMostColours);
    colours_.clear();
    for (std::size_t i = 0; i < kept; ++i)
        colours_.append(qRgb(qRed(byCoverage[i]->colour), qGreen(byCoverage[i]->colour),
                             qBlue(byCoverage[i]->colour)));
    if (colours_.isEmpty())
        colours_.append(qRgb(255, 255, 255));
    for (std::size_t i = 0; i < byCoverage.size(); ++i) {
        Slot* slot = find(byCoverage[i]->colour);
        slot->entry = i < kept ? static_cast<int>(i) : nearest(slot->colour);
    }
}

PagePalette::Slot* PagePalette::find(std::uint32_t colour) {
    return const_cast<Slot*>(std::as_const(*this).find(colour));
}

const PagePalette::Slot* PagePalette::find(std::uint32_t colour) const {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = slotOf(colour, mask);; i = (i + 1) & mask) {
        if (slots_[i].colour == colour)
            return &slots_[i];
        if (slots_[i].colour == kEmpty)
            return nullptr;
    }
}

void PagePalette::add(std::uint32_t colour, std::uint32_t pixels) {
    if (pixels == 0)
        return;
    if (Slot* slot = find(colour)) {
        slot->count += pixels;
        return;
    }
    if (2 * (used_ + 1) > slots_.size()) {
        if (slots_.size() >= kMostSlots) {
            overflowed_ = true;
            return;
        }
        grow();
    }
    const std::size_t mask = slots_.size() - 1;
    std::size_t i = slotOf(colour, mask);
    while (slots_[i].colour != kEmpty)
        i = (i + 1) & mask;
    slots_[i].colour = colour;
    slots_[i].count = pixels;
    ++used_;
}

void PagePalette::grow() {
    std::vector<Slot> old(slots_.size() * 2);
    old.swap(slots_);
    const std::size_t mask = slots_.size() - 1;
    for (const Slot& slot : old) {
        if (slot.colour == kEmpty)
            continue;
        std::size_t i = slotOf(slot.colour, mask);
        while (slots_[i].colour != kEmpty)
            i = (i + 1) & mask;
        slots_[i] = slot;
    }
}

int PagePalette::nearest(std::uint32_t colour) const {
    int best = 0;
    int bestDistance = std::numeric_limits<int>::max();
    for (int i = 0; i < colours_.size(); ++i) {
        const int d = distance(colour, colours_[i]);
        if (d < bestDistance) {
            best = i;
            bestDistance = d;
        }
    }
    return best;
}

void PagePalette::map(const QRgb* row, int width, std::uint8_t* entries) const {
    std::uint32_t last = kEmpty;
    std::uint8_t entry = 0;
    for (int x = 0; x < width; ++x) {
        const std::uint32_t colour = row[x] & kRgbMask;
        if (colour != last) {
            last = colour;
            const Slot* slot = find(colour);
            entry = static_cast<std::uint8_t>(slot ? slot->entry : nearest(colour));
        }
        entries[x] = entry;
    }
}

}  // namespace qe
