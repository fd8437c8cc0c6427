#include "gui/measure_check_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "document/score_document.h"
#include "gui/interface_language.h"
#include "gui/score_view.h"
#include "gui/ui_text.h"
#include "music/measure_numbers.h"

namespace qe {

MeasureCheckDialog::MeasureCheckDialog(ScoreView& view, QWidget* parent)
    : QDialog(parent), view_(&view), list_(new QListWidget(this)) {
    setWindowTitle(ui("检查小节"));
    setObjectName(QStringLiteral("measureCheck"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    auto* summary = new QLabel(this);
    layout->addWidget(summary);
    layout->addWidget(list_);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* go = go_ = buttons->addButton(ui("转到"), QDialogButtonBox::ActionRole);
    QPushButton* again = buttons->addButton(ui("重新检查"), QDialogButtonBox::ActionRole);
    QPushButton* close = buttons->addButton(ui("关闭"), QDialogButtonBox::RejectRole);
    layout->addWidget(buttons);
    connect(list_, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { goTo(list_->row(item)); });
    connect(go, &QPushButton::clicked, this, [this] { goTo(list_->currentRow()); });
    connect(again, &QPushButton::clicked, this, [this, summary] {
        fill();
        summary->setText(
            misfits_.empty()
                ? ui("每个小节的拍数都与拍号相符。")
                : ui("有 %1 个小节的拍数与拍号不符（弱起小节除外）：").arg(misfits_.size()));
    });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    again->click();
    resize(460, 360);
}

QString beatsPhrase(music::Ticks ticks, music::Ticks beat) {
    if (currentLanguage() == InterfaceLanguage::Chinese)
        return QString::fromStdU16String(music::beatsWords(ticks, beat));
    return QString::fromStdString(music::beatsInEnglish(ticks, beat));
}

QString MeasureCheckDialog::lineText(const music::MeasureMisfit& f, const music::Meter& meter,
                                     int number) {
    const music::Ticks beat = music::countedBeat(meter);
    const bool over = f.length > f.expected;
    const music::Ticks by = over ? f.length - f.expected : f.expected - f.length;
    return ui("第%1小节（第%2声部）：%3了%4（%5/%6 拍中有 %7 拍）")
        .arg(number)
        .arg(f.track + 1)
        .arg(over ? ui("多") : ui("少"))
        .arg(beatsPhrase(by, beat))
        .arg(meter.numerator)
        .arg(meter.denominator)
        .arg(currentLanguage() == InterfaceLanguage::Chinese
                 ? QString::fromStdString(music::beatsText(f.length, beat))
                 : beatsPhrase(f.length, beat));
}

void MeasureCheckDialog::fill() {
    list_->clear();
    misfits_.clear();
    if (!view_)
        return;
    const ScoreSession& session = view_->document()->session();
    misfits_ = session.measureCheck.misfits();
    for (const music::MeasureMisfit& f : misfits_)
        list_->addItem(lineText(f, f.meter, music::measureNumber(session.score, f.measure)));
    if (!misfits_.empty())
        list_->setCurrentRow(0);
    go_->setEnabled(!misfits_.empty());
}

void MeasureCheckDialog::goTo(int row) {
    if (!view_ || row < 0 || row >= static_cast<int>(misfits_.size()))
        return;
    const music::MeasureMisfit& f = misfits_[static_cast<std::size_t>(row)];
    view_->goToMeasure(f.track, f.measure);
    QRect measure = view_->measureRect(f.track, f.measure);
    if (!measure.isEmpty())
        standClearOf(QRect(view_->viewport()->mapToGlobal(measure.topLeft()), measure.size()));
    if (QWidget* top = view_->window())
        top->activateWindow();
}

void MeasureCheckDialog::standClearOf(const QRect& avoid) {
    const QRect frame = frameGeometry();
    const QRect room = screen() ? screen()->availableGeometry() : QRect();
    const int gap = 16;
    if (!frame.intersects(avoid.adjusted(-gap, -gap, gap, gap)) || room.isEmpty())
        return;
    const QPoint offset = pos() - frame.topLeft();  // the title bar and borders
    const QPoint places[] = {
        {frame.left(), avoid.bottom() + gap},
        {frame.left(), avoid.top() - gap - frame.height()},
        {avoid.right() + gap, frame.top()},
        {avoid.left() - gap - frame.width(), frame.top()},
    };
    for (const QPoint& at : places) {
        const QRect moved(at, frame.size());
        if (room.contains(moved)) {
            move(at + offset);
            return;
        }
    }
}

}  // namespace qe
