// Telling a Gaussian log from other programs' output by its first lines.
//
// ".out" is the output of Gaussian run from a shell script, but also of
// sander, ORCA, Q-Chem, xtb and most other programs; only the head of the
// file says which it is.
#pragma once

#include <string>

namespace tarvex {

// Whether the file begins as a Gaussian log: within its first 200 lines (and
// 64 kB), a line that opens with "Entering Gaussian System" (link 0, the
// first line of every log) or the copyright line that names "Gaussian, Inc."
// A file that cannot be read, or is not a regular file (a pipe would lose
// what is looked at), does not.
bool ShowsGaussianBanner(const std::string& path);

}  // namespace tarvex
