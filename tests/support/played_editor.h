#pragma once

#include "audio/score_player.h"
#include "edit/score_editor.h"

namespace qe::test {

// What a player plays from an editor, as a window gives it: its score, from its caret.
class PlayedEditor : public PlayedScore {
public:
    explicit PlayedEditor(const ScoreEditor& editor) : editor_(editor) {}

    const music::Score* playedScore() const override {
        return editor_.session() ? &editor_.score() : nullptr;
    }
    std::optional<ScorePlace> caretPlace() const override {
        if (!editor_.caret.valid())
            return std::nullopt;
        const Position& at = *editor_.caret.at;
        return ScorePlace{at.track, {at.measure, at.entry}};
    }

private:
    const ScoreEditor& editor_;
};

// The place of a caret position's entry.
inline ScorePlace placeOf(const Position& at) {
    return ScorePlace{at.track, {at.measure, at.entry}};
}

}  // namespace qe::test
