#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QString>

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

class QPaintDevice;

namespace qe {

// A font ready to be measured and drawn, with the advances of the texts measured in it so
// far. Sizes are kept in the font's own pixels; `unit` converts them to logical units.
//
// A font made from a document's font record (see FontBook) has its pixel size set in logical units (unit 1)
// and no hinting, so that it measures the same on every device: a score lays out identically
// on screen, on paper and in an exported image.
class MeasuredFont {
public:
    // A font a painter already holds, measured on its device, where one of its pixels spans
    // `unit` logical units. Used only for text drawn before any record was selected.
    static std::shared_ptr<MeasuredFont> forPainter(const QFont& font, QPaintDevice* device,
                                                    double unit);

    MeasuredFont(const QFont& font, const QFontMetricsF& metrics, double unit, double stretch);
    MeasuredFont(const MeasuredFont&) = delete;
    MeasuredFont& operator=(const MeasuredFont&) = delete;

    // Advance of the text in logical units, the horizontal stretch included. The 0 character
    // takes no room: a hidden bar line measures it.
    int width(std::u16string_view text);
    // Ascent plus descent in logical units: the whole cell, as a text extent reports it.
    int cellHeight() const { return cellHeight_; }

    // The text without its 0 characters, as it is measured and drawn.
    static QString drawable(std::u16string_view text);

    const QFont font;
    const double unit;     // logical units per pixel of the font
    const double stretch;  // horizontal scale that gives the record's average character width
    const double ascent;   // in pixels of the font

private:
    // Lets the width cache be searched with a view, without building a string per lookup.
    struct ViewHash {
        using is_transparent = void;
        std::size_t operator()(std::u16string_view text) const {
            return std::hash<std::u16string_view>{}(text);
        }
    };

    QFontMetricsF metrics_;
    int cellHeight_;
    std::unordered_map<std::u16string, int, ViewHash, std::equal_to<>> widths_;
};

}  // namespace qe
