#include "gui/font_settings_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <iterator>

#include "gui/font_chooser.h"
#include "gui/dialog_buttons.h"
#include "gui/ui_text.h"
#include "records/doc_chunks.h"

namespace qe {

namespace {

struct Category {
    const char* text;
    FontCategory record;
};

constexpr Category kCategories[] = {
    {"大标题", kTitleFont},        {"小标题", kSubtitleFont}, {"普通文字", kTextFont},
    {"小号文字", kSmallTextFont},  {"普通音符", kNoteFont},   {"小节线等", kBarLineFont},
    {"倚音/赠音", kGraceNoteFont}, {"歌词", kLyricsFont},
};
constexpr int kCategoryCount = static_cast<int>(std::size(kCategories));

}  // namespace

int FontSettingsDialog::fontRecordOf(int category) {
    return category >= 0 && category < kCategoryCount ? kCategories[category].record : -1;
}

FontSettingsDialog::FontSettingsDialog(format_track_header* format, QWidget* parent)
    : QDialog(parent), format(format) {
    setWindowTitle(ui("字体设置"));
    categoryBox = new QComboBox(this);
    for (const Category& category : kCategories)
        categoryBox->addItem(ui(category.text));
    categoryBox->setCurrentIndex(0);
    chooseFont_ = new QPushButton(ui("选择字体(&S)..."), this);
    connect(chooseFont_, &QPushButton::clicked, this, &FontSettingsDialog::onChooseFont);

    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(ui("应用类别:"), this));
    row->addWidget(categoryBox, 1);
    row->addWidget(chooseFont_);

    QDialogButtonBox* buttons = okCancelButtons(this);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addSpacing(12);
    layout->addWidget(buttons);
}

void FontSettingsDialog::onChooseFont() {
    const int record = fontRecordOf(categoryBox->currentIndex());
    if (record < 0 || !format)
        return;
    FontRecord& font = format->fonts[static_cast<std::size_t>(record)];
    FontChooser chooser(font, this);
    if (chooser.exec() == QDialog::Accepted)
        font = chooser.chosenRecord();
}

}  // namespace qe
