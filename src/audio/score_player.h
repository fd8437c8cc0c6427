#pragma once

#include <QObject>
#include <QSettings>
#include <QString>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "audio/playback_thread.h"
#include "music/score.h"

namespace qe {

class SoundStage;

// A place of a score: an entry of a track.
struct ScorePlace {
    int track = 0;
    music::EntryRef at;
    friend bool operator==(const ScorePlace&, const ScorePlace&) = default;
};

// What a player plays: the score a window shows and where its caret stands, asked for when
// playing starts.
class PlayedScore {
public:
    virtual ~PlayedScore() = default;
    // Null when there is no score to play.
    virtual const music::Score* playedScore() const = 0;
    // Where playing from the caret starts: the entry the caret stands in front of (the bar
    // line, or past the last entry, for the end of a measure); nothing without a caret.
    virtual std::optional<ScorePlace> caretPlace() const = 0;
};

// Plays the score a window shows: performed at the tempo chosen from a snapshot taken when
// playing starts, played on a thread of its own, and the notes sounding given back as places
// of that score for the window to highlight (any edit stops playing, so they are places of the
// score shown). One player of a stage plays at a time: starting one stops any other.
class ScorePlayer : public QObject {
    Q_OBJECT
public:
    // `source` outlives the player, which plays on the synthesizer `makeSynth` makes, one at a
    // time on `stage`.
    ScorePlayer(const PlayedScore& source, SoundStage& stage,
                PlaybackThread::SynthFactory makeSynth, QObject* parent = nullptr);
    ~ScorePlayer() override;

    // Plays from the caret, or from the start when there is no caret or `fromCaret` is false.
    void play(int tempo, bool fromCaret);
    void pause();
    void resume();
    void stop();
    // The score changed: playing stops, and the highlight goes at once.
    void scoreEdited();

    PlaybackThread::State state() const { return state_; }
    // The digits and rests that sound now, at most one per track.
    std::vector<ScorePlace> soundingPlaces() const;

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

    const PlayedScore& source_;
    SoundStage& stage_;
    std::shared_ptr<const sound::Performance> playing_;
    PlaybackThread thread_;
    PlaybackThread::State state_ = PlaybackThread::Stopped;
    std::map<int, int> cues_;  // track to the item sounding in it
};

}  // namespace qe
