#include "gui/recovery_dialog.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include "gui/ui_text.h"

namespace qe {

RecoveryDialog::RecoveryDialog(const std::vector<RecoveryRecord>& records, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(ui("恢复文档"));
    auto* text = new QLabel(ui("Qanor简谱编辑器上次没有正常退出。下列文档有未保存的更改，"
                               "已自动保存，可以恢复："),
                            this);
    text->setWordWrap(true);

    list_ = new QTreeWidget(this);
    list_->setRootIsDecorated(false);
    list_->setHeaderLabels({ui("文档"), ui("标题"), ui("最后自动保存")});
    for (const RecoveryRecord& record : records) {
        auto* row = new QTreeWidgetItem(
            list_,
            {record.displayName(), record.title,
             record.autosaved.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))});
        row->setFlags(row->flags() | Qt::ItemIsUserCheckable);
        row->setCheckState(0, Qt::Checked);
        row->setToolTip(0, record.file.isEmpty() ? ui("从未保存过的乐谱")
                                                 : QDir::toNativeSeparators(record.file));
    }
    list_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    list_->setCurrentItem(list_->topLevelItem(0));
    list_->setMinimumWidth(520);

    auto* box = new QDialogButtonBox(this);
    buttons_[Recover] = box->addButton(ui("恢复"), QDialogButtonBox::AcceptRole);
    buttons_[Discard] = box->addButton(ui("丢弃"), QDialogButtonBox::DestructiveRole);
    buttons_[Later] = box->addButton(ui("以后再说"), QDialogButtonBox::RejectRole);
    buttons_[Recover]->setDefault(true);
    for (Choice c : {Recover, Discard, Later})
        connect(buttons_[c], &QPushButton::clicked, this, [this, c] { choose(c); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(list_);
    layout->addWidget(box);
}

QList<int> RecoveryDialog::chosenRows() const {
    QList<int> rows;
    for (int i = 0; i < list_->topLevelItemCount(); ++i)
        if (list_->topLevelItem(i)->checkState(0) == Qt::Checked)
            rows << i;
    return rows;
}

void RecoveryDialog::choose(Choice choice) {
    choice_ = choice;
    if (choice == Later)
        reject();
    else
        accept();
}

}  // namespace qe
