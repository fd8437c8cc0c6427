#include "audio/score_player.h"

#include <QCoreApplication>

#include "audio/sound_stage.h"
#include "perform/performance.h"

namespace qe {

namespace {

const QString kTempoGroup = QStringLiteral("playback/tempo");

// Settings keys are paths of their own: a file path is kept as one key.
QString tempoKey(const QString& documentPath) {
    return kTempoGroup + QLatin1Char('/') +
           QString::fromLatin1(documentPath.toUtf8().toBase64(QByteArray::Base64UrlEncoding |
                                                              QByteArray::OmitTrailingEquals));
}

}  // namespace

ScorePlayer::ScorePlayer(const PlayedScore& source, SoundStage& stage,
                         PlaybackThread::SynthFactory makeSynth, QObject* parent)
    : QObject(parent), source_(source), stage_(stage), thread_(std::move(makeSynth)) {
    connect(&thread_, &PlaybackThread::cueChanged, this, &ScorePlayer::showCue);
    connect(&thread_, &PlaybackThread::stateChanged, this, [this](PlaybackThread::State state) {
        state_ = state;
        if (state == PlaybackThread::Stopped)
            clearCues();
        emit stateChanged(state);
    });
    connect(&thread_, &PlaybackThread::audioUnavailable, this,
            [this](const QString& reason) { emit audioUnavailable(noAudioMessage(reason)); });
}

ScorePlayer::~ScorePlayer() {
    stage_.leaving(*this);
}

void ScorePlayer::play(int tempo, bool fromCaret) {
    stage_.starting(*this);
    const music::Score* score = source_.playedScore();
    if (!score)
        return;
    sound::PerformanceOptions options;
    options.tempo = tempo;
    auto performance = std::make_shared<const sound::Performance>(sound::perform(*score, options));
    sound::Ticks from = 0;
    if (fromCaret)
        if (const std::optional<ScorePlace> caret = source_.caretPlace())
            from = performance->firstTimeAt(caret->track, caret->at).value_or(0);
    clearCues();
    playing_ = performance;
    thread_.play(std::move(performance), from);
}

void ScorePlayer::pause() {
    thread_.pause();
}

void ScorePlayer::resume() {
    thread_.resume();
}

void ScorePlayer::stop() {
    thread_.stop();
    clearCues();
}

void ScorePlayer::scoreEdited() {
    thread_.documentEdited();
    clearCues();
}

std::vector<ScorePlace> ScorePlayer::soundingPlaces() const {
    std::vector<ScorePlace> places;
    if (!playing_)
        return places;
    for (const auto& [track, item] : cues_)
        if (const std::optional<music::EntryRef> at = playing_->entryOf(track, item))
            places.push_back({track, *at});
    return places;
}

int ScorePlayer::rememberedTempo(const QSettings& settings, const QString& documentPath,
                                 int fallback) {
    const int otherwise = fallback >= sound::kMinTempo && fallback <= sound::kMaxTempo
                              ? fallback
                              : sound::kDefaultTempo;
    if (documentPath.isEmpty())
        return otherwise;
    bool ok = false;
    const int tempo = settings.value(tempoKey(documentPath)).toInt(&ok);
    return ok && tempo >= sound::kMinTempo && tempo <= sound::kMaxTempo ? tempo : otherwise;
}

void ScorePlayer::rememberTempo(QSettings& settings, const QString& documentPath, int tempo) {
    if (!documentPath.isEmpty())
        settings.setValue(tempoKey(documentPath), tempo);
}

QString ScorePlayer::noAudioMessage(const QString& reason) {
    QString message = QCoreApplication::translate(
        "qanoredit", "没有可用的音频设备，无法发声；播放时只显示正在演奏的音符。");
    if (!reason.isEmpty())
        message += QStringLiteral("\n(%1)").arg(reason);
    return message;
}

void ScorePlayer::showCue(int track, int item) {
    if (item < 0)
        cues_.erase(track);
    else
        cues_[track] = item;
    emit highlightChanged();
}

void ScorePlayer::clearCues() {
    if (cues_.empty())
        return;
    cues_.clear();
    emit highlightChanged();
}

}  // namespace qe
