#include "chemistry/lewis/pi_fixes.h"

#include <algorithm>
#include <array>

#include "chemistry/atomic_numbers.h"

namespace tarvex {
namespace {

// Costs of the fixes (pi_matching.h): anions on chalcogens are the commonest
// charges of real molecules, then ammonium-type nitrogen, then nitrogen
// anions; onium ions and carbon ions are rare. The costs rise with the switch
// that allows them, so a molecule settled under some switches comes out the
// same once later switches are on.
struct FixCosts {
  double group = 0.5;         // the charges of nitro, azide and isocyanide groups
  double group_cation = 0.4;  // a diazonium is Ar-N+#N, not Ar-N=N-
  double chalcogen_anion = 1.0;
  // Keep charges off S=O, P=O and amide C=O oxygens when a nitrogen can take
  // them (sulfonamide, acylsulfonamide and amide anions are N-).
  double oxo_on_amide_or_hypervalent = 1.6;
  double nitrogen_cation = 1.2;
  double substituted_nitrogen = 0.05;  // per heavy neighbour: =NH2+ before =NHR+, before an indole N
  double nitrogen_anion = 1.5;
  // Azolides of three or four ring nitrogens (triazolide, tetrazolide) are
  // as acidic as phenols and carboxylic acids: their N- comes before an
  // iminium N+ beside them.
  double azolide_anion = 1.1;
  double onium = 2.0;
  double no_site = 2.5;  // an implicit hydrogen where the geometry leaves no room
  double carbon_ion = 3.0;
  double borate = 3.2;
  double expansion = 3.5;
  double radical = 4.0;
};
constexpr FixCosts kCost;

// Where an implicit hydrogen goes in a structure without hydrogens: on
// nitrogen first (an NH, not a CH2, in a pyrrole ring), then oxygen, sulfur.
double ImplicitHydrogenCost(int z) {
  switch (z) {
    case kNitrogen:
      return 0.5;
    case kOxygen:
      return 0.7;
    case kSulfur:
    case kSelenium:
      return 0.8;
    default:
      return 1.0;
  }
}

bool PnictogenOrChalcogen(const AtomState& atom) {
  return atom.Group() == kOxygenGroup || atom.Group() == kNitrogenGroup;
}

// An anion on a neutral N, O, S or Se; a terminal oxygen on a hypervalent
// centre or on an amide carbon (three neighbours, one a nitrogen) takes it
// only after any nitrogen could. The carbon of a thiocyanate or cyanate has
// two: its anion is on S or O ([S-]C#N).
double AnionCost(const PerceptionContext& context, const AtomState& atom) {
  const ChemGraph& graph = context.graph;
  if (atom.Group() == kNitrogenGroup) {
    return context.in_azole_ring[atom.atom] ? kCost.azolide_anion : kCost.nitrogen_anion;
  }
  std::array<int, 1> only{};
  if (graph.Ligands(atom.atom, only) != 1) return kCost.chalcogen_anion;
  const int partner = only[0];
  const ElementChemistry& centre = graph.Element(partner);
  bool amide_carbon = false;
  if (centre.atomic_number == kCarbon && graph.LigandDegree(partner) == 3) {
    for (int c : graph.Neighbours(partner)) amide_carbon = amide_carbon || graph.AtomicNumber(c) == kNitrogen;
  }
  const bool hypervalent_centre = centre.hypervalent() && centre.group >= kNitrogenGroup;
  return hypervalent_centre || amide_carbon ? kCost.oxo_on_amide_or_hypervalent : kCost.chalcogen_anion;
}

// A halogen with two or four bonds: between carbons a halonium ion
// (diaryliodonium, Ph2I+: eight electrons), otherwise the ate anion of a
// polyhalide (I3-, ICl2-, ICl4-: ten or twelve).
int HalogenIonCharge(const ChemGraph& graph, int a) {
  for (int b : graph.Neighbours(a)) {
    if (graph.AtomicNumber(b) != kCarbon) return -1;
  }
  return 1;
}

// Extra bond orders wanted on the open bonds: what the valence leaves beyond
// one order per bond, capped by the geometry where hydrogens are missing.
int Demand(const PerceptionContext& context, const AtomState& atom) {
  if (atom.element->kind == ElementKind::kHydrogenAtom) return 0;
  int demand = atom.valence - atom.bonds.Sigma();
  const int geometric = atom.hydrogen_free ? context.geometric_demand[atom.atom] : -1;
  if (geometric >= 0) demand = std::min(demand, geometric);
  return demand;
}

// A nitrogen one bond short among hydrogens and saturated carbons alone (no
// metal, no pi system to spread a charge over): an amide ion R-NH(-) is no
// species of a structure file, so the bond it lacks is one the file left
// out, the peptide bond of a residue cut from its chain or a hydrogen not
// written. It takes an implicit hydrogen, not a charge.
bool OpenNitrogen(const ChemGraph& graph, const AtomState& atom) {
  if (atom.Group() != kNitrogenGroup || !atom.Lowest() || graph.LigandDegree(atom.atom) != graph.Degree(atom.atom)) {
    return false;
  }
  for (int b : graph.Neighbours(atom.atom)) {
    const ElementKind kind = graph.Element(b).kind;
    const bool saturated =
        kind == ElementKind::kHydrogenAtom || (graph.AtomicNumber(b) == kCarbon && graph.LigandDegree(b) == 4);
    if (!saturated) return false;
  }
  return true;
}

// A bond order less with a charge (or an implicit hydrogen): the first case
// that applies decides, even when its switch is still off.
PiFix ChargedLowering(const PerceptionContext& context, const AtomState& atom, const SearchRules& rules) {
  if (atom.role & (kNitroOxygen | kAzideEnd | kIsocyanideCarbon)) return PiFix(kCost.group, -1);
  const bool main_group = atom.element->kind == ElementKind::kMainGroup;
  if (atom.hydrogen_free && main_group && atom.Uncharged()) {
    // An implicit hydrogen needs a free site; a carbon or nitrogen with three
    // neighbours (a planar sp2 centre) or an oxygen with two has none, and is
    // only left without its double bond when nothing else works (the
    // geometry misled): charges are never made up where hydrogens are missing.
    const bool free_site = context.graph.LigandDegree(atom.atom) < (atom.Group() == kOxygenGroup ? 2 : 3);
    return PiFix(free_site ? ImplicitHydrogenCost(atom.element->atomic_number) : kCost.no_site, 0);
  }
  if (OpenNitrogen(context.graph, atom)) return PiFix(ImplicitHydrogenCost(kNitrogen), 0);
  if (PnictogenOrChalcogen(atom) && atom.Lowest()) {
    return rules.On(kCommonIons) ? PiFix(AnionCost(context, atom), -1) : PiFix();
  }
  if (PnictogenOrChalcogen(atom) && atom.Uncharged() && atom.valence > atom.element->lowest_valence()) {
    return rules.On(kOniumIons) ? PiFix(kCost.onium, 1) : PiFix();
  }
  if (atom.Group() == kHalogenGroup && atom.Uncharged() && atom.valence > atom.element->lowest_valence()) {
    return rules.On(kOniumIons) ? PiFix(kCost.onium, HalogenIonCharge(context.graph, atom.atom)) : PiFix();
  }
  if (atom.Group() == kCarbonGroup && atom.Uncharged()) {
    // A carbon with one bond order less keeps a lone pair (carbanion) where
    // it ends a triple bond (cyanide, acetylide, carbon monoxide) or lies in
    // a five-membered ring (cyclopentadienide); elsewhere it is a carbenium
    // ion (tropylium).
    const bool anion = context.in_five_ring[atom.atom] != 0 || context.graph.LigandDegree(atom.atom) == 1;
    return rules.On(kCarbonIons) ? PiFix(kCost.carbon_ion, anion ? -1 : 1) : PiFix();
  }
  return PiFix();
}

PiFix Lowering(const PerceptionContext& context, const AtomState& atom, const SearchRules& rules) {
  const PiFix fix = ChargedLowering(context, atom, rules);
  const bool main_group = atom.element->kind == ElementKind::kMainGroup;
  if (!fix.allowed && (rules.On(kRadicals) || rules.tolerant) && main_group) return PiFix(kCost.radical, 0);
  return fix;
}

// A bond order more with a charge (a lone pair given: ammonium-type N+,
// oxonium O+; an empty orbital filled: borate B-).
PiFix ChargedRaising(const AtomState& atom, const SearchRules& rules) {
  if (atom.role & (kAzideMiddle | kNitrileOnium | kIsocyanideNitrogen)) {
    return atom.Lowest() ? PiFix(kCost.group_cation, 1) : PiFix();
  }
  if (atom.hydrogen_free || !atom.Lowest()) return PiFix();
  if (atom.Group() == kNitrogenGroup && atom.bonds.ligands == 3) {
    // Ammonium-type: three bonds and a fourth from the lone pair. A
    // nitrogen with two neighbours would need two pi bonds, which only the
    // linear groups above have.
    const double cost = kCost.nitrogen_cation + kCost.substituted_nitrogen * atom.bonds.heavy;
    return rules.On(kCommonIons) ? PiFix(cost, 1) : PiFix();
  }
  if (atom.Group() == kOxygenGroup) return rules.On(kOniumIons) ? PiFix(kCost.onium, 1) : PiFix();
  if (atom.Group() == kBoronGroup) return rules.On(kAteComplexes) ? PiFix(kCost.borate, -1) : PiFix();
  return PiFix();
}

// Otherwise a hypervalent centre may step up to its next neutral valence.
PiFix Raising(const AtomState& atom, const SearchRules& rules) {
  const PiFix fix = ChargedRaising(atom, rules);
  if (fix.allowed || !atom.Uncharged() || !atom.element->hypervalent() || !rules.On(kHypervalentExpansion)) {
    return fix;
  }
  const std::vector<int>& valences = atom.element->neutral_valences;
  auto next = std::upper_bound(valences.begin(), valences.end(), atom.valence);
  return next != valences.end() ? PiFix(kCost.expansion, 0, *next - atom.valence) : fix;
}

}  // namespace

void SetFixes(const PerceptionContext& context, const AtomState& atom, const SearchRules& rules, PiAtom& pi) {
  pi.demand = Demand(context, atom);
  pi.lower = Lowering(context, atom, rules);
  pi.raise = Raising(atom, rules);
}

}  // namespace tarvex
