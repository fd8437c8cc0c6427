#pragma once

#include <memory>

#include "engrave/linear_view.h"
#include "engrave/recording_surface.h"
#include "music/score.h"
#include "records/qe_document.h"
#include "support/notation.h"

namespace qe::test {

// A score laid out as one strip on a recording surface.
struct ScrollScore {
    explicit ScrollScore(const QeDocument& d) : score(scoreFrom(d)) {
        view.build(score.get());
        view.relayout(g);
    }
    Node* line(int t) { return view.child(t); }
    Node* measure(int m, int t = 0) { return line(t)->child(m); }
    Node* element(int m, int e, int t = 0) { return measure(m, t)->child(e); }

    std::unique_ptr<music::Score> score;
    LinearView view;
    RecordingSurface g;
};

}  // namespace qe::test
