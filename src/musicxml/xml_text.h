#pragma once

#include <QString>

namespace qe::musicxml {

// The text with every character XML cannot hold (control characters other than tab, line feed
// and carriage return, unpaired surrogates, U+FFFE and U+FFFF) replaced by U+FFFD; `changed`
// is set when one was.
QString xmlText(const QString& text, bool& changed);

}  // namespace qe::musicxml
