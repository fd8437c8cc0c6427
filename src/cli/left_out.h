#pragma once

namespace qe {

namespace music {
struct LoadReport;
}

// Says on stderr what of a score file the editor does not show: ties and brackets whose notes
// cannot be found (a save drops them), and records this editor does not know (kept as they
// are). With `saving`, the text says what the saved file holds of them.
void reportLeftOut(const music::LoadReport& report, bool saving);

}  // namespace qe
