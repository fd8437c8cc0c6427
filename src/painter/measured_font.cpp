#include "painter/measured_font.h"

#include <cmath>

namespace qe {

namespace {

// Past this many texts a font forgets the widths it measured rather than grow without bound.
constexpr std::size_t kMostTexts = 8192;

}  // namespace

std::shared_ptr<MeasuredFont> MeasuredFont::forPainter(const QFont& font, QPaintDevice* device,
                                                       double unit) {
    return std::make_shared<MeasuredFont>(font, QFontMetricsF(font, device), unit, 1.0);
}

MeasuredFont::MeasuredFont(const QFont& font, const QFontMetricsF& metrics, double unit,
                           double stretch)
    : font(font),
      unit(unit),
      stretch(stretch),
      ascent(metrics.ascent()),
      metrics_(metrics),
      cellHeight_(static_cast<int>(std::lround((metrics.ascent() + metrics.descent()) * unit))) {}

int MeasuredFont::width(std::u16string_view text) {
    if (auto found = widths_.find(text); found != widths_.end())
        return found->second;
    if (widths_.size() >= kMostTexts)
        widths_.clear();
    const double advance = metrics_.horizontalAdvance(drawable(text));
    const int measured = static_cast<int>(std::lround(advance * stretch * unit));
    widths_.emplace(std::u16string(text), measured);
    return measured;
}

QString MeasuredFont::drawable(std::u16string_view text) {
    if (text.find(u'\0') == std::u16string_view::npos)
        return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
    QString kept;
    kept.reserve(static_cast<qsizetype>(text.size()));
    for (char16_t unit : text)
        if (unit != 0)
            kept.append(QChar(unit));
    return kept;
}

}  // namespace qe
