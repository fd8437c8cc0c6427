#pragma once

#include "draw/recording_gdi.h"
#include "layout/linear_view.h"
#include "model/qanor_doc.h"

namespace qe::test {

// A document laid out as one strip on a recording surface.
struct ScrollScore {
    explicit ScrollScore(QanorDoc d) : doc(std::move(d)) {
        view.document = &doc;
        view.build();
        view.relayout(g);
    }
    Node* line(int t) { return view.child(t); }
    Node* measure(int m, int t = 0) { return line(t)->child(m); }
    Node* element(int m, int e, int t = 0) { return measure(m, t)->child(e); }

    QanorDoc doc;
    LinearView view;
    RecordingGDI g;
};

}  // namespace qe::test
