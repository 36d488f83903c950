// The process-wide chemistry registry: standard bond lengths of element
// pairs, valences, usual ion charges and the largest number of neighbours per
// element. Built-in values are loaded by the first record; the first section
// of the parameter file adds to them.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace tarvex {

struct ParameterRegistry {
  // Pair lengths in angstrom, already multiplied by the bond scale in force
  // when stored; both orders of a pair are kept.
  std::map<std::string, std::map<std::string, double>> pair_lengths;
  // The parameter file's "SCALE = s" (the last one) and "* * length" (the
  // length of pairs without an entry). They hold for every record, as the
  // lengths they shaped do: bond perception needs the scale the lengths
  // carry to find its tighter cut-offs.
  double bond_scale = 1.15;
  double fallback_length = 0.0;
  std::map<std::string, std::vector<int>> valences;
  std::map<std::string, std::vector<int>> ion_charges;
  std::map<std::string, int> max_neighbours;
};

ParameterRegistry& Registry();
bool ParameterRegistryEmpty();
// Forgets everything loaded, so that the next record loads again (tests).
void ResetParameterRegistry();

// The lines of one section of the parameter file (0: bond lengths, 1: typing
// rows, 2: radius types, 3: PARSE radii), comment lines left out, for the
// readers of the later sections. False when no parameter file is found.
bool ReadParameterSection(int section, std::vector<std::string>& lines);

}  // namespace tarvex
