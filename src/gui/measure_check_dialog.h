#pragma once

#include <QDialog>
#include <QPointer>
#include <vector>

#include "music/measure_check.h"

class QListWidget;
class QPushButton;

namespace qe {

class ScoreView;

// How many beats `ticks` make, in words, as the window's language says it: "半拍", "1½ beats".
QString beatsPhrase(music::Ticks ticks, music::Ticks beat);

// 谱面 > 检查小节: every measure of the window's score whose beats do not fill the time
// signature, one line each; choosing a line (double click or Enter) takes the caret there. It
// stays open beside the score while the measures are mended.
class MeasureCheckDialog : public QDialog {
    Q_OBJECT

public:
    MeasureCheckDialog(ScoreView& view, QWidget* parent = nullptr);

    QListWidget* list() const { return list_; }
    // Takes the caret of the window to the measure of line `row`.
    void goTo(int row);
    // The text of one line: "第3小节（第1声部）：多了半拍（3/4 拍中有 3½ 拍）".
    // `number` is the measure's number as printed.
    static QString lineText(const music::MeasureMisfit& misfit, const music::Meter& meter,
                            int number);

private:
    void fill();
    // Moves the dialog off `avoid` (screen pixels) when it covers it: below it, above it, or
    // beside it, wherever the screen has room.
    void standClearOf(const QRect& avoid);

    QPointer<ScoreView> view_;
    QListWidget* list_;
    QPushButton* go_ = nullptr;
    std::vector<music::MeasureMisfit> misfits_;
};

}  // namespace qe
