#pragma once

#include <QDialog>

#include "records/extension.h"

class QWidget;

namespace qe {

class ScoreDocument;

// 谱面 > 小节记号: what changes at the start of a measure (key, time signature or free meter,
// tempo) and the jumps above it (segno, coda, Fine, To Coda, D.C., D.S.), as one undoable step.
// `measure` counts from 0 along the first track.
void editMeasureMark(ScoreDocument& doc, int measure, QWidget* parent);

// The dialog of editMeasureMark, showing `mark` (its measure is the one edited, `number` the
// measure's number as printed).
QDialog* makeMeasureMarkDialog(const MeasureMark& mark, int number, QWidget* parent);
// What a measure-mark dialog holds.
MeasureMark measureMarkOf(const QDialog& dialog);

}  // namespace qe
