#include "gui/commands.h"

#include <QAction>
#include <QKeySequence>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "gui/drawn_icon.h"
#include "gui/ui_text.h"

namespace qe {

namespace {

QAction* makeAction(const CommandRow& row, QObject* owner) {
    auto* action = new QAction(ui(row.text), owner);
    action->setObjectName(QString::fromLatin1(row.id));
    // The prompt: the status-bar text, then after "\n" the tooltip.
    const QString both = row.prompt ? ui(row.prompt) : QString();
    const qsizetype split = both.indexOf(QLatin1Char('\n'));
    action->setStatusTip(split < 0 ? both : both.left(split));
    if (split >= 0)
        action->setToolTip(both.mid(split + 1));
    if (row.keys) {
        QList<QKeySequence> keys;
        for (const QString& key : QString::fromLatin1(row.keys).split(QLatin1Char(';')))
            keys << QKeySequence(key, QKeySequence::PortableText);
        action->setShortcuts(keys);
    }
    if (row.hasIcon)
        action->setIcon(DrawnIcon::make(row.icon));
    action->setCheckable(row.checks != CheckShows::Nothing);
    return action;
}

// Actions ordered by their place, with a separator (null) where the tens of the place change.
QList<QAction*> byPlace(const QList<Commands::Entry>& entries, int CommandRow::*place) {
    QList<Commands::Entry> placed;
    for (const Commands::Entry& e : entries)
        if (e.action && e.row->*place > 0)
            placed << e;
    std::stable_sort(placed.begin(), placed.end(), [place](const auto& a, const auto& b) {
        return a.row->*place < b.row->*place;
    });
    QList<QAction*> actions;
    for (qsizetype i = 0; i < placed.size(); ++i) {
        if (i > 0 && placed[i].row->*place / 10 != placed[i - 1].row->*place / 10)
            actions << nullptr;
        actions << placed[i].action;
    }
    return actions;
}

}  // namespace

Commands::Commands(QObject* owner) {
    for (const CommandRow& row : commandRows())
        entries_.push_back({&row, row.menu == CommandMenu::None ? nullptr : makeAction(row, owner)});
}

QAction* Commands::action(const char* id) const {
    for (const Entry& e : entries_)
        if (e.action && std::string_view(e.row->id) == id)
            return e.action;
    std::fprintf(stderr, "qanoredit: no command action named %s\n", id);
    std::abort();
}

QList<QAction*> Commands::menuActions(CommandMenu menu, bool withScore) const {
    QList<QAction*> actions;
    const CommandRow* last = nullptr;
    for (const Entry& e : entries_) {
        if (e.row->menu != menu || (e.row->scoreOnly && !withScore))
            continue;
        if (last && last->group != e.row->group)
            actions << nullptr;
        actions << e.action;
        last = e.row;
    }
    return actions;
}

QList<QAction*> Commands::toolBarActions() const {
    return byPlace(entries_, &CommandRow::toolBarPlace);
}

QList<QAction*> Commands::contextActions() const {
    return byPlace(entries_, &CommandRow::contextPlace);
}

QString Commands::menuTitle(CommandMenu menu) {
    switch (menu) {
        case CommandMenu::File:
            return ui("文件(&F)");
        case CommandMenu::Edit:
            return ui("编辑(&E)");
        case CommandMenu::View:
            return ui("视图(&V)");
        case CommandMenu::Score:
            return ui("谱面(&S)");
        case CommandMenu::Note:
            return ui("音符(&N)");
        case CommandMenu::Play:
            return ui("播放(&L)");
        case CommandMenu::Window:
            return ui("窗口(&W)");
        case CommandMenu::Help:
            return ui("帮助(&H)");
        case CommandMenu::None:
            break;
    }
    return {};
}

}  // namespace qe
