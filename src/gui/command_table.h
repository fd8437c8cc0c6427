#pragma once

#include <functional>
#include <span>

#include "gui/drawn_icon.h"

namespace qe {

class MainWindow;
class ScoreView;

// The menu a command stands in; None for a key of the score window alone.
enum class CommandMenu { None, File, Edit, View, Score, Note, Play, Window, Help };

// When a command can be used.
enum class EnabledWhen {
    Always,
    Score,          // a score window is in front
    CanUndo,
    CanRedo,
    Selection,      // something is selected
    CanPaste,       // the clipboard holds something to paste
    NotScrollMode,  // a score window in page mode
    NotPageMode,    // a score window in scroll mode
    Playback,       // as the player allows: the playback controls enable them as it goes
};

// What a checkable command shows by its check mark; Nothing for a plain command.
enum class CheckShows {
    Nothing,
    ToolBar,
    StatusBar,
    Watermark,
    Paused,
    // These three follow the score window in front, and only a click changes them.
    ScrollMode,
    PageMode,
    MeasureNumbers,
    HideEmptyTracks,
};

// Where a command is run from: the main window, the score window in front (null when none),
// and for a checkable command its new state.
struct CommandContext {
    MainWindow* window = nullptr;
    ScoreView* view = nullptr;
    bool checked = false;
};

// One command of the editor's window: its texts, its keys, where it stands, when it can be used
// and what it does. Menus, the toolbar, the right-click menu, the key guide and the score
// window's own keys are all made from these rows; no key is bound anywhere else.
struct CommandRow {
    const char* id;  // the name tests and code use for it
    const char* text = nullptr;    // the menu text, with its accelerator
    const char* prompt = nullptr;  // the status-bar text, then after "\n" the tooltip
    // Qt's portable text of its keys, separated by ";"; the first is the one menus show.
    const char* keys = nullptr;
    CommandMenu menu = CommandMenu::None;
    int group = 0;  // commands of one menu in groups, a separator between two
    // Shown in its menu only while a score window is in front (the File and View menus of an
    // empty editor are shorter).
    bool scoreOnly = false;
    // Places on the toolbar and in the right-click menu: 0 none; ordered by the number, a
    // separator where the tens change.
    int toolBarPlace = 0;
    int contextPlace = 0;
    EnabledWhen enabled = EnabledWhen::Always;
    CheckShows checks = CheckShows::Nothing;
    bool hasIcon = false;
    IconKind icon = IconKind::Export;
    // How the key guide lists it: its group (a text of the window), the keys shown when they
    // are not the keys above (a family of keys on one line), and whether it is listed at all
    // (the other members of a family are not).
    const char* guideGroup = nullptr;
    const char* guideKeys = nullptr;
    bool listed = true;
    // For a key of the score window: what the key guide says it does, when it has no menu text.
    const char* meaning = nullptr;
    std::function<void(const CommandContext& context)> run;
};

// Every command, in menu order, then the keys of the score window.
std::span<const CommandRow> commandRows();

// The row named `id`; aborts for a name no row has, which is a mistake in the program.
const CommandRow& commandRow(const char* id);

}  // namespace qe
