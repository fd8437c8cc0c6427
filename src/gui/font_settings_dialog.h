#pragma once

#include <QDialog>

class QComboBox;
class QPushButton;

namespace qe {

class format_track_header;

// The font settings dialog: pick a text category, then its font and colour. A chosen font is
// stored into the format settings at once; the document takes care of undoing it when the
// dialog is cancelled.
class FontSettingsDialog : public QDialog {
    Q_OBJECT

public:
    // The font record each list entry edits, in list order: 大标题, 小标题, 普通文字,
    // 小号文字, 普通音符, 小节线等, 倚音/赠音.
    static int fontRecordOf(int category);

    // `format` is not owned and must outlive the dialog.
    FontSettingsDialog(format_track_header* format, QWidget* parent = nullptr);

    // Button "选择字体": the font dialog on the selected category's record.
    void onChooseFont();

    QComboBox* categoryList() const { return categoryBox; }
    QPushButton* chooseFontButton() const { return chooseFont_; }

    format_track_header* format;
    QComboBox* categoryBox;

private:
    QPushButton* chooseFont_;
};

}  // namespace qe
