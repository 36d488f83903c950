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
// The eight cumulative rule switches widen the charged states the matching
// may use; pass k of the perception runs with switches 0 to k on:
//   0  neutral valences, states forced by the neighbour count, and the
//      charges that belong to a group: nitro and nitrate (N+ and O-), azide
//      and diazo (the middle N+, the end N-), isocyanide (N+ and C-), nitrile
//      oxides and imines (N+);
//   1  anions on oxygen, sulfur, selenium and nitrogen (carboxylate,
//      phenolate, enolate, thiolate, tetrazolide) and cations on nitrogen
//      (pyridinium, imidazolium, iminium, amidinium and guanidinium);
//   2  onium ions of O, S, Se and P (pyrylium, sulfonium, phosphonium);
//   3  carbanions and carbenium ions (cyclopentadienide, tropylium);
//   4  hypervalent expansion: S, P and halogens may take two more bonds;
//   5  ate complexes of boron (tetra-coordinate borate from three bonds);
//   6  radicals: a deficiency may stay as an unpaired electron (nitroxides);
//   7  the neighbour limits of the registry are lifted (SF6, PF6-).
// The level of a search bounds the charges the matching may choose in one
// molecule (forced and group charges do not count): level 0 asks for a
// neutral Lewis structure, level L admits L charges, level 100 any number.
// The structure found does not depend on the level; a molecule that needs
// more charges than the level admits fails at once.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "chemistry/chem_graph.h"
#include "chemistry/pi_matching.h"
#include "chemistry/ring_perception.h"
#include "chemistry/sybyl_types.h"
#include "molecule/bond_map.h"

namespace tarvex {

class CDataFile;

inline constexpr int kRuleSwitchCount = 8;
inline constexpr int kLastLevel = 100;

// Roles that the search gives fixed charges (from environment patterns).
enum GroupRole : uint8_t {
  kNitroOxygen = 0x1,       // "(1O(3N(1O,1O,1O)))", "(1O(3N(O,O,*)))"
  kAzideMiddle = 0x2,       // "(2N(1N,2N))", "(2N(1N,*))"
  kAzideEnd = 0x4,          // the terminal N next to an azide middle N
  kIsocyanideNitrogen = 0x8,  // "(2N(1C,*))"
  kIsocyanideCarbon = 0x10,   // its one-neighbour carbon
  kNitrileOnium = 0x20,       // "(2N(2C,*))": N on an sp carbon (nitrile oxide)
};

// Everything the search needs about one molecule, gathered once.
struct PerceptionContext {
  ChemGraph graph;
  RingSet rings;                    // rings up to eight atoms
  // Per atom: its molecule lacks hydrogen atoms (implicit_hydrogens.h);
  // then the geometry caps its demand (-1: no cap).
  std::vector<char> implicit_hydrogens;
  bool any_implicit_hydrogens = false;
  std::vector<int> geometric_demand;
  std::vector<uint8_t> roles;       // GroupRole bits per atom
  std::vector<char> in_five_ring;
  // Element of each atom's label when the label is exactly an element
  // symbol ("C", "CL"), else -1: what the group rules compare.
  std::vector<int> label_element;
  // Working lists of the component being solved, kept between molecules so
  // that a system of a million waters allocates them once.
  std::vector<int> local_index;     // -1 outside it
  std::vector<char> visited;
  std::vector<PiAtom> pi;
  std::vector<int> valence;
  std::vector<int> forced_charge;
  std::vector<int> open_offsets;
  std::vector<int> open_targets;
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
  int chosen_charges = 0;     // charges the matching chose (the level counts these)
  std::vector<int> atoms;     // the molecule, in the order the walk met them
  std::vector<int> charges;   // parallel to atoms
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
std::unique_ptr<PerceptionContext> BuildPerceptionContext(
    int atom_count, const BondMap& bonds, const std::vector<std::string>& labels, const Frame& points,
    const std::function<double(int, int)>& standard_length);

// Solves the molecule that holds `start`. `fixed` holds the orders settled
// before the search (rule groups); `path` is the walk's stack. A tolerant
// solve never fails: atoms that no state fits keep single bonds and no
// charge, and deficiencies without a fix stay as unpaired electrons (the
// fallback for molecules with impossible bonds).
void SolveComponent(PerceptionContext& context, const BondOrderMap& fixed, int start, uint32_t switches,
                    std::vector<int>& path, bool tolerant, ComponentSolution& solution);

}  // namespace tarvex
