#pragma once

#include <QString>

namespace qe {

// The manual page qanoredit(1) in roff, made from the option table that --help lists, so that
// the two cannot tell different stories.
QString manPage();

}  // namespace qe
