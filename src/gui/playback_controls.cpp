#include "gui/playback_controls.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QSettings>
#include <QSpinBox>
#include <QToolBar>

#include "audio/score_player.h"
#include "gui/commands.h"
#include "gui/ui_text.h"
#include "perform/performance.h"

namespace qe {

PlaybackControls::PlaybackControls(QWidget* window, QSettings& settings,
                                   const Commands& commands)
    : QObject(window),
      playFromCaret(commands.action("playFromCaret")),
      playFromStart(commands.action("playFromStart")),
      pause(commands.action("playPause")),
      stopPlaying(commands.action("playStop")),
      window_(window),
      settings_(settings) {
    tempo = new QSpinBox(window);
    tempo->setRange(sound::kMinTempo, sound::kMaxTempo);
    tempo->setValue(sound::kDefaultTempo);
    tempo->setToolTip(ui("速度：每分钟的四分音符数"));
    toolBar_ = new QToolBar(ui("播放"), window);
    toolBar_->setObjectName(QStringLiteral("playback"));
    toolBar_->addActions({playFromCaret, playFromStart, pause, stopPlaying});
    toolBar_->addWidget(new QLabel(ui(" 速度 "), toolBar_));
    toolBar_->addWidget(tempo);

    connect(tempo, &QSpinBox::valueChanged, this,
            [this](int value) { ScorePlayer::rememberTempo(settings_, path_, value); });
    updateStates();
}

void PlaybackControls::followMark(int markedTempo) {
    if (markedTempo == mark_)
        return;
    mark_ = markedTempo;
    // A mark taken away leaves the score without one: it plays at the usual tempo.
    tempo->setValue(markedTempo >= sound::kMinTempo && markedTempo <= sound::kMaxTempo
                        ? markedTempo
                        : sound::kDefaultTempo);
}

void PlaybackControls::setCurrent(ScorePlayer* player, const QString& documentPath,
                                  int markedTempo) {
    if (player_)
        disconnect(player_, nullptr, this, nullptr);
    player_ = player;
    path_ = documentPath;
    mark_ = markedTempo;
    {
        const QSignalBlocker quiet(tempo);
        tempo->setValue(ScorePlayer::rememberedTempo(settings_, path_, markedTempo));
    }
    if (player_) {
        connect(player_, &ScorePlayer::stateChanged, this, &PlaybackControls::updateStates);
        connect(player_, &ScorePlayer::audioUnavailable, this, [this](const QString& message) {
            if (audioReported_)
                return;
            audioReported_ = true;
            // Said without waiting for an answer: the highlight plays on meanwhile.
            auto* box = new QMessageBox(QMessageBox::Information, ui("播放"), message,
                                        QMessageBox::Ok, window_);
            box->setAttribute(Qt::WA_DeleteOnClose);
            box->open();
        });
    }
    updateStates();
}

void PlaybackControls::play(bool fromCaret) {
    if (player_)
        player_->play(tempo->value(), fromCaret);
}

void PlaybackControls::setPaused(bool paused) {
    if (!player_)
        return;
    if (paused && player_->state() == PlaybackThread::Playing)
        player_->pause();
    else if (!paused && player_->state() == PlaybackThread::Paused)
        player_->resume();
}

void PlaybackControls::stop() {
    if (player_)
        player_->stop();
}

void PlaybackControls::updateStates() {
    const bool score = player_ != nullptr;
    const PlaybackThread::State state = score ? player_->state() : PlaybackThread::Stopped;
    playFromCaret->setEnabled(score);
    playFromStart->setEnabled(score);
    tempo->setEnabled(score);
    pause->setEnabled(state != PlaybackThread::Stopped);
    stopPlaying->setEnabled(state != PlaybackThread::Stopped);
    const QSignalBlocker quiet(pause);
    pause->setChecked(state == PlaybackThread::Paused);
}

}  // namespace qe
