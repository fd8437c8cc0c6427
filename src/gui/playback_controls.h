#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class QAction;
class QMenu;
class QSettings;
class QSpinBox;
class QToolBar;
class QWidget;

namespace qe {

class ScorePlayer;

// The "播放" menu and toolbar of the editor: play from the caret or from the start, pause
// and go on, stop, and the tempo of the score in front, remembered for its file. A machine
// without an audio device is told so once.
class PlaybackControls : public QObject {
    Q_OBJECT
public:
    // The menu and toolbar belong to `window`; the settings outlive the controls.
    PlaybackControls(QWidget* window, QSettings& settings);

    QMenu* menu() const { return menu_; }
    QToolBar* toolBar() const { return toolBar_; }

    // The score in front: its player and its file (empty for a score never saved); a null
    // player when no score window is in front. `markedTempo` is the score's metronome mark in
    // quarter notes a minute (0 for none): the tempo box starts there for a file never played.
    void setCurrent(ScorePlayer* player, const QString& documentPath, int markedTempo = 0);

    QAction* playFromCaret;
    QAction* playFromStart;
    QAction* pause;  // checked while paused: unchecking goes on
    QAction* stop;
    QSpinBox* tempo;  // quarter notes per minute

private:
    void play(bool fromCaret);
    void updateStates();

    QWidget* window_;
    QSettings& settings_;
    QMenu* menu_;
    QToolBar* toolBar_;
    QPointer<ScorePlayer> player_;
    QString path_;
    bool audioReported_ = false;
};

}  // namespace qe
