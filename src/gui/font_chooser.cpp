#include "gui/font_chooser.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <limits>
#include "gui/dialog_buttons.h"
#include "gui/ui_text.h"

namespace qe {

namespace {

// Twips per point.
constexpr double kTwipsPerPoint = 20.0;
// What a record of height 0 means: the usual 12 points.
constexpr double kUsualPoints = 12.0;

}  // namespace

QFont FontChooser::dialogFont(const LogFont& record) {
    QFont font;
    const std::u16string face = record.face();
    if (!face.empty())
        font.setFamily(QString::fromStdU16String(face));
    const double points =
        record.height != 0 ? std::abs(double(record.height)) / kTwipsPerPoint : kUsualPoints;
    font.setPointSizeF(std::clamp(points, 1.0, 1000.0));
    if (record.weight > 0)
        font.setWeight(static_cast<QFont::Weight>(std::clamp(record.weight, 1, 1000)));
    font.setItalic(record.italic != 0);
    font.setUnderline(record.underline != 0);
    font.setStrikeOut(record.strikeOut != 0);
    // A face this system lacks is shown as the face that stands in for it, so that the
    // dialog's lists show what the score is drawn with.
    const QString family = QFontInfo(font).family();
    font.setFamily(family);
    // The dialog finds a style by its name, which it would otherwise look for in the user's
    // language among the face's own names: name the face's style nearest to the record.
    int nearest = std::numeric_limits<int>::max();
    for (const QString& style : QFontDatabase::styles(family)) {
        const int distance = std::abs(QFontDatabase::weight(family, style) - font.weight()) +
                             (QFontDatabase::italic(family, style) != font.italic() ? 10000 : 0);
        if (distance < nearest) {
            nearest = distance;
            font.setStyleName(style);
        }
    }
    return font;
}

LogFont FontChooser::recordOf(const QFont& chosen, const LogFont& previous) {
    LogFont record = previous;
    // The size in tenths of a point, as font dialogs report it.
    const int tenths = static_cast<int>(std::lround(chosen.pointSizeF() * 10.0));
    record.height = -2 * tenths;
    // A chosen font has no width of its own: its characters keep their natural shape.
    record.width = 0;
    record.weight = chosen.weight();
    record.italic = chosen.italic() ? 1 : 0;
    record.underline = chosen.underline() ? 1 : 0;
    record.strikeOut = chosen.strikeOut() ? 1 : 0;
    record.setFace(chosen.family().toStdU16String());
    return record;
}

FontChooser::FontChooser(const FontRecord& record, QWidget* parent)
    : QDialog(parent), record_(record) {
    setWindowTitle(ui("字体"));
    fonts_ = new QFontDialog(this);
    // Shown inside this dialog, with its buttons left to this one.
    fonts_->setWindowFlags(Qt::Widget);
    fonts_->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
    // Enter and Escape in the font lists answer this dialog.
    connect(fonts_, &QDialog::accepted, this, &QDialog::accept);
    connect(fonts_, &QDialog::rejected, this, &QDialog::reject);
    fonts_->setCurrentFont(dialogFont(record.logFont));
    // The font as the dialog shows it: a face the system lacks shows as its substitute.
    shown_ = fonts_->currentFont();

    colorButton_ = new QPushButton(this);
    colorButton_->setIconSize(QSize(48, 16));
    connect(colorButton_, &QPushButton::clicked, this, &FontChooser::chooseColor);
    auto* colorLabel = new QLabel(ui("颜色(&C)："), this);
    colorLabel->setBuddy(colorButton_);
    auto* colorRow = new QHBoxLayout;
    colorRow->addWidget(colorLabel);
    colorRow->addWidget(colorButton_);
    colorRow->addStretch();
    setCurrentColor(QColor::fromRgb(record.red(), record.green(), record.blue()));

    QDialogButtonBox* buttons = okCancelButtons(this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(fonts_);
    layout->addLayout(colorRow);
    layout->addWidget(buttons);
}

void FontChooser::setCurrentFont(const QFont& font) {
    fonts_->setCurrentFont(font);
}

void FontChooser::setCurrentColor(const QColor& color) {
    color_ = color;
    showColor();
}

void FontChooser::showColor() {
    const qreal ratio = devicePixelRatioF();
    QPixmap swatch(QSize(48, 16) * ratio);
    swatch.setDevicePixelRatio(ratio);
    swatch.fill(color_);
    QPainter painter(&swatch);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(QRectF(0, 0, 47.5, 15.5));
    painter.end();
    colorButton_->setIcon(QIcon(swatch));
}

void FontChooser::chooseColor() {
    const QColor chosen = QColorDialog::getColor(color_, this, ui("颜色"));
    if (chosen.isValid())
        setCurrentColor(chosen);
}

FontRecord FontChooser::chosenRecord() const {
    FontRecord record = record_;
    // Untouched, the record keeps its own face and size, even where the dialog could only
    // show an approximation of them.
    const QFont chosen = fonts_->currentFont();
    if (chosen != shown_)
        record.logFont = recordOf(chosen, record_.logFont);
    record.color = (static_cast<std::uint32_t>(color_.red()) << 16) |
                   (static_cast<std::uint32_t>(color_.green()) << 8) |
                   static_cast<std::uint32_t>(color_.blue());
    return record;
}

}  // namespace qe
