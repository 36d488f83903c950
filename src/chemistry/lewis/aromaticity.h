// Aromatic rings from a Lewis structure, by Hueckel's rule.
//
// Every atom of the ring must take part in the pi system, and the ring must
// hold 4n + 2 pi electrons, counted per atom from its bonds and charge:
//   - a double bond along a ring bond (of this ring or a fused one): 1
//     (so each ring of naphthalene counts 6 in any Kekule structure);
//   - a double bond to an oxygen, nitrogen or sulfur outside the rings: 0
//     (the carbonyl carbon of 2-pyridone or uracil);
//   - no multiple bond but a lone pair: 2 (pyrrole and indole NH, furan O,
//     thiophene S, an anionic N- or C-);
//   - no multiple bond and an empty orbital: 0 (tropylium C+, boron);
// anything else (a saturated carbon, an ammonium nitrogen, a triple bond)
// keeps the ring from being aromatic. A ring that fails alone is tried again
// together with each ring fused to it (azulene).
#pragma once

#include <vector>

namespace tarvex {

// rings: the atoms of each ring in ring order; contribution: per atom, the
// electrons it gives, or -1 when it cannot take part. Per ring: 1 when
// aromatic.
std::vector<char> AromaticRings(const std::vector<std::vector<int>>& rings, const std::vector<int>& contribution);

}  // namespace tarvex
