// The bond-order search: one molecule (a connected set of atoms) at a time,
// every bond gets an order and every atom a formal charge.
//
// How an atom is read (the chemist's rules, in the order they apply):
//   1. Bonds to metals are coordination bonds: order 1, left out of the
//      ligand's own valence (a zinc-bound cysteine sulfur is a thiolate), and
//      the metal carries the registry's ion charge. Atoms without valence
//      data (dummies, lone pairs, noble gases, unknown types) have order-1
//      bonds, count as one bond for their neighbours and stay neutral.
//   2. Each atom starts from the smallest neutral valence that holds its
//      bonds (C 4, N 3, O 2), a hypervalent centre from the largest its
//      terminal oxygens and sulfurs can fill (so sulfones, sulfonamides and
//      phosphates get their S=O and P=O), and takes the charged state one
//      step up only when no neutral valence holds its bonds (ammonium N+,
//      oxonium O+, borate B-). An atom with more neighbours than its element
//      allows, or more bonds than any state holds, cannot be ordered.
//   3. What the valence leaves beyond one order per bond is the atom's
//      demand; the pi matching (pi_matching.h) pairs demands into double and
//      triple bonds and settles what is left with charges, cheapest first.
//   4. In a structure without any hydrogen atom the geometry caps the demand
//      (implicit_hydrogens.h) and a deficiency becomes an implicit hydrogen,
//      not a charge.
//
// The eight cumulative rule switches (RuleSwitch below) widen the charged
// states the matching may use; pass k of the perception runs with switches
// 0 to k on:
//   kGroupCharges          neutral valences, states forced by the neighbour
//                          count, and the charges that belong to a group:
//                          nitro and nitrate (N+ and O-), azide and diazo (the
//                          middle N+, the end N-), isocyanide (N+ and C-),
//                          nitrile oxides and imines (N+);
//   kCommonIons            anions on oxygen, sulfur, selenium and nitrogen
//                          (carboxylate, phenolate, enolate, thiolate,
//                          tetrazolide) and cations on nitrogen (pyridinium,
//                          imidazolium, iminium, amidinium and guanidinium);
//   kOniumIons             onium ions of O, S, Se and P (pyrylium, sulfonium,
//                          phosphonium);
//   kCarbonIons            carbanions and carbenium ions (cyclopentadienide,
//                          tropylium);
//   kHypervalentExpansion  S, P and halogens may take two more bonds;
//   kAteComplexes          ate complexes of boron (tetra-coordinate borate
//                          from three bonds);
//   kRadicals              a deficiency may stay as an unpaired electron
//                          (nitroxides);
//   kNoNeighbourLimits     the neighbour limits of the registry are lifted
//                          (SF6, PF6-).
// The level of a search bounds the charges the matching may choose in one
// molecule (forced and group charges do not count): level 0 asks for a
// neutral Lewis structure, level L admits L charges, kLastLevel any number.
// The structure found does not depend on the level; a molecule that needs
// more charges than the level admits fails at once.
//
// Where the steps live:
//   perception_context.cpp  what is read once per record: the graph, rings,
//                           missing hydrogens, group roles (BuildPerceptionContext)
//   bond_order_search.cpp   one molecule at a time (SolveComponent): the walk,
//                           each atom's bonds and starting state, the
//                           matching, the orders and charges written back
//   pi_fixes.cpp            an atom's demand and the fixes (charges, implicit
//                           hydrogens, unpaired electrons) it allows, with
//                           their costs
//   group_rules.cpp         the orders the groups decide before any search
//   bond_types.cpp          the passes and levels, and the record's side
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "chemistry/lewis/chem_graph.h"
#include "chemistry/lewis/pi_matching.h"
#include "chemistry/lewis/ring_perception.h"
#include "chemistry/lewis/sybyl_types.h"
#include "molecule/bond_map.h"

namespace tarvex {

class CDataFile;

// Switch k is bit k of the switch word.
enum RuleSwitch : int {
  kGroupCharges = 0,
  kCommonIons = 1,
  kOniumIons = 2,
  kCarbonIons = 3,
  kHypervalentExpansion = 4,
  kAteComplexes = 5,
  kRadicals = 6,
  kNoNeighbourLimits = 7,
};
inline constexpr int kRuleSwitchCount = 8;
constexpr uint32_t SwitchBit(RuleSwitch rule) { return 1u << rule; }

// Levels 0 to kHighestLevel admit that many chosen charges; kLastLevel, tried
// after them, admits any number.
inline constexpr int kHighestLevel = 7;
inline constexpr int kLastLevel = 100;

// The rules a solve runs under: the switches of the pass, and whether it is
// tolerant (see SolveComponent).
struct SearchRules {
  uint32_t switches = 0;
  bool tolerant = false;
  bool On(RuleSwitch rule) const { return (switches & SwitchBit(rule)) != 0; }
};

// Roles that the search gives fixed charges (from environment patterns).
enum GroupRole : uint8_t {
  kNitroOxygen = 0x1,         // "(1O(3N(1O,1O,1O)))", "(1O(3N(O,O,*)))"
  kAzideMiddle = 0x2,         // "(2N(1N,2N))", "(2N(1N,*))"
  kAzideEnd = 0x4,            // the terminal N next to an azide middle N
  kIsocyanideNitrogen = 0x8,  // "(2N(1C,*))"
  kIsocyanideCarbon = 0x10,   // its one-neighbour carbon
  kNitrileOnium = 0x20,       // "(2N(2C,*))": N on an sp carbon (nitrile oxide)
  // A pyrrole-type nitrogen (two ring carbons of a five-membered ring, no
  // hydrogen) bound to a metal or within 2.6 angstrom of one: the
  // nitrogens of porphyrins, chlorins, corrins and phthalocyanines.
  kCoordinatedPyrrole = 0x40,
};

// Everything the search needs about one molecule, gathered once.
struct PerceptionContext {
  ChemGraph graph;
  RingSet rings;  // rings up to eight atoms
  // Per atom: its molecule lacks hydrogen atoms (implicit_hydrogens.h);
  // then the geometry caps its demand (-1: no cap).
  std::vector<char> implicit_hydrogens;
  bool any_implicit_hydrogens = false;
  // Some nitrogen lacks a bond among saturated neighbours (pi_fixes.cpp):
  // it will be completed with an implicit hydrogen too.
  bool open_nitrogens = false;
  std::vector<int> geometric_demand;
  std::vector<uint8_t> roles;  // GroupRole bits per atom
  std::vector<char> in_five_ring;
  std::vector<char> in_azole_ring;  // in a five-ring of three or more nitrogens
  // Per atom with the kCoordinatedPyrrole role: the metal it faces; -1 for
  // the others.
  std::vector<int> facing_metal;
  // Per edge of the graph: the bond's length over the standard single-bond
  // length of its pair, for bonds between C, N, O and S atoms of at most
  // three neighbours (those that may be multiple); 0 where unknown. Empty
  // when no bond qualifies.
  std::vector<float> length_ratio;
  // Per atom: the ion charge its residue or atom name states (FE2, V2+,
  // ion_names.h), kNoNamedCharge where none; empty when no name states one.
  std::vector<int> named_ion_charge;
  // Element of each atom's label when the label is exactly an element
  // symbol ("C", "CL"), else -1: what the group rules compare.
  std::vector<int> label_element;
  // Working lists of the component being solved, kept between molecules so
  // that a system of a million waters allocates them once.
  std::vector<int> local_index;  // -1 outside it
  std::vector<char> visited;
  std::vector<PiAtom> pi;          // per local atom: demand and fixes
  std::vector<int> forced_charge;  // per local atom: the charge its state carries
  // The open bonds (no order yet) between local atoms, as neighbour lists
  // (AdjacencyView): what the pi matching pairs.
  std::vector<int> open_offsets;
  std::vector<int> open_targets;
  std::vector<int> open_edges;  // parallel to open_targets: the edge of the graph
  // The final structure, computed by RefineAtomTypes and reused by
  // AssignMol2BondTypes right after it.
  LewisStructure lewis;
  Aromaticity aromaticity;
  bool structure_ready = false;
};

struct SettledBond {
  int i;
  int j;
  int order;
};

struct ComponentSolution {
  bool ok = false;
  int chosen_charges = 0;          // charges the matching chose (the level counts these)
  std::vector<int> atoms;          // the molecule, in the order the walk met them
  std::vector<int> charges;        // parallel to atoms
  std::vector<SettledBond> bonds;  // every bond without a fixed order
};

// The search state is process-wide (one search runs at a time): the depth
// counter and the path stack of the walk, the rule switches of the current
// pass, the molecule under perception and the last molecule solved.
struct BondSearchState {
  int depth = 0;
  std::vector<int> path;
  uint32_t switches = 0;
  const CDataFile* owner = nullptr;  // whose context is held
  std::unique_ptr<PerceptionContext> context;
  // The last molecule solved, reused while the level rises for the same
  // start atom under the same switches (generation: bumped whenever the
  // fixed orders are reset).
  uint64_t generation = 0;
  bool cached = false;
  const CDataFile* cached_owner = nullptr;
  int cached_start = -1;
  uint32_t cached_switches = 0;
  uint64_t cached_generation = 0;
  ComponentSolution cached_solution;
};
BondSearchState& SearchState();

// Builds the context from plain data. `labels` are the element symbols the
// patterns read (upper case), `bonds` the neighbour lists they walk;
// standard_length(a, b) gives unscaled single-bond lengths for the geometry.
// `named_ion_charges` (per atom, or empty) are the charges the atoms' names
// state (NamedIonCharges).
std::unique_ptr<PerceptionContext> BuildPerceptionContext(int atom_count, const BondMap& bonds,
                                                          const std::vector<std::string>& labels, const Frame& points,
                                                          const std::function<double(int, int)>& standard_length,
                                                          std::vector<int> named_ion_charges = {});

// Solves the molecule that holds `start`. `fixed` holds the orders settled
// before the search (rule groups); `path` is the walk's stack. A tolerant
// solve never fails: atoms that no state fits keep single bonds and no
// charge, and deficiencies without a fix stay as unpaired electrons (the
// fallback for molecules with impossible bonds).
void SolveComponent(PerceptionContext& context, const BondOrderMap& fixed, int start, const SearchRules& rules,
                    std::vector<int>& path, ComponentSolution& solution);

}  // namespace tarvex
