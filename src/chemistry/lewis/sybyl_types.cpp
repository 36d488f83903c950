#include "chemistry/lewis/sybyl_types.h"

#include "chemistry/atomic_numbers.h"
#include "chemistry/lewis/aromaticity.h"

namespace tarvex {
namespace {

struct Bonding {
  int doubles = 0;
  int triples = 0;
  bool multiple() const { return doubles > 0 || triples > 0; }
  bool sp() const { return triples > 0 || doubles > 1; }
};

Bonding BondingOf(const LewisStructure& lewis, int a) {
  const ChemGraph& g = *lewis.graph;
  Bonding bonding;
  for (int k : g.Edges(a)) {
    const int order = lewis.edge_order[k];
    if (order == 2)
      ++bonding.doubles;
    else if (order >= 3)
      ++bonding.triples;
  }
  return bonding;
}

int Charge(const LewisStructure& lewis, int a) { return lewis.charge[a]; }

// The suffixes this step writes (named, so assignments copy strings).
const std::string kAr = "ar", kCat = "cat", kAm = "am", kPl3 = "pl3";
const std::string kOne = "1", kTwo = "2", kThree = "3", kFour = "4";
// Sulfoxide and sulfone sulfurs, as SYBYL and as GOLD write them.
const std::string kSulfoxide = "O", kSulfone = "O2", kGoldSulfoxide = "o", kGoldSulfone = "o2";

// Pi electrons an atom gives to a ring (aromaticity.h), or -1.
int RingContribution(const LewisStructure& lewis, int a) {
  const ChemGraph& g = *lewis.graph;
  const int z = g.AtomicNumber(a);
  if (z != kBoron && z != kCarbon && z != kNitrogen && z != kOxygen && z != kPhosphorus && z != kSulfur &&
      z != kSelenium) {
    return -1;
  }
  int cyclic_doubles = 0;
  int other_multiple = 0;
  for (int k : g.Edges(a)) {
    const int order = lewis.edge_order[k];
    if (order == 2 && lewis.rings->cyclic_edge[k])
      ++cyclic_doubles;
    else if (order >= 2)
      ++other_multiple;
  }
  if (cyclic_doubles == 1 && other_multiple == 0) return 1;
  if (cyclic_doubles > 0 || other_multiple > 0) return -1;
  const int q = Charge(lewis, a);
  switch (z) {
    case kNitrogen:
    case kPhosphorus:
      if (q == -1) return 2;
      if (q == 0 && (g.Degree(a) == 3 || lewis.Implicit(a))) return 2;
      return -1;
    case kOxygen:
    case kSulfur:
    case kSelenium:
      return q == 0 ? 2 : -1;
    case kCarbon:
      return q == -1 ? 2 : (q == 1 ? 0 : -1);
    case kBoron:
      return q == 0 && g.Degree(a) == 3 ? 0 : -1;
    default:
      return -1;
  }
}

bool HasDoubleToChalcogen(const LewisStructure& lewis, int a) {
  const ChemGraph& g = *lewis.graph;
  for (int k : g.Edges(a)) {
    const int z = g.AtomicNumber(g.Target(k));
    if (lewis.edge_order[k] == 2 && (z == kOxygen || z == kSulfur)) return true;
  }
  return false;
}

// The central carbon of an amidinium or guanidinium ion: double-bonded to a
// nitrogen that carries the +1, and single-bonded to another nitrogen.
bool IsCationCentre(const LewisStructure& lewis, int a) {
  const ChemGraph& g = *lewis.graph;
  bool charged_partner = false;
  bool other_nitrogen = false;
  for (int k : g.Edges(a)) {
    const int b = g.Target(k);
    if (g.AtomicNumber(b) != kNitrogen) continue;
    const int order = lewis.edge_order[k];
    if (order == 2 && Charge(lewis, b) == 1)
      charged_partner = true;
    else if (order == 1 && !BondingOf(lewis, b).multiple())
      other_nitrogen = true;
  }
  return charged_partner && other_nitrogen;
}

// The settled type of one atom from its bonds, charges, rings and the types
// already given (`types`: the rows' suffixes, carbons settled first).
struct AtomTyper {
  const LewisStructure& lewis;
  const Aromaticity& aromatic;
  bool gold;
  const std::vector<std::string>& types;

  const ChemGraph& Graph() const { return *lewis.graph; }
  bool Aromatic(int a) const { return aromatic.atom[a] != 0; }
  const std::string& Current(int a) const { return types[a]; }

  const std::string& CarbonType(int a) const {
    const Bonding bonding = BondingOf(lewis, a);
    if (Aromatic(a)) return kAr;
    if (IsCationCentre(lewis, a)) return kCat;
    if (bonding.sp()) return kOne;
    if (bonding.multiple()) return kTwo;
    return Graph().Degree(a) == 3 && !lewis.Implicit(a) ? kTwo : kThree;
  }

  bool InPiSystem(int b) const {
    return Aromatic(b) || BondingOf(lewis, b).multiple() || (Graph().AtomicNumber(b) == kCarbon && Current(b) == kCat);
  }

  const std::string& NitrogenType(int a) const {
    const ChemGraph& g = Graph();
    bool amide = false;
    bool sulfonamide = false;
    bool conjugated = false;
    bool next_to_sp = false;
    for (int k : g.Edges(a)) {
      const int b = g.Target(k);
      const int order = lewis.edge_order[k];
      const int zb = g.AtomicNumber(b);
      if (order == 1 && zb == kCarbon && HasDoubleToChalcogen(lewis, b)) amide = true;
      if (order == 1 && zb == kSulfur && HasDoubleToChalcogen(lewis, b)) sulfonamide = true;
      if (order == 1 && InPiSystem(b)) conjugated = true;
      if (order >= 2 && BondingOf(lewis, b).sp()) next_to_sp = true;
    }
    const Bonding bonding = BondingOf(lewis, a);
    if (g.Degree(a) == 4 && !bonding.multiple()) return kFour;
    if (Aromatic(a)) return kAr;
    if (!bonding.multiple() && (Current(a) == kAm || amide)) return kAm;
    if (!bonding.multiple() && gold && sulfonamide) return kAm;
    if (bonding.sp()) return kOne;
    if (bonding.multiple() && Charge(lewis, a) == 1) return kPl3;
    if (bonding.multiple()) return g.Degree(a) == 1 && next_to_sp ? kOne : kTwo;
    return conjugated ? kPl3 : kThree;
  }

  const std::string& OxygenType(int a) const {
    const ChemGraph& g = Graph();
    bool on_sulfur = false;
    bool on_cationic_nitrogen = false;
    for (int b : g.Neighbours(a)) {
      on_sulfur = on_sulfur || g.AtomicNumber(b) == kSulfur;
      on_cationic_nitrogen = on_cationic_nitrogen || (g.AtomicNumber(b) == kNitrogen && Charge(lewis, b) == 1);
    }
    if (Current(a) == "co2" && !(gold && on_sulfur)) return Current(a);
    const bool terminal = g.Degree(a) == 1;
    if (terminal && (BondingOf(lewis, a).multiple() || (Charge(lewis, a) == -1 && on_cationic_nitrogen))) return kTwo;
    return terminal && gold && on_sulfur ? kTwo : kThree;
  }

  const std::string& SulfurType(int a) const {
    const std::string& type = Current(a);
    if (type == kSulfoxide || type == kSulfone || type == kGoldSulfoxide || type == kGoldSulfone) {
      const bool sulfoxide = type == kSulfoxide || type == kGoldSulfoxide;
      if (gold) return sulfoxide ? kGoldSulfoxide : kGoldSulfone;
      return sulfoxide ? kSulfoxide : kSulfone;
    }
    if (Graph().Degree(a) == 1) return BondingOf(lewis, a).multiple() ? kTwo : kThree;
    return kThree;
  }
};

}  // namespace

Aromaticity FindAromaticity(const LewisStructure& lewis) {
  const ChemGraph& g = *lewis.graph;
  Aromaticity result;
  result.atom.assign(static_cast<size_t>(g.atom_count), 0);
  result.edge.assign(g.targets.size(), 0);
  std::vector<std::vector<int>> candidates;
  for (const std::vector<int>& ring : lewis.rings->rings) {
    if (ring.size() >= 5 && ring.size() <= 7) candidates.push_back(ring);
  }
  // Contributions only for ring atoms (-1 for the rest is never read).
  std::vector<int> contribution(static_cast<size_t>(g.atom_count), -1);
  for (const std::vector<int>& ring : candidates) {
    for (int a : ring) contribution[a] = RingContribution(lewis, a);
  }
  std::vector<char> aromatic = AromaticRings(candidates, contribution);
  for (size_t r = 0; r < candidates.size(); ++r) {
    if (!aromatic[r]) continue;
    const std::vector<int>& ring = candidates[r];
    for (size_t k = 0; k < ring.size(); ++k) {
      const int a = ring[k];
      const int b = ring[(k + 1) % ring.size()];
      result.atom[a] = 1;
      const int ab = g.EdgeIndex(a, b);
      const int ba = g.EdgeIndex(b, a);
      if (ab >= 0) result.edge[ab] = 1;
      if (ba >= 0) result.edge[ba] = 1;
    }
  }
  return result;
}

void RefineSybylTypes(const LewisStructure& lewis, const Aromaticity& aromatic, bool gold,
                      std::vector<std::string>& types) {
  const ChemGraph& g = *lewis.graph;
  types.resize(static_cast<size_t>(g.atom_count));
  const AtomTyper typer{lewis, aromatic, gold, types};
  // Carbons first: the nitrogen rules look at their neighbours' pi bonds.
  for (int a = 0; a < g.atom_count; ++a) {
    if (g.AtomicNumber(a) == kCarbon) types[a] = typer.CarbonType(a);
  }
  for (int a = 0; a < g.atom_count; ++a) {
    std::string& type = types[a];
    switch (g.AtomicNumber(a)) {
      case kNitrogen:
        type = typer.NitrogenType(a);
        break;
      case kOxygen:
        type = typer.OxygenType(a);
        break;
      case kSulfur:
        type = typer.SulfurType(a);
        break;
      case kPhosphorus:
        type = kThree;
        break;
      default:
        break;
    }
  }
}

const std::string& SybylBondType(const LewisStructure& lewis, const Aromaticity& aromatic, bool gold,
                                 const std::vector<std::string>& types, int a, int edge) {
  const ChemGraph& g = *lewis.graph;
  const int b = g.Target(edge);
  const int order = lewis.edge_order[edge];
  if (aromatic.edge[edge]) return kAr;
  const int za = g.AtomicNumber(a);
  const int zb = g.AtomicNumber(b);
  if (za == kHydrogen || zb == kHydrogen) return kOne;
  const std::string& ta = types[a];
  const std::string& tb = types[b];
  auto pair = [&](int z1, const char* t1, int z2, const char* t2) {
    return (za == z1 && (!t1 || ta == t1) && zb == z2 && (!t2 || tb == t2)) ||
           (zb == z1 && (!t1 || tb == t1) && za == z2 && (!t2 || ta == t2));
  };
  if (pair(kCarbon, "cat", kNitrogen, nullptr)) return kAr;
  if (pair(kCarbon, nullptr, kOxygen, "co2")) return kAr;
  if (order == 1 && pair(kCarbon, nullptr, kNitrogen, "am")) {
    const int carbon = za == kCarbon ? a : b;
    if (HasDoubleToChalcogen(lewis, carbon)) return kAm;
  }
  if (gold) {
    if (order == 1 && (pair(kSulfur, "o2", kNitrogen, "am") || pair(kSulfur, "o", kNitrogen, "am"))) return kAm;
    const int nitrogen = za == kNitrogen ? a : (zb == kNitrogen ? b : -1);
    const int oxygen = za == kOxygen ? a : (zb == kOxygen ? b : -1);
    if (nitrogen >= 0 && oxygen >= 0 && g.Degree(oxygen) == 1 && Charge(lewis, nitrogen) == 1 &&
        types[nitrogen] == "pl3") {
      return kAr;
    }
  }
  return order >= 3 ? kThree : (order == 2 ? kTwo : kOne);
}

}  // namespace tarvex
