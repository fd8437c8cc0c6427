#include "painter/font_book.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string_view>
#include <type_traits>

#include "painter/measured_font.h"

namespace qe {

namespace {

// Font sizes of a damaged record are kept within 1 unit and 70 inches, so that the font
// engine is never asked for an absurd size and no height overflows when negated.
constexpr std::int64_t kLargestSize = 100000;
// A record of height 0 asks for "the usual size": 12 points.
constexpr int kUsualEm = 240;
// Fonts of all documents opened in a session rarely exceed a few dozen; past this many a
// shelf starts afresh rather than grow without bound.
constexpr std::size_t kMostFonts = 256;

// A record is hashed as the bytes it is made of: it has no padding, so equal records have
// equal bytes. The colour is not part of it, as it does not change the shapes.
static_assert(std::has_unique_object_representations_v<LogFont>);

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

std::shared_ptr<MeasuredFont> measuredFontOf(const LogFont& record) {
    const QFont font = fontOf(record);
    const QFontMetricsF metrics(font);
    double stretch = 1.0;
    if (record.width != 0) {
        const double natural = metrics.averageCharWidth();
        const std::int64_t wanted = clampedSize(std::abs(std::int64_t{record.width}));
        if (natural > 0)
            stretch = double(wanted) / natural;
    }
    return std::make_shared<MeasuredFont>(font, metrics, 1.0, stretch);
}

QStringList symbolFontFolders() {
    QStringList folders;
    const QString fromEnvironment = qEnvironmentVariable("QANOREDIT_FONT_DIR");
    if (!fromEnvironment.isEmpty())
        folders << fromEnvironment;
    if (QCoreApplication::instance()) {
        const QString appDir = QCoreApplication::applicationDirPath();
        folders << appDir + QStringLiteral("/fonts")
                << appDir + QStringLiteral("/../share/qanoredit/fonts");
    }
    folders << QStringLiteral(QE_BUILD_FONT_DIR) << QStringLiteral(QE_INSTALLED_FONT_DIR);
    return folders;
}

}  // namespace

std::size_t FontBook::RecordHash::operator()(const LogFont& record) const {
    return std::hash<std::string_view>{}(
        std::string_view(reinterpret_cast<const char*>(&record), sizeof record));
}

FontBook::FontBook() {
    if (QGuiApplication* app = qGuiApp)
        watch_ = QObject::connect(app, &QGuiApplication::fontDatabaseChanged, app,
                                  [this] { generation_.fetch_add(1); });
    for (const QString& folder : symbolFontFolders()) {
        const QString path = QDir(folder).filePath(QStringLiteral("QanorEditSymbol.ttf"));
        if (!QFileInfo::exists(path))
            continue;
        symbolFontId_ = QFontDatabase::addApplicationFont(path);
        if (symbolFontId_ < 0)
            continue;
        symbolFontPath_ = QFileInfo(path).absoluteFilePath();
        break;
    }
}

FontBook::~FontBook() {
    QObject::disconnect(watch_);
    // The fonts go while the font system is still there.
    shelves_.clear();
    if (symbolFontId_ >= 0)
        QFontDatabase::removeApplicationFont(symbolFontId_);
}

std::shared_ptr<MeasuredFont> FontBook::font(const LogFont& record) {
    Shelf* shelf = nullptr;
    {
        const std::lock_guard lock(shelvesLock_);
        shelf = &shelves_[std::this_thread::get_id()];
    }
    // Only this thread reaches its shelf, and shelves are never removed while the book lives,
    // so the shelf is used without the lock.
    const unsigned generation = generation_.load();
    if (shelf->generation != generation) {
        shelf->fonts.clear();
        shelf->generation = generation;
    }
    if (auto found = shelf->fonts.find(record); found != shelf->fonts.end())
        return found->second;
    if (shelf->fonts.size() >= kMostFonts)
        shelf->fonts.clear();
    auto made = measuredFontOf(record);
    shelf->fonts.emplace(record, made);
    return made;
}

}  // namespace qe
