#include "gui/about_dialog.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "base/version.h"
#include "gui/drawn_icon.h"
#include "gui/ui_text.h"

namespace qe {

QUrl AboutDialog::forumAddress() {
    return QUrl(QStringLiteral("https://forum.qanoredit.org/"));
}

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(ui("关于 QanorEdit"));
    auto* picture = new QLabel(this);
    picture->setPixmap(
        DrawnIcon::make(IconKind::Application).pixmap(QSize(48, 48), devicePixelRatioF()));
    picture->setAlignment(Qt::AlignTop);
    auto* name =
        new QLabel(QStringLiteral("QanorEdit, Version %1").arg(QString::fromLatin1(kVersion)), this);
    auto* line = new QLabel(ui("Qanor简谱编辑器：录入、排版、打印与导出数字简谱"), this);
    forum_ = new QPushButton(ui("Qanor简谱论坛：") + forumAddress().toString(), this);
    forum_->setAutoDefault(false);
    connect(forum_, &QPushButton::clicked, this, [] { QDesktopServices::openUrl(forumAddress()); });

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(ui("确定"), QDialogButtonBox::AcceptRole);
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* texts = new QVBoxLayout;
    texts->addWidget(name);
    texts->addWidget(line);
    texts->addSpacing(8);
    texts->addWidget(forum_, 0, Qt::AlignLeft);
    auto* top = new QHBoxLayout;
    top->addWidget(picture);
    top->addSpacing(12);
    top->addLayout(texts, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace qe
