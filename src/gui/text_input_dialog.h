#pragma once

#include <QDialog>
#include <QString>

class QLineEdit;

namespace qe {

// A one-line text question: a prompt above an edit field holding the value.
class TextInputDialog : public QDialog {
    Q_OBJECT

public:
    explicit TextInputDialog(QWidget* parent = nullptr);

    // OK: the field's text becomes the value.
    void accept() override;

    QLineEdit* valueEdit() const { return valueEdit_; }

    QString value;
    QString prompt;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLineEdit* promptEdit_;
    QLineEdit* valueEdit_;
};

}  // namespace qe
