#pragma once

#include <QJsonObject>

namespace qe {

class FontBook;
class LinearView;
class PageView;

// The laid-out tree as JSON, for looking at layouts: every position in the frame of its parent
// as the tree stores it, in logical units. With fonts, each page also lists in "ink" the box of
// every thing drawn on it, in the page's frame (as its title-block texts), with its role and,
// for text, the text: {"role", "text", "box": {"left", "right", "top", "bottom"}, "thing"},
// for a curve its sampled "outline" of [x, y] points; the pieces of one thing (a bracket's
// sides) share its "thing" number.
QJsonObject pageLayoutToJson(const PageView& view, FontBook* fonts = nullptr);
QJsonObject scrollLayoutToJson(const LinearView& view);

}  // namespace qe
