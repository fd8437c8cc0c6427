#include "gui/key_guide.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "edit/chord_symbol_entry.h"
#include "edit/input_method.h"
#include "edit/lyrics_entry.h"
#include "gui/commands.h"
#include "gui/ui_text.h"

namespace qe {

namespace {

using Group = InputMethod::Group;

QString groupName(Group group) {
    switch (group) {
        case Group::Notes:
            return ui("音符");
        case Group::Octave:
            return ui("八度");
        case Group::Length:
            return ui("时值");
        case Group::Accidentals:
            return ui("变音记号");
        case Group::Marks:
            return ui("记号");
        case Group::BarLines:
            return ui("小节线");
        case Group::Editing:
            return ui("编辑");
    }
    return {};
}

// A key's name or meaning from the editing layer's tables, in the window's language.
QString text(const char16_t* s) {
    return uiText(QString::fromUtf16(s));
}

// A menu text without its accelerator mark and dots: "弧线(&A)" -> "弧线".
QString plainText(const QString& menuText) {
    QString t = menuText;
    t.remove(QRegularExpression(QStringLiteral("\\(&.\\)")));
    t.remove(QLatin1Char('&'));
    t.remove(QStringLiteral("..."));
    return t;
}

QString keysOf(const QAction* action) {
    QStringList keys;
    for (const QKeySequence& k : action->shortcuts())
        keys << k.toString(QKeySequence::NativeText);
    return keys.join(QStringLiteral(" / "));
}

void addModeKeys(QList<KeyGuideRow>& rows, const QString& group, std::span<const ModeKey> keys) {
    for (const ModeKey& key : keys)
        rows.push_back({group, ui(key.keyName), ui(key.meaning)});
}

}  // namespace

QList<KeyGuideRow> keyGuideRows(const Commands& commands) {
    QList<KeyGuideRow> rows;
    for (const InputMethod::Key& key : InputMethod::keys())
        rows.push_back({groupName(key.group), text(key.keyName), text(key.meaning)});
    // The keys of the score window alone, then the keys of the menus.
    QList<KeyGuideRow> menuKeys;
    for (const Commands::Entry& entry : commands.all()) {
        const CommandRow& row = *entry.row;
        if (!row.keys || !row.listed)
            continue;
        if (!entry.action) {
            const QString keys =
                row.guideKeys ? ui(row.guideKeys)
                              : QKeySequence(QString::fromLatin1(row.keys), QKeySequence::PortableText)
                                    .toString(QKeySequence::NativeText);
            rows.push_back({ui(row.guideGroup), keys, ui(row.meaning)});
            continue;
        }
        const QString command = plainText(entry.action->text());
        menuKeys.push_back(
            {row.guideGroup ? ui(row.guideGroup) : ui("其他命令"), keysOf(entry.action),
             row.menu == CommandMenu::Play
                 ? command
                 : QStringLiteral("%1 > %2").arg(plainText(Commands::menuTitle(row.menu)), command)});
    }
    const QString selection = ui("选择");
    rows.push_back({selection, ui("拖动鼠标"), ui("选中拖过的内容")});
    rows.push_back({selection, ui("Shift + 单击"), ui("从插入点起选中到单击的位置")});
    addModeKeys(rows, ui("和弦记号"), ChordSymbolEntry::keys());
    addModeKeys(rows, ui("歌词"), LyricsEntry::keys());
    rows += menuKeys;
    // Each group once, where it first comes.
    QStringList groups;
    for (const KeyGuideRow& row : rows)
        if (!groups.contains(row.group))
            groups << row.group;
    QList<KeyGuideRow> grouped;
    for (const QString& group : groups)
        for (const KeyGuideRow& row : rows)
            if (row.group == group)
                grouped << row;
    return grouped;
}

KeyGuide::KeyGuide(const QList<KeyGuideRow>& rows, QWidget* parent) : QDialog(parent) {
    setWindowTitle(ui("键盘指南"));
    setObjectName(QStringLiteral("keyGuide"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(
        ui("在乐谱中直接按键输入；字母大小写均可。状态栏显示下一个音符的变音记号、八度和时值。"),
        this));
    auto* tree = new QTreeWidget(this);
    tree->setColumnCount(2);
    tree->setHeaderLabels({ui("按键"), ui("作用")});
    tree->setRootIsDecorated(false);
    tree->setAlternatingRowColors(true);
    QTreeWidgetItem* group = nullptr;
    for (const KeyGuideRow& row : rows) {
        if (!group || group->text(0) != row.group) {
            group = new QTreeWidgetItem(tree, {row.group});
            group->setFirstColumnSpanned(true);
            QFont bold = group->font(0);
            bold.setBold(true);
            group->setFont(0, bold);
            group->setExpanded(true);
        }
        new QTreeWidgetItem(group, {row.keys, row.meaning});
    }
    tree->expandAll();
    tree->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    layout->addWidget(tree);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(ui("关闭"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(620, 720);
}

}  // namespace qe
