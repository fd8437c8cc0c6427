#pragma once

#include <QString>

namespace qe {

// Makes the music symbol font known to Qt, from beside the program, the build tree or the
// installed data folder. Returns false when the font file is nowhere to be found.
bool registerApplicationFonts();

// The folder the symbol font was found in, empty before registration or when missing.
QString symbolFontPath();

}  // namespace qe
