#pragma once

#include <QList>
#include <QString>

#include "gui/command_table.h"

class QAction;
class QObject;

namespace qe {

// The actions of the command table, made once for a main window, with the texts, keys,
// prompts, pictures and check marks of their rows. Menus, the toolbar and the right-click
// menu show these same actions; a key of the score window alone has no action (the window
// looks it up in the table).
class Commands {
public:
    // Makes the actions, owned by `owner`.
    explicit Commands(QObject* owner);

    // The action of the row named `id`; aborts for a row without one, a mistake in the program.
    QAction* action(const char* id) const;

    // Every row in table order with its action (null for a key of the score window).
    struct Entry {
        const CommandRow* row;
        QAction* action;
    };
    const QList<Entry>& all() const { return entries_; }

    // The actions of a menu in order, a null standing for a separator between groups. Without
    // a score window in front, the rows shown only with one are left out.
    QList<QAction*> menuActions(CommandMenu menu, bool withScore = true) const;
    // The same for the toolbar and the right-click menu.
    QList<QAction*> toolBarActions() const;
    QList<QAction*> contextActions() const;

    // A menu's title, with its accelerator.
    static QString menuTitle(CommandMenu menu);

private:
    QList<Entry> entries_;
};

}  // namespace qe
