// Numbering of the files that WriteAll writes, one per written frame.
#pragma once

#include <string>

namespace tarvex {

// The counter width for `frames` frames written every `step`-th, counting
// from 0 (step0) or 1, numbered from 1 (base1) or 0: 4 digits up to 10000
// files, 8 above 1000000, else 6.
int NumberedFileWidth(long long frames, int step, bool step0, bool base1);
// base + number zero-padded to width + extension.
std::string NumberedFileName(const std::string& base, long long number, int width, const std::string& extension);

}  // namespace tarvex
