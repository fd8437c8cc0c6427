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

class Commands;
class ScorePlayer;

// What the editor's 播放 commands act on, and their toolbar: play from the caret or from the
// start, pause and go on, stop, and the tempo of the score in front, remembered for its file.
// The commands enable themselves as the player goes. A machine without an audio device is
// told so once.
class PlaybackControls : public QObject {
    Q_OBJECT
public:
    // The toolbar belongs to `window`; the settings and the commands outlive the controls.
    PlaybackControls(QWidget* window, QSettings& settings, const Commands& commands);

    QToolBar* toolBar() const { return toolBar_; }

    // The commands' actions: play the score in front, from the caret or the start; pause or
    // go on; stop.
    void play(bool fromCaret);
    void setPaused(bool paused);
    void stop();

    // The score in front: its player and its file (empty for a score never saved); a null
    // player when no score window is in front. `markedTempo` is the score's metronome mark in
    // quarter notes a minute (0 for none): the tempo box starts there for a file never played.
    void setCurrent(ScorePlayer* player, const QString& documentPath, int markedTempo = 0);
    // The score in front was edited: when its metronome mark changed, the tempo box takes the
    // new mark (and remembers it for the file), as a musician who just wrote it expects.
    void followMark(int markedTempo);

    QAction* playFromCaret;
    QAction* playFromStart;
    QAction* pause;  // checked while paused: unchecking goes on
    QAction* stopPlaying;
    QSpinBox* tempo;  // quarter notes per minute

private:
    void updateStates();

    QWidget* window_;
    QSettings& settings_;
    QToolBar* toolBar_;
    QPointer<ScorePlayer> player_;
    QString path_;
    int mark_ = 0;  // the metronome mark of the score in front, as the box last saw it
    bool audioReported_ = false;
};

}  // namespace qe
