#include "chemistry/ion_names.h"

#include <algorithm>
#include <array>

#include "common/text.h"
#include "molecule/tables.h"

namespace tarvex {
namespace {

// The single-atom ions of the wwPDB Chemical Component Dictionary
// (components.cif: _chem_comp.id, the element of its one atom, and
// _chem_comp.pdbx_formal_charge), the metal and halide ions that PDB entries
// name. Sorted by identifier.
constexpr auto kComponents = std::to_array<IonComponent>({
    {"3CO", "CO", 3},  // cobalt(III) ion
    {"3NI", "NI", 3},  // nickel(III) ion
    {"AG", "AG", 1},   // silver ion
    {"AL", "AL", 3},   // aluminium ion
    {"AU", "AU", 1},   // gold ion
    {"AU3", "AU", 3},  // gold(III) ion
    {"BA", "BA", 2},   // barium ion
    {"BR", "BR", -1},  // bromide ion
    {"CA", "CA", 2},   // calcium ion
    {"CD", "CD", 2},   // cadmium ion
    {"CL", "CL", -1},  // chloride ion
    {"CO", "CO", 2},   // cobalt(II) ion
    {"CR", "CR", 3},   // chromium(III) ion
    {"CS", "CS", 1},   // caesium ion
    {"CU", "CU", 2},   // copper(II) ion
    {"CU1", "CU", 1},  // copper(I) ion
    {"EU3", "EU", 3},  // europium(III) ion
    {"F", "F", -1},    // fluoride ion
    {"FE", "FE", 3},   // iron(III) ion
    {"FE2", "FE", 2},  // iron(II) ion
    {"GA", "GA", 3},   // gallium(III) ion
    {"GD3", "GD", 3},  // gadolinium(III) ion
    {"HG", "HG", 2},   // mercury(II) ion
    {"IN", "IN", 3},   // indium(III) ion
    {"IOD", "I", -1},  // iodide ion
    {"IR3", "IR", 3},  // iridium(III) ion
    {"K", "K", 1},     // potassium ion
    {"LA", "LA", 3},   // lanthanum(III) ion
    {"LI", "LI", 1},   // lithium ion
    {"LU", "LU", 3},   // lutetium(III) ion
    {"MG", "MG", 2},   // magnesium ion
    {"MN", "MN", 2},   // manganese(II) ion
    {"MN3", "MN", 3},  // manganese(III) ion
    {"NA", "NA", 1},   // sodium ion
    {"NI", "NI", 2},   // nickel(II) ion
    {"OS4", "OS", 4},  // osmium(IV) ion
    {"PB", "PB", 2},   // lead(II) ion
    {"PD", "PD", 2},   // palladium(II) ion
    {"PT", "PT", 2},   // platinum(II) ion
    {"PT4", "PT", 4},  // platinum(IV) ion
    {"RB", "RB", 1},   // rubidium ion
    {"RH3", "RH", 3},  // rhodium(III) ion
    {"SM", "SM", 3},   // samarium(III) ion
    {"SR", "SR", 2},   // strontium ion
    {"TB", "TB", 3},   // terbium(III) ion
    {"TL", "TL", 1},   // thallium(I) ion
    {"YB", "YB", 3},   // ytterbium(III) ion
    {"YB2", "YB", 2},  // ytterbium(II) ion
    {"ZN", "ZN", 2},   // zinc ion
});
static_assert(std::is_sorted(kComponents.begin(), kComponents.end(),
                             [](const IonComponent& a, const IonComponent& b) { return a.id < b.id; }),
              "the ion components are sorted by identifier");

// Na+, Cl-, V2+, Zn2+, MG+2: the element's symbol (any case), then a charge
// with its sign before or after the number.
int TrailingCharge(std::string_view name, std::string_view element) {
  if (name.size() <= element.size()) return kNoNamedCharge;
  for (size_t k = 0; k < element.size(); ++k) {
    if (ToUpperChar(name[k]) != element[k]) return kNoNamedCharge;
  }
  std::string_view rest = name.substr(element.size());
  int sign = 0;
  if (rest.front() == '+' || rest.front() == '-') {
    sign = rest.front() == '+' ? 1 : -1;
    rest.remove_prefix(1);
  } else if (rest.back() == '+' || rest.back() == '-') {
    sign = rest.back() == '+' ? 1 : -1;
    rest.remove_suffix(1);
  }
  if (sign == 0 || rest.size() > 1 || (rest.size() == 1 && !IsDigit(rest.front()))) return kNoNamedCharge;
  return sign * (rest.empty() ? 1 : rest.front() - '0');
}

// Elements whose atoms are never ions by name.
bool Covalent(std::string_view element) {
  return element == "H" || element == "C" || element == "N" || element == "O" || element == "P" || element == "S";
}

}  // namespace

std::span<const IonComponent> IonComponents() { return kComponents; }

int ChargeOfIonName(std::string_view name, std::string_view element, bool residue_name) {
  name = Trim(name);
  if (name.empty()) return kNoNamedCharge;
  if (int charge = TrailingCharge(name, element); charge != kNoNamedCharge) return charge;
  if (!residue_name || name.size() > 3) return kNoNamedCharge;
  char upper[3];
  for (size_t k = 0; k < name.size(); ++k) upper[k] = ToUpperChar(name[k]);
  const std::string_view id(upper, name.size());
  auto it = std::lower_bound(kComponents.begin(), kComponents.end(), id,
                             [](const IonComponent& c, std::string_view key) { return c.id < key; });
  return it != kComponents.end() && it->id == id && it->element == element ? it->charge : kNoNamedCharge;
}

std::vector<int> NamedIonCharges(const std::vector<std::string>& elements, const std::vector<std::string>& atom_names,
                                 const std::vector<std::string>& residue_names) {
  std::vector<int> charges;
  for (size_t a = 0; a < elements.size(); ++a) {
    // Water, proteins and nucleic acids are passed over before any copy.
    if (elements[a].size() == 1 && Covalent(elements[a])) continue;
    const std::string element = ToUpper(elements[a]);
    if (Covalent(element) || ElementIndex(element) <= 0) continue;
    int charge = a < atom_names.size() ? ChargeOfIonName(atom_names[a], element, false) : kNoNamedCharge;
    if (charge == kNoNamedCharge && a < residue_names.size()) charge = ChargeOfIonName(residue_names[a], element, true);
    if (charge == kNoNamedCharge) continue;
    if (charges.empty()) charges.assign(elements.size(), kNoNamedCharge);
    charges[a] = charge;
  }
  return charges;
}

}  // namespace tarvex
