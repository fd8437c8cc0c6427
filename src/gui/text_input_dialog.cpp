#include "gui/text_input_dialog.h"

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include "gui/dialog_buttons.h"
#include "gui/ui_text.h"

namespace qe {

TextInputDialog::TextInputDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(ui("Qanor简谱编辑器"));
    promptEdit_ = new QLineEdit(this);
    promptEdit_->setReadOnly(true);
    promptEdit_->setFrame(false);
    promptEdit_->setFocusPolicy(Qt::NoFocus);
    // The prompt reads as a label: no field background.
    QPalette palette = promptEdit_->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    promptEdit_->setPalette(palette);
    valueEdit_ = new QLineEdit(this);
    valueEdit_->setMinimumWidth(210);

    QDialogButtonBox* buttons = okCancelButtons(this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(promptEdit_);
    layout->addWidget(valueEdit_);
    layout->addWidget(buttons);
}

void TextInputDialog::showEvent(QShowEvent* event) {
    promptEdit_->setText(prompt);
    valueEdit_->setText(value);
    valueEdit_->selectAll();
    valueEdit_->setFocus();
    QDialog::showEvent(event);
}

void TextInputDialog::accept() {
    prompt = promptEdit_->text();
    value = valueEdit_->text();
    QDialog::accept();
}

}  // namespace qe
