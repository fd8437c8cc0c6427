#include "gui/key_guide.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "edit/input_method.h"
#include "gui/commands.h"
#include "gui/playback_controls.h"
#include "gui/ui_text.h"
#include "gui/view_keys.h"

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
QString plainText(const QAction* action) {
    QString t = action->text();
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

}  // namespace

QList<KeyGuideRow> keyGuideRows(const Commands& commands, const PlaybackControls& playback) {
    QList<KeyGuideRow> rows;
    for (const InputMethod::Key& key : InputMethod::keys())
        rows.push_back({groupName(key.group), text(key.keyName), text(key.meaning)});
    const QString editing = groupName(Group::Editing);
    const QString selection = ui("选择");
    const QString moving = ui("移动插入点");
    for (const CaretKey& key : caretKeys())
        rows.push_back({moving, text(key.keyName), text(key.meaning)});
    rows.push_back({selection, ui("Shift + 移动插入点的键"), ui("从插入点起选中到移动后的位置")});
    rows.push_back({selection, ui("拖动鼠标"), ui("选中拖过的内容")});
    rows.push_back({selection, ui("Shift + 单击"), ui("从插入点起选中到单击的位置")});
    const QString chords = ui("和弦");
    rows.push_back({chords, ui("Alt + 1～7"), ui("为插入点前的音符加一个更高的和弦音")});
    rows.push_back({chords, ui("Ctrl + Alt + 1～7"), ui("为插入点前的音符加一个更低的和弦音")});
    for (const ChordKey& key : chordKeys())
        rows.push_back({ui("和弦记号"), text(key.keyName), text(key.meaning)});
    const QString lyrics = ui("歌词");
    for (const LyricsKey& key : lyricsKeys())
        rows.push_back({lyrics, text(key.keyName), text(key.meaning)});
    const QString playing = ui("播放");
    for (QAction* action :
         {playback.playFromCaret, playback.playFromStart, playback.pause, playback.stop})
        rows.push_back({playing, keysOf(action), plainText(action)});
    for (const Commands::Entry& entry : commands.all()) {
        if (entry.action->shortcuts().isEmpty())
            continue;
        const QAction* a = entry.action;
        QString group = ui("其他命令");
        if (a == commands.editSelectAll)
            group = selection;
        else if (a == commands.lyricsMode)
            group = lyrics;
        else if (ui(entry.menu) == ui("编辑"))
            group = editing;
        rows.push_back(
            {group, keysOf(a), QStringLiteral("%1 > %2").arg(ui(entry.menu), plainText(a))});
    }
    return rows;
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
