#pragma once

#include <QColor>
#include <QDialog>
#include <QFont>

#include "records/font_record.h"

class QFontDialog;
class QPushButton;

namespace qe {

// The font dialog of a text category: family, style, size and effects, with the colour of
// the text beside them, in one dialog.
//
// Records keep sizes in twips (1/1440 inch; a negative height is the character height); the
// dialog shows points. A chosen size goes back as -2 x its size in tenths of a point, so a
// 20-point font is stored as -400.
class FontChooser : public QDialog {
    Q_OBJECT

public:
    FontChooser(const FontRecord& record, QWidget* parent = nullptr);

    // The record with the chosen font and colour; the fields the dialog does not show
    // (character set, precision, quality, pitch) are kept from the record it started with.
    FontRecord chosenRecord() const;

    void setCurrentFont(const QFont& font);
    void setCurrentColor(const QColor& color);
    QColor currentColor() const { return color_; }

    // The font the dialog shows for a record.
    static QFont dialogFont(const LogFont& record);
    // The record a chosen font makes, on top of `previous`.
    static LogFont recordOf(const QFont& chosen, const LogFont& previous);

private:
    void chooseColor();
    void showColor();

    FontRecord record_;
    QFontDialog* fonts_;
    QFont shown_;
    QPushButton* colorButton_;
    QColor color_;
};

}  // namespace qe
