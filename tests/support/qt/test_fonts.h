#pragma once

namespace qe {
class FontBook;
}

namespace qe::test {

// The fonts every Qt test draws and lays out with, made once the test application is.
FontBook& fonts();

}  // namespace qe::test
