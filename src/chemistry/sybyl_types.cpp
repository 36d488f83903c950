#include "chemistry/sybyl_types.h"

#include "chemistry/aromaticity.h"
#include "chemistry/atomic_numbers.h"

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
    const int order = lewis.edge_order[static_cast<size_t>(k)];
    if (order == 2) ++bonding.doubles;
    else if (order >= 3) ++bonding.triples;
  }
  return bonding;
}

int Charge(const LewisStructure& lewis, int a) { return lewis.charge[static_cast<size_t>(a)]; }

// The suffixes this step writes (named, so assignments copy strings).
const std::string kAr = "ar";
const std::string kCat = "cat";
const std::string kAm = "am";
const std::string kPl3 = "pl3";
const std::string kOne = "1";
const std::string kTwo = "2";
const std::string kThree = "3";
const std::string kFour = "4";
const std::string kSulfoxide = "O";
const std::string kSulfone = "O2";
const std::string kGoldSulfoxide = "o";
const std::string kGoldSulfone = "o2";

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
    const int order = lewis.edge_order[static_cast<size_t>(k)];
    if (order == 2 && lewis.rings->cyclic_edge[static_cast<size_t>(k)]) ++cyclic_doubles;
    else if (order >= 2) ++other_multiple;
  }
  if (cyclic_doubles == 1 && other_multiple == 0) return 1;
  if (cyclic_doubles > 0 || other_multiple > 0) return -1;
  const int q = Charge(lewis, a);
  switch (z) {
    case kNitrogen: case kPhosphorus:
      if (q == -1) return 2;
      if (q == 0 && (g.Degree(a) == 3 || lewis.Implicit(a))) return 2;
      return -1;
    case kOxygen: case kSulfur: case kSelenium: return q == 0 ? 2 : -1;
    case kCarbon: return q == -1 ? 2 : (q == 1 ? 0 : -1);
    case kBoron: return q == 0 && g.Degree(a) == 3 ? 0 : -1;
    default: return -1;
  }
}

bool HasDoubleToChalcogen(const LewisStructure& lewis, int a) {
  const ChemGraph& g = *lewis.graph;
  for (int k : g.Edges(a)) {
    const int z = g.AtomicNumber(g.Target(k));
    if (lewis.edge_order[static_cast<size_t>(k)] == 2 && (z == kOxygen || z == kSulfur)) return true;
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
    const int order = lewis.edge_order[static_cast<size_t>(k)];
    if (order == 2 && Charge(lewis, b) == 1) charged_partner = true;
    else if (order == 1 && !BondingOf(lewis, b).multiple()) other_nitrogen = true;
  }
  return charged_partner && other_nitrogen;
}

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
    for (int a : ring) contribution[static_cast<size_t>(a)] = RingContribution(lewis, a);
  }
  std::vector<char> aromatic = AromaticRings(candidates, contribution);
  for (size_t r = 0; r < candidates.size(); ++r) {
    if (!aromatic[r]) continue;
    const std::vector<int>& ring = candidates[r];
    for (size_t k = 0; k < ring.size(); ++k) {
      const int a = ring[k];
      const int b = ring[(k + 1) % ring.size()];
      result.atom[static_cast<size_t>(a)] = 1;
      const int ab = g.EdgeIndex(a, b);
      const int ba = g.EdgeIndex(b, a);
      if (ab >= 0) result.edge[static_cast<size_t>(ab)] = 1;
      if (ba >= 0) result.edge[static_cast<size_t>(ba)] = 1;
    }
  }
  return result;
}

void RefineSybylTypes(const LewisStructure& lewis, const Aromaticity& aromatic, bool gold,
                      std::vector<std::string>& types) {
  const ChemGraph& g = *lewis.graph;
  const int n = g.atom_count;
  types.resize(static_cast<size_t>(n));
  auto neighbours = [&](int a, auto&& f) {
    for (int k : g.Edges(a)) f(g.Target(k), lewis.edge_order[static_cast<size_t>(k)]);
  };
  // Carbons first: the nitrogen rules look at their neighbours' pi bonds.
  for (int a = 0; a < n; ++a) {
    if (g.AtomicNumber(a) != kCarbon) continue;
    std::string& type = types[static_cast<size_t>(a)];
    const Bonding bonding = BondingOf(lewis, a);
    if (aromatic.atom[static_cast<size_t>(a)]) type = kAr;
    else if (IsCationCentre(lewis, a)) type = kCat;
    else if (bonding.sp()) type = kOne;
    else if (bonding.multiple()) type = kTwo;
    else if (g.Degree(a) == 3 && !lewis.Implicit(a)) type = kTwo;
    else type = kThree;
  }
  auto in_pi_system = [&](int b) {
    return aromatic.atom[static_cast<size_t>(b)] || BondingOf(lewis, b).multiple() ||
           (g.AtomicNumber(b) == kCarbon && types[static_cast<size_t>(b)] == kCat);
  };
  for (int a = 0; a < n; ++a) {
    const int z = g.AtomicNumber(a);
    std::string& type = types[static_cast<size_t>(a)];
    const Bonding bonding = BondingOf(lewis, a);
    const int q = Charge(lewis, a);
    if (z == kNitrogen) {
      bool amide = false;
      bool sulfonamide = false;
      bool conjugated = false;
      bool next_to_sp = false;
      neighbours(a, [&](int b, int order) {
        const int zb = g.AtomicNumber(b);
        if (order == 1 && zb == kCarbon && HasDoubleToChalcogen(lewis, b)) amide = true;
        if (order == 1 && zb == kSulfur && HasDoubleToChalcogen(lewis, b)) sulfonamide = true;
        if (order == 1 && in_pi_system(b)) conjugated = true;
        if (order >= 2 && BondingOf(lewis, b).sp()) next_to_sp = true;
      });
      if (g.Degree(a) == 4 && !bonding.multiple()) type = kFour;
      else if (aromatic.atom[static_cast<size_t>(a)]) type = kAr;
      else if (!bonding.multiple() && (type == kAm || amide)) type = kAm;
      else if (!bonding.multiple() && gold && sulfonamide) type = kAm;
      else if (bonding.sp()) type = kOne;
      else if (bonding.multiple() && q == 1) type = kPl3;
      else if (bonding.multiple()) type = g.Degree(a) == 1 && next_to_sp ? kOne : kTwo;
      else type = conjugated ? kPl3 : kThree;
    } else if (z == kOxygen) {
      bool on_sulfur = false;
      bool on_cationic_nitrogen = false;
      neighbours(a, [&](int b, int) {
        on_sulfur = on_sulfur || g.AtomicNumber(b) == kSulfur;
        on_cationic_nitrogen = on_cationic_nitrogen || (g.AtomicNumber(b) == kNitrogen && Charge(lewis, b) == 1);
      });
      if (type == "co2" && !(gold && on_sulfur)) continue;
      if (g.Degree(a) == 1 && (bonding.multiple() || (q == -1 && on_cationic_nitrogen))) type = kTwo;
      else if (g.Degree(a) == 1 && gold && on_sulfur) type = kTwo;
      else type = kThree;
    } else if (z == kSulfur) {
      if (type == kSulfoxide || type == kSulfone || type == kGoldSulfoxide || type == kGoldSulfone) {
        if (gold) type = type == kSulfoxide || type == kGoldSulfoxide ? kGoldSulfoxide : kGoldSulfone;
        else type = type == kSulfoxide || type == kGoldSulfoxide ? kSulfoxide : kSulfone;
      } else if (g.Degree(a) == 1) {
        type = bonding.multiple() ? kTwo : kThree;
      } else {
        type = kThree;
      }
    } else if (z == kPhosphorus) {
      type = kThree;
    }
  }
}

const std::string& SybylBondType(const LewisStructure& lewis, const Aromaticity& aromatic, bool gold,
                                 const std::vector<std::string>& types, int a, int edge) {
  const ChemGraph& g = *lewis.graph;
  const int b = g.Target(edge);
  const int order = lewis.edge_order[static_cast<size_t>(edge)];
  if (aromatic.edge[static_cast<size_t>(edge)]) return kAr;
  const int za = g.AtomicNumber(a);
  const int zb = g.AtomicNumber(b);
  if (za == kHydrogen || zb == kHydrogen) return kOne;
  const std::string& ta = types[static_cast<size_t>(a)];
  const std::string& tb = types[static_cast<size_t>(b)];
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
        types[static_cast<size_t>(nitrogen)] == "pl3") {
      return kAr;
    }
  }
  return order >= 3 ? kThree : (order == 2 ? kTwo : kOne);
}

}  // namespace tarvex
