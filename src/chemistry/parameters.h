// The process-wide chemistry registry: standard bond lengths of element
// pairs, valences, usual ion charges and the largest number of neighbours per
// element. Built-in values are loaded by the first record; the first section
// of the parameter file adds to them.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "chemistry/parameter_file.h"

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
  // The parameter file of the run, read the first time it is asked for.
  std::optional<ParameterFile> file;
};

ParameterRegistry& Registry();
bool ParameterRegistryEmpty();
// Forgets everything loaded, the parameter file included, so that the next
// record loads again (tests).
void ResetParameterRegistry();

// The parameter file of this run: found and read whole the first time any
// reader asks for it, then kept for the rest of the process.
const ParameterFile& RunParameterFile();

}  // namespace tarvex
