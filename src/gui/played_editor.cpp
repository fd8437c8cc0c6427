#include "gui/played_editor.h"

namespace qe {

const music::Score* PlayedEditor::playedScore() const {
    return editor_.session() ? &editor_.score() : nullptr;
}

std::optional<ScorePlace> PlayedEditor::caretPlace() const {
    if (!editor_.session() || !editor_.caret.valid())
        return std::nullopt;
    const Position& at = *editor_.caret.at;
    return ScorePlace{at.track, {at.measure, at.entry}};
}

std::vector<Rect> soundingRects(const ScoreEditor& editor, const ScorePlayer& player) {
    std::vector<Rect> rects;
    if (!editor.session())
        return rects;
    const music::Score& score = editor.score();
    for (const ScorePlace& place : player.soundingPlaces()) {
        // The places are of the score as it was when playing started; any edit stops playing,
        // but one may come between: a place the score no longer has is passed over.
        Position at{place.track, place.at.measure, place.at.entry, false};
        if (!isValid(score, at))
            continue;
        const std::optional<music::Item> shown = score.entry(place.track, place.at).item();
        at.inner = shown && shown->isNoteOrRest() && shown->accidental != 0;
        rects.push_back(editor.positionRect(at));
    }
    return rects;
}

}  // namespace qe
