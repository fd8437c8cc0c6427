#pragma once

#include "edit/position.h"

#include <QObject>
#include <QSettings>
#include <QString>
#include <map>
#include <memory>
#include <vector>

#include "engrave/geometry.h"
#include "audio/playback_thread.h"

namespace qe {

class Node;
class ScoreEditor;
class SoundStage;

// Plays the score a view shows: performed at the tempo chosen, played on a thread of its own,
// and the notes sounding given back as places of the score to highlight. One player of a stage
// plays at a time: starting one stops any other.
class ScorePlayer : public QObject {
    Q_OBJECT
public:
    // The view outlives the player.
    // The player plays on the synthesizer `makeSynth` makes, one at a time on `stage`.
    ScorePlayer(ScoreEditor& view, SoundStage& stage, PlaybackThread::SynthFactory makeSynth,
                QObject* parent = nullptr);
    ~ScorePlayer() override;

    // Plays from the caret, or from the start when there is no caret or `fromCaret` is false.
    void play(int tempo, bool fromCaret);
    void pause();
    void resume();
    void stop();
    // The score changed: playing stops, and the highlight goes at once.
    void scoreEdited();

    PlaybackThread::State state() const { return state_; }
    // The places of the score that sound now, at most one per track, and the rectangles to
    // show them by, in the view's current root.
    std::vector<Position> soundingPlaces() const;
    std::vector<Rect> soundingRects() const;

    // The tempo chosen last for a document file, kept in the settings; for a document without
    // a file or never played, `fallback` (the score's metronome mark) when it is a tempo the
    // player takes, else the default tempo.
    static int rememberedTempo(const QSettings& settings, const QString& documentPath,
                               int fallback = 0);
    static void rememberTempo(QSettings& settings, const QString& documentPath, int tempo);

    // The message shown once when the machine has no audio device.
    static QString noAudioMessage(const QString& reason);

signals:
    void highlightChanged();
    void stateChanged(qe::PlaybackThread::State state);
    // There is no audio device: sent once, the first time the player plays; playing goes on
    // without sound.
    void audioUnavailable(const QString& message);

private:
    void showCue(int track, int item);
    void clearCues();

    ScoreEditor& view_;
    SoundStage& stage_;
    PlaybackThread thread_;
    PlaybackThread::State state_ = PlaybackThread::Stopped;
    std::map<int, int> cues_;  // track to the item sounding in it
};

}  // namespace qe
