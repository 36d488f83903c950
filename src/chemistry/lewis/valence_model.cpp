#include "chemistry/lewis/valence_model.h"

#include <algorithm>

#include "chemistry/atomic_numbers.h"
#include "chemistry/parameters.h"
#include "common/text.h"
#include "molecule/tables.h"

namespace tarvex {
namespace {

// Group numbers of the main-group elements that form covalent bonds here.
int MainGroup(int z) {
  switch (z) {
    case kBoron:
      return kBoronGroup;
    case kCarbon:
    case kSilicon:
    case kGermanium:
      return kCarbonGroup;
    case kNitrogen:
    case kPhosphorus:
    case kArsenic:
    case kAntimony:
      return kNitrogenGroup;
    case kOxygen:
    case kSulfur:
    case kSelenium:
    case kTellurium:
      return kOxygenGroup;
    case kFluorine:
    case kChlorine:
    case kBromine:
    case kIodine:
    case kAstatine:
      return kHalogenGroup;
    default:
      return 0;
  }
}

bool IsNobleGas(int z) {
  return z == kHelium || z == kNeon || z == kArgon || z == kKrypton || z == kXenon || z == kRadon;
}

}  // namespace

ElementChemistry LookupElementChemistry(std::string_view atom_type) {
  ElementChemistry chem;
  const std::string symbol = ToUpper(Trim(atom_type));
  chem.atomic_number = ElementIndex(symbol);
  const int z = chem.atomic_number;
  const ParameterRegistry& registry = Registry();
  auto ions = registry.ion_charges.find(symbol);
  if (ions != registry.ion_charges.end() && !ions->second.empty())
    chem.ion_charge = ions->second.front();
  else
    chem.ion_charge = HeavyIonCharge(z);  // past krypton, beyond the registry's list
  auto limit = registry.max_neighbours.find(symbol);
  if (limit != registry.max_neighbours.end()) chem.max_neighbours = limit->second;
  if (z <= kDummyAtom || z == kLonePair || IsNobleGas(z)) return chem;  // unknown, DU, LP, noble gas: opaque
  if (z == kHydrogen) {
    chem.kind = ElementKind::kHydrogenAtom;
    chem.neutral_valences = {1};
    return chem;
  }
  chem.group = MainGroup(z);
  if (chem.group == 0) {
    chem.kind = ElementKind::kMetal;
    return chem;
  }
  chem.kind = ElementKind::kMainGroup;
  auto valences = registry.valences.find(symbol);
  if (valences != registry.valences.end()) {
    for (int v : valences->second) {
      if (v > 0) chem.neutral_valences.push_back(v);
    }
  }
  // Period 3 and below, groups 15 to 17: the lone pairs can be promoted, so
  // every valence from 8 - group up to the group number in steps of two.
  const bool heavy_p_block = z > kNeon && chem.group >= kNitrogenGroup;
  if (heavy_p_block) {
    for (int v = 18 - chem.group; v <= chem.group - 10; v += 2) chem.neutral_valences.push_back(v);
  }
  if (chem.neutral_valences.empty()) {
    chem.neutral_valences.push_back(chem.group <= kCarbonGroup ? chem.group - 10 : 18 - chem.group);
  }
  std::sort(chem.neutral_valences.begin(), chem.neutral_valences.end());
  chem.neutral_valences.erase(std::unique(chem.neutral_valences.begin(), chem.neutral_valences.end()),
                              chem.neutral_valences.end());
  return chem;
}

bool StartingState(const ElementChemistry& element, int sigma, int acceptors, int& valence, int& charge) {
  charge = 0;
  const std::vector<int>& neutral = element.neutral_valences;
  if (neutral.empty()) return false;
  if (element.hypervalent()) {
    // The largest valence the terminal chalcogens can fill, if it holds sigma.
    for (auto v = neutral.rbegin(); v != neutral.rend(); ++v) {
      if (*v <= sigma + acceptors && *v >= sigma) {
        valence = *v;
        return true;
      }
    }
  }
  for (int v : neutral) {
    if (v >= sigma) {
      valence = v;
      return true;
    }
  }
  // One bond more than any neutral valence: the onium (groups 15, 16) or ate
  // (group 13) state of the lowest valence.
  const int lowest = element.lowest_valence();
  if (sigma == lowest + 1 && neutral.size() == 1) {
    if (element.group == kNitrogenGroup || element.group == kOxygenGroup)
      charge = 1;
    else if (element.group == kBoronGroup)
      charge = -1;
    else
      return false;
    valence = sigma;
    return true;
  }
  return false;
}

}  // namespace tarvex
