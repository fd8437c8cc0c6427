#pragma once

#include <QJsonObject>

namespace qe {

class LinearView;
class PageView;

// The laid-out tree as JSON, for looking at layouts: every position in the frame of its parent
// as the tree stores it, in logical units.
QJsonObject pageLayoutToJson(const PageView& view);
QJsonObject scrollLayoutToJson(const LinearView& view);

}  // namespace qe
