#pragma once

#include <QList>

class QAction;
class QObject;

namespace qe {

// Every command of the editor as an action, made in one place: its menu text, shortcut,
// status-bar prompt, tooltip and toolbar picture. Menus, the toolbar and the frame's command
// handlers all use these same actions.
struct Commands {
    // Makes the actions, owned by `owner`.
    explicit Commands(QObject* owner);

    // 文件
    QAction* fileNew;
    QAction* fileOpen;
    QAction* fileClose;
    QAction* fileSave;
    QAction* fileSaveAs;
    QAction* fileExport;
    QAction* filePrint;
    QAction* filePrintPreview;
    QAction* filePrintSetup;
    QAction* appExit;
    QAction* fileImport;
    // 编辑
    QAction* editUndo;
    QAction* editRedo;
    QAction* editCut;
    QAction* editCopy;
    QAction* editPaste;
    QAction* editDelete;
    QAction* editSelectAll;
    // 视图
    QAction* viewToolBar;
    QAction* viewStatusBar;
    QAction* viewScrollMode;
    QAction* viewPageMode;
    QAction* viewWatermark;
    QAction* viewZoomIn;
    QAction* viewZoomOut;
    QAction* viewZoomReset;
    QAction* viewFitWidth;
    // 谱面
    QAction* titleSettings;
    QAction* fontSettings;
    QAction* lyricsMode;
    QAction* lyricsPaste;
    QAction* checkMeasures;
    QAction* partNames;
    QAction* measureNumbers;
    QAction* measureMark;
    // 音符
    QAction* addTie;
    QAction* addVolta;
    QAction* addTriplet;
    QAction* addTuplet;
    QAction* addFermata;
    QAction* addStaccato;
    QAction* addAccent;
    QAction* addGraceBefore;
    QAction* addGraceAfter;
    QAction* clearChordAndGraces;
    QAction* chordSymbols;
    // 窗口
    QAction* windowNew;
    QAction* windowCascade;
    QAction* windowTile;
    QAction* windowArrange;
    // 帮助
    QAction* keyGuide;
    QAction* appAbout;

    // The commands that need a score window to act on.
    QList<QAction*> documentCommands() const;
    // Every command, in menu order, with the menu it stands in: the key guide lists their keys.
    struct Entry {
        const char* menu;
        QAction* action;
    };
    QList<Entry> all() const;
};

}  // namespace qe
