#pragma once

#include <array>
#include <memory>

#include "edit/score_history.h"
#include "engrave/score_layout.h"
#include "music/measure_check.h"
#include "music/score.h"
#include "music/score_records.h"

namespace qe {

// An open score with what every view on it shares: the score, its undo history, and its
// layout in each mode that a view shows, made when first asked for and kept up to date by
// observing the score. Two views in one mode share one layout, so a change is laid out once.
class ScoreSession {
public:
    ScoreSession() = default;
    ScoreSession(const ScoreSession&) = delete;
    ScoreSession& operator=(const ScoreSession&) = delete;

    // Replaces the score with the one a file holds, forgetting the history.
    music::LoadReport load(const QeDocument& file);
    // The records a save writes.
    QeDocument records() const { return music::recordsOfScore(score); }

    ScoreLayout& layout(int mode);

    music::Score score;
    ScoreHistory history;
    // The measures whose beats do not fill the time signature, kept as the score changes.
    music::MeasureCheck measureCheck{score};

private:
    std::array<std::unique_ptr<ScoreLayout>, 2> layouts_;
};

}  // namespace qe
