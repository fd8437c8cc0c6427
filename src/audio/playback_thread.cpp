#include "audio/playback_thread.h"


#include "base/clock.h"
#include "perform/playback_controller.h"

namespace qe {

namespace {

PlaybackThread::State stateOf(sound::PlaybackController::State state) {
    switch (state) {
        case sound::PlaybackController::State::Playing:
            return PlaybackThread::Playing;
        case sound::PlaybackController::State::Paused:
            return PlaybackThread::Paused;
        default:
            return PlaybackThread::Stopped;
    }
}

}  // namespace

PlaybackThread::PlaybackThread(SynthFactory makeSynth, QObject* parent)
    : QObject(parent), makeSynth_(std::move(makeSynth)), thread_([this] { run(); }) {}

PlaybackThread::~PlaybackThread() {
    {
        const std::lock_guard lock(mutex_);
        quit_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void PlaybackThread::play(std::shared_ptr<const sound::Performance> performance,
                          sound::Ticks from) {
    post(Command{Command::kPlay, std::move(performance), from});
}

void PlaybackThread::pause() {
    post(Command{Command::kPause, nullptr, 0});
}

void PlaybackThread::resume() {
    post(Command{Command::kResume, nullptr, 0});
}

void PlaybackThread::stop() {
    post(Command{Command::kStop, nullptr, 0});
}

void PlaybackThread::documentEdited() {
    post(Command{Command::kEdited, nullptr, 0});
}

void PlaybackThread::post(Command command) {
    {
        const std::lock_guard lock(mutex_);
        commands_.push_back(std::move(command));
    }
    wake_.notify_all();
}

void PlaybackThread::run() {
    const SystemClock clock;
    std::unique_ptr<sound::Synth> synth;
    std::unique_ptr<sound::PlaybackController> controller;
    State shown = Stopped;
    std::unique_lock lock(mutex_);
    while (!quit_) {
        while (!commands_.empty() && !quit_) {
            Command command = std::move(commands_.front());
            commands_.pop_front();
            if (!controller && command.kind != Command::kPlay)
                continue;
            if (!controller) {
                // Opening an audio device can take a while: the window may post meanwhile.
                lock.unlock();
                std::string error;
                synth = makeSynth_ ? makeSynth_(error) : nullptr;
                if (!synth) {
                    tellWindow(News{{}, std::nullopt, QString::fromStdString(error)});
                    synth = std::make_unique<sound::SilentSynth>();
                }
                controller = std::make_unique<sound::PlaybackController>(clock, *synth);
                lock.lock();
            }
            switch (command.kind) {
                case Command::kPlay:
                    controller->load(std::move(command.performance));
                    controller->play(command.from);
                    break;
                case Command::kPause:
                    controller->pause();
                    break;
                case Command::kResume:
                    controller->resume();
                    break;
                case Command::kStop:
                    controller->stop();
                    break;
                case Command::kEdited:
                    controller->documentEdited();
                    break;
            }
        }
        if (quit_)
            break;
        std::vector<sound::CueChange> cues;
        State state = shown;
        if (controller) {
            controller->advance();
            cues = controller->takeCueChanges();
            state = stateOf(controller->state());
        }
        if (!cues.empty() || state != shown) {
            tellWindow(News{std::move(cues),
                            state != shown ? std::optional<State>(state) : std::nullopt,
                            std::nullopt});
            shown = state;
        }
        const auto woken = [this] { return quit_ || !commands_.empty(); };
        if (const std::optional<double> due = controller ? controller->nextDue() : std::nullopt)
            wake_.wait_until(lock, clock.timePointOf(*due), woken);
        else
            wake_.wait(lock, woken);
    }
    // The controller silences the synthesizer as it goes; the synthesizer, and its audio
    // driver, end on the thread that made them.
    controller.reset();
    synth.reset();
}

void PlaybackThread::tellWindow(News news) {
    {
        const std::lock_guard lock(newsLock_);
        news_.push_back(std::move(news));
    }
    // Queued to this object's thread: the signals reach their receivers there however they
    // were connected, and nothing here waits for the window.
    QMetaObject::invokeMethod(this, &PlaybackThread::deliverNews, Qt::QueuedConnection);
}

void PlaybackThread::deliverNews() {
    std::deque<News> taken;
    {
        const std::lock_guard lock(newsLock_);
        taken.swap(news_);
    }
    for (const News& news : taken) {
        if (news.unavailable)
            emit audioUnavailable(*news.unavailable);
        for (const sound::CueChange& cue : news.cues)
            emit cueChanged(cue.track, cue.item);
        if (news.state)
            emit stateChanged(*news.state);
    }
}

}  // namespace qe
