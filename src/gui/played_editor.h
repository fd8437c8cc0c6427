#pragma once

#include <vector>

#include "audio/score_player.h"
#include "edit/score_editor.h"

namespace qe {

// What a score window's player plays: its editor's score, from its caret.
class PlayedEditor : public PlayedScore {
public:
    // The editor outlives this.
    explicit PlayedEditor(const ScoreEditor& editor) : editor_(editor) {}

    const music::Score* playedScore() const override;
    std::optional<ScorePlace> caretPlace() const override;

private:
    const ScoreEditor& editor_;
};

// The boxes of the notes a player sounds now, in the editor's current root's logical units:
// of each note's digit, as the caret stands in front of it.
std::vector<Rect> soundingRects(const ScoreEditor& editor, const ScorePlayer& player);

}  // namespace qe
