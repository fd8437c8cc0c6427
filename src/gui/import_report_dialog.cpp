#include "gui/import_report_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/interface_language.h"
#include "gui/ui_text.h"
#include "musicxml/report_texts.h"

namespace qe {

namespace {

// A measure as the file numbers it; files without numbers leave it empty.
QString measureText(const QString& measure) {
    return measure.isEmpty() ? ui("（小节未编号）") : ui("第 %1 小节").arg(measure);
}

// A kind in the window's language: the report's own English, or its Chinese.
QString kindText(const QString& what) {
    return currentLanguage() == InterfaceLanguage::English ? what
                                                           : musicxml::chineseReportText(what);
}

}  // namespace

QString ImportReportDialog::summary(const musicxml::ReportKind& kind) {
    const QString what = kindText(kind.what);
    if (kind.count == 0)
        return what;
    QString line = ui("%1：%2 处").arg(what).arg(kind.count);
    if (!kind.firstMeasure.isEmpty())
        line += ui("，首见于第 %1 小节").arg(kind.firstMeasure);
    return line;
}

QStringList ImportReportDialog::places(const musicxml::ReportKind& kind) {
    QStringList out;
    for (const musicxml::ReportKind::Place& place : kind.places) {
        QString line = measureText(place.measure);
        if (!place.part.isEmpty())
            line += ui("，%1").arg(place.part);
        if (place.count > 1)
            line += QStringLiteral(" ×%1").arg(place.count);
        out.append(line);
    }
    if (static_cast<int>(kind.places.size()) >= musicxml::ConversionReport::kMostPlaces)
        out.append(QStringLiteral("……"));
    return out;
}

ImportReportDialog::ImportReportDialog(const std::vector<musicxml::ReportKind>& kinds,
                                       QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("importReport"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(ui("导入时有些内容无法用简谱保存，已略去或近似："), this));
    QStringList lines;
    QStringList details;
    for (const musicxml::ReportKind& kind : kinds) {
        lines.append(summary(kind));
        if (kind.places.empty())
            continue;
        details.append(ui("%1：").arg(kindText(kind.what)));
        for (const QString& place : places(kind))
            details.append(QStringLiteral("    ") + place);
    }
    auto* summaryLabel = new QLabel(lines.join(QLatin1Char('\n')), this);
    summaryLabel->setObjectName(QStringLiteral("summary"));
    summaryLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(summaryLabel);
    details_ = new QPlainTextEdit(details.join(QLatin1Char('\n')), this);
    details_->setObjectName(QStringLiteral("details"));
    details_->setReadOnly(true);
    details_->setMinimumHeight(180);
    details_->hide();
    layout->addWidget(details_);
    auto* buttons = new QDialogButtonBox(this);
    more_ = buttons->addButton(ui("显示详情"), QDialogButtonBox::ActionRole);
    more_->setObjectName(QStringLiteral("more"));
    more_->setEnabled(!details.isEmpty());
    QPushButton* ok = buttons->addButton(ui("确定"), QDialogButtonBox::AcceptRole);
    ok->setDefault(true);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(more_, &QPushButton::clicked, this, [this] {
        const bool show = details_->isHidden();
        details_->setVisible(show);
        more_->setText(show ? ui("隐藏详情") : ui("显示详情"));
        adjustSize();
    });
}

}  // namespace qe
