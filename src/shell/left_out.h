#pragma once

namespace qe {

class LinearView;

// Says on stderr what of the document a tree built from it leaves out: ties and brackets
// whose notes cannot be found, and records this editor does not know. With `saving`, the
// text says that the saved file will not hold them.
void reportLeftOut(const LinearView& tree, bool saving);

}  // namespace qe
