#pragma once

#include <QDialog>
#include <QUrl>

class QPushButton;

namespace qe {

// The about box: the program's picture, name and version, and a button that opens the
// forum's web page in the desktop's browser.
class AboutDialog : public QDialog {
    Q_OBJECT

public:
    static QUrl forumAddress();

    explicit AboutDialog(QWidget* parent = nullptr);

    QPushButton* forumButton() const { return forum_; }

private:
    QPushButton* forum_;
};

}  // namespace qe
