#pragma once

#include <QList>
#include <QPointer>
#include <QMainWindow>
#include <QStringList>
#include <memory>

#include "audio/sound_stage.h"
#include "gui/commands.h"
#include "gui/recent_files.h"

class QDialog;
class QLabel;
class QSettings;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QPrinter;
class QSpinBox;
class QToolBar;

namespace qe {

class AutosaveKeeper;
class NoteInputBar;
class DocumentWindow;
class FontBook;
class PlaybackControls;
class ScoreDocument;
class ScoreView;

// The main window: the menus, the toolbar, the status bar with the three note-input panes,
// and an area of score windows, one or more per open document. It routes every command to
// the score window in front, or to its document.
class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    static QString appTitle();

    explicit MainWindow(FontBook& fonts, QWidget* parent = nullptr);
    ~MainWindow() override;

    // A new score in a new window.
    ScoreDocument* onFileNew();
    // Opens a score in a new window, or brings forward the window it is open in already. A
    // file that cannot be read is reported and not opened: null then.
    ScoreDocument* openDocument(const QString& path);
    void onFileOpen();
    // Another window on the document in front.
    DocumentWindow* onWindowNew();
    // Closes the document in front with all its windows, after asking to save it.
    void onFileClose();
    bool onFileSave();
    bool onFileSaveAs();
    void onFilePrintSetup();
    // Reads a MusicXML score into a new, unsaved document in a new window.
    ScoreDocument* importMusicXml(const QString& path);
    void onFileImport();
    void onAppAbout();
    // 帮助 > 键盘指南: opened beside the score, or brought forward when it is open.
    QDialog* onKeyGuide();
    // 谱面 > 检查小节 for the window in front.
    QDialog* onCheckMeasures();
    // The note-input toolbar.
    NoteInputBar* noteInputBar() const { return noteBar_; }
    // The status pane of the measure the caret is in.
    QString measureStatusText() const;
    // The context menu of a score window, made afresh on each right click.
    QMenu* contextMenu() const { return contextMenu_; }
    // Offers back the documents an editor that did not end cleanly was keeping; returns how
    // many were opened.
    int offerRecovery();

    DocumentWindow* activeFrame() const;
    ScoreView* activeView() const;
    ScoreDocument* activeDocument() const;
    const QList<ScoreDocument*>& documents() const { return documents_; }
    QList<DocumentWindow*> framesOf(const ScoreDocument* doc) const;
    QMdiArea* mdiArea() const { return mdi_; }
    const Commands& commands() const { return commands_; }
    // The 播放 menu and toolbar, acting on the score window in front.
    PlaybackControls& playback() const { return *playback_; }
    RecentFiles& recentFiles() { return recent_; }
    // The texts of the three note-input panes: accidental, octave, duration.
    QStringList statusTexts() const;
    // The printer the print, preview and set-up commands share.
    QPrinter& printer();
    bool watermarkShown() const;
    // Shows the pale watermark on the pages of every window, on paper and in exports, and
    // remembers the choice.
    void setWatermarkShown(bool shown);
    // The window menu's minimised windows in a row at the bottom.
    void arrangeIcons();
    QToolBar* toolBar() const { return toolBar_; }
    // A menu of the menu bar.
    QMenu* menu(CommandMenu kind) const;

public slots:
    void setStatusTexts(const QString& accidental, const QString& octave, const QString& duration);

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void connectCommands();
    void createMenus();
    // The menus of an empty editor, or those with a score window in front.
    void fillMenus(bool forDocument);
    void createToolBar();
    void createStatusBar();
    // 视图 > 语言: follow the desktop, Chinese or English, remembered for the next start.
    QMenu* createLanguageMenu();
    DocumentWindow* createFrame(ScoreDocument* doc);
    // Takes a document into the editor's list; it goes when its last window closes.
    ScoreDocument* adoptDocument(ScoreDocument* doc);
    void renumberFrames(const ScoreDocument* doc);
    void updateCommandStates();
    // Undo, redo and the clipboard commands, as the score window in front allows them.
    void updateEditStates();
    void updateRecentFiles();
    void updateWindowMenu();
    void openRecent(int index);

    FontBook& fonts_;
    Commands commands_;
    QMdiArea* mdi_;
    QMenu* menus_[9] = {};  // by CommandMenu
    QMenu* languageMenu_ = nullptr;
    QList<QAction*> recentActions_;
    QAction* recentSeparator_ = nullptr;  // owned by the File menu
    bool menusForDocument_ = false;
    QList<QAction*> windowActions_;
    QToolBar* toolBar_ = nullptr;
    QLabel* panes_[3] = {};
    QLabel* measurePane_ = nullptr;
    QLabel* zoomPane_ = nullptr;
    NoteInputBar* noteBar_ = nullptr;
    QMenu* contextMenu_ = nullptr;
    QPointer<QDialog> keyGuide_;
    // The verse lyrics mode types, shown while the mode is on.
    QWidget* versePane_ = nullptr;
    QSpinBox* verseBox_ = nullptr;
    std::unique_ptr<QSettings> settings_;  // the tempo of each file played
    PlaybackControls* playback_ = nullptr;
    QList<ScoreDocument*> documents_;
    std::unique_ptr<QPrinter> printer_;
    RecentFiles recent_;
    int untitled_ = 0;          // new documents made this session
    AutosaveKeeper* autosave_;  // owned as a child
    // Where every window plays its score; the windows share it and keep it while they last.
    std::shared_ptr<SoundStage> stage_ = std::make_shared<SoundStage>();
};

}  // namespace qe
