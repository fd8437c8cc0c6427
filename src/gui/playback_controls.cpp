#include "gui/playback_controls.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QSettings>
#include <QSpinBox>
#include <QToolBar>

#include "audio/score_player.h"
#include "gui/ui_text.h"
#include "perform/performance.h"

namespace qe {

PlaybackControls::PlaybackControls(QWidget* window, QSettings& settings)
    : QObject(window), window_(window), settings_(settings) {
    playFromCaret = new QAction(ui("从光标处播放(&P)"), this);
    playFromCaret->setShortcut(Qt::Key_F5);
    playFromCaret->setStatusTip(ui("从光标所在的音符开始播放"));
    playFromStart = new QAction(ui("从头播放(&B)"), this);
    playFromStart->setShortcut(Qt::SHIFT | Qt::Key_F5);
    playFromStart->setStatusTip(ui("从乐谱开头开始播放"));
    pause = new QAction(ui("暂停(&A)"), this);
    pause->setCheckable(true);
    pause->setShortcut(Qt::Key_F6);
    pause->setStatusTip(ui("暂停或继续播放"));
    stop = new QAction(ui("停止(&S)"), this);
    stop->setShortcut(Qt::Key_F7);
    stop->setStatusTip(ui("停止播放"));

    menu_ = new QMenu(ui("播放(&L)"), window);
    menu_->addActions({playFromCaret, playFromStart, pause, stop});

    tempo = new QSpinBox(window);
    tempo->setRange(sound::kMinTempo, sound::kMaxTempo);
    tempo->setValue(sound::kDefaultTempo);
    tempo->setToolTip(ui("速度：每分钟的四分音符数"));
    toolBar_ = new QToolBar(ui("播放"), window);
    toolBar_->setObjectName(QStringLiteral("playback"));
    toolBar_->addActions({playFromCaret, playFromStart, pause, stop});
    toolBar_->addWidget(new QLabel(ui(" 速度 "), toolBar_));
    toolBar_->addWidget(tempo);

    connect(playFromCaret, &QAction::triggered, this, [this] { play(true); });
    connect(playFromStart, &QAction::triggered, this, [this] { play(false); });
    connect(pause, &QAction::toggled, this, [this](bool paused) {
        if (!player_)
            return;
        if (paused && player_->state() == PlaybackThread::Playing)
            player_->pause();
        else if (!paused && player_->state() == PlaybackThread::Paused)
            player_->resume();
    });
    connect(stop, &QAction::triggered, this, [this] {
        if (player_)
            player_->stop();
    });
    connect(tempo, &QSpinBox::valueChanged, this,
            [this](int value) { ScorePlayer::rememberTempo(settings_, path_, value); });
    updateStates();
}

void PlaybackControls::setCurrent(ScorePlayer* player, const QString& documentPath,
                                  int markedTempo) {
    if (player_)
        disconnect(player_, nullptr, this, nullptr);
    player_ = player;
    path_ = documentPath;
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

void PlaybackControls::updateStates() {
    const bool score = player_ != nullptr;
    const PlaybackThread::State state = score ? player_->state() : PlaybackThread::Stopped;
    playFromCaret->setEnabled(score);
    playFromStart->setEnabled(score);
    tempo->setEnabled(score);
    pause->setEnabled(state != PlaybackThread::Stopped);
    stop->setEnabled(state != PlaybackThread::Stopped);
    const QSignalBlocker quiet(pause);
    pause->setChecked(state == PlaybackThread::Paused);
}

}  // namespace qe
