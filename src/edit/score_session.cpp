#include "edit/score_session.h"

namespace qe {

music::LoadReport ScoreSession::load(const QeDocument& file) {
    const music::LoadReport report = music::scoreFromRecords(file, score);
    history.clear();
    score.announceReset();
    return report;
}

ScoreLayout& ScoreSession::layout(int mode) {
    const std::size_t i = mode == ScoreLayout::kScrollMode ? 0 : 1;
    if (!layouts_[i])
        layouts_[i] = std::make_unique<ScoreLayout>(score, static_cast<int>(i));
    return *layouts_[i];
}

}  // namespace qe
