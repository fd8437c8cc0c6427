#include "painter/measured_font.h"

#include <QGuiApplication>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <mutex>
#include <type_traits>

namespace qe {

namespace {

// Font sizes of a damaged record are kept within 1 unit and 70 inches, so that the font
// engine is never asked for an absurd size and no height overflows when negated.
constexpr std::int64_t kLargestSize = 100000;
// A record of height 0 asks for "the usual size": 12 points.
constexpr int kUsualEm = 240;
// Fonts of all documents opened in a session rarely exceed a few dozen; past this many the
// cache starts afresh rather than grow without bound.
constexpr std::size_t kMostFonts = 256;
constexpr std::size_t kMostTexts = 8192;

// A record is hashed as the bytes it is made of: it has no padding, so equal records have
// equal bytes. The colour is not part of it, as it does not change the shapes.
static_assert(std::has_unique_object_representations_v<LogFont>);

struct RecordHash {
    std::size_t operator()(const LogFont& record) const {
        return std::hash<std::string_view>{}(
            std::string_view(reinterpret_cast<const char*>(&record), sizeof record));
    }
};

struct FontCache {
    unsigned generation = 0;
    std::unordered_map<LogFont, std::shared_ptr<MeasuredFont>, RecordHash> fonts;
};

thread_local FontCache t_cache;

// Bumped whenever fonts are added to or removed from the application, so that a face which
// was missing (and fell back to another) is looked up again.
std::atomic<unsigned> g_fontGeneration{0};

void watchFontDatabase() {
    static std::once_flag once;
    std::call_once(once, [] {
        QGuiApplication* app = qGuiApp;
        if (!app)
            return;
        QObject::connect(app, &QGuiApplication::fontDatabaseChanged, app,
                         [] { g_fontGeneration.fetch_add(1); });
        // Fonts of the GUI thread are let go while the font system is still there.
        QObject::connect(app, &QCoreApplication::aboutToQuit, app, [] { t_cache.fonts.clear(); });
    });
}

int clampedSize(std::int64_t size) {
    return static_cast<int>(std::clamp<std::int64_t>(size, 1, kLargestSize));
}

QFont fontOf(const LogFont& record) {
    QFont font;
    const std::u16string face = record.face();
    if (!face.empty())
        font.setFamily(QString::fromStdU16String(face));
    font.setHintingPreference(QFont::PreferNoHinting);
    const int weight = record.weight == 0 ? 400 : std::clamp(record.weight, 1, 1000);
    font.setWeight(static_cast<QFont::Weight>(weight));
    font.setItalic(record.italic != 0);
    font.setUnderline(record.underline != 0);
    font.setStrikeOut(record.strikeOut != 0);

    const std::int64_t height = record.height;
    int em = kUsualEm;
    if (height < 0) {
        em = clampedSize(-height);
    } else if (height > 0) {
        // A positive height is the whole cell; find the em that gives a cell that high.
        const int cell = clampedSize(height);
        font.setPixelSize(cell);
        const QFontMetricsF probe(font);
        const double probeCell = probe.ascent() + probe.descent();
        em = probeCell > 0 ? clampedSize(std::llround(cell * double(cell) / probeCell)) : cell;
    }
    font.setPixelSize(em);
    return font;
}

}  // namespace

std::shared_ptr<MeasuredFont> MeasuredFont::forRecord(const LogFont& record) {
    watchFontDatabase();
    FontCache& cache = t_cache;
    const unsigned generation = g_fontGeneration.load();
    if (cache.generation != generation) {
        cache.fonts.clear();
        cache.generation = generation;
    }

    if (auto found = cache.fonts.find(record); found != cache.fonts.end())
        return found->second;

    const QFont font = fontOf(record);
    const QFontMetricsF metrics(font);
    double stretch = 1.0;
    if (record.width != 0) {
        const double natural = metrics.averageCharWidth();
        const std::int64_t wanted = clampedSize(std::abs(std::int64_t{record.width}));
        if (natural > 0)
            stretch = double(wanted) / natural;
    }
    if (cache.fonts.size() >= kMostFonts)
        cache.fonts.clear();
    auto made = std::make_shared<MeasuredFont>(font, metrics, 1.0, stretch);
    cache.fonts.emplace(record, made);
    return made;
}

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
