#include "formats/mol2_file.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <unordered_map>

#include "chemistry/force_field_types.h"
#include "common/exit.h"
#include "common/numbers.h"
#include "common/text.h"
#include "molecule/coordinate_limit.h"
#include "molecule/tables.h"

namespace tarvex {
namespace {

enum class Section { kNone, kMolecule, kAtom, kBond };

constexpr std::string_view kHeaderMark = "@<TRIPOS>";

// Atom names are kept in four columns as the PDB reader keeps them: a name
// that starts with a digit (old hydrogen style, 1HB2) has the digit moved
// behind the rest (HB21), then it is blank-padded or cut to four.
std::string FourCharacterName(std::string_view name) {
  std::string result(name.substr(0, std::min<size_t>(name.size(), 4)));
  if (result.size() > 1 && IsDigit(result[0])) std::rotate(result.begin(), result.begin() + 1, result.end());
  result.resize(4, ' ');
  return result;
}

// The residue name of a substructure: its name without the trailing residue
// number ("ASP16" is ASP); a name made only of digits stays whole.
std::string ResidueNameOf(std::string_view substructure) {
  if (substructure.empty()) return "MOL";
  size_t end = substructure.size();
  while (end > 1 && IsDigit(substructure[end - 1])) --end;
  if (end == 1 && IsDigit(substructure[0])) end = substructure.size();
  return std::string(substructure.substr(0, end));
}

// SYBYL spells two-letter elements with a lower-case second letter (Cl, Br,
// Zn); records read from PDB files hold them in upper case. Its lone pair
// is LP.
std::string SybylElement(const std::string& type) {
  if (type.size() == 2 && type != "LP" && ToUpperChar(type[1]) == type[1] && IsAlpha(type[1]) &&
      ElementIndex(type) > 0) {
    return std::string{type[0], static_cast<char>(type[1] - 'A' + 'a')};
  }
  return type;
}

// An element in the SYBYL spelling (Cl, Zn); the dummy atom and lone pairs
// are DU and LP.
std::string Mol2Element(int element) {
  if (element <= 0) return std::string(kElementSymbols[0]);
  std::string symbol(kElementSymbols[element]);
  if (symbol.size() == 2 && symbol != "LP") symbol[1] = static_cast<char>(symbol[1] - 'A' + 'a');
  return symbol;
}

}  // namespace

CMol2File::CMol2File() = default;
CMol2File::CMol2File(std::string name) { OpenInput(std::move(name)); }
CMol2File::~CMol2File() = default;

void CMol2File::OpenInput(std::string name) { StoreNameAndOpenInput(name); }
void CMol2File::OpenOutput(std::string name, bool open) { OpenOutputShared(name, open); }

struct CMol2File::ReadState {
  Section section = Section::kNone;
  bool seen_molecule = false;
  int molecule_line = 0;  // lines read in the MOLECULE section
  bool no_charges = false;
  bool dotted_types = false;  // some type has a SYBYL suffix (C.ar)
  std::string previous_substructure;
  std::vector<std::pair<int, int>> bond_ids;
};

// Reads one molecule from where the last Read stopped: sections are taken as
// they come, and the next MOLECULE section ends the molecule (the following
// Read starts there), so that an analyzer can step through a file of many
// molecules; at the end of the file a Read gives an empty record. Lines
// starting with "#" are comments (some writers put them before the first
// section), blank lines are passed over, fields may be separated by tabs, and
// sections other than the three above (SUBSTRUCTURE, DICT, SET, HEADTAIL, ...)
// are skipped.
void CMol2File::Read(int) {
  ClearAtomAndResidueGroups();
  title_.clear();
  charge_.clear();
  type_suffix_.clear();
  number_of_residues_ = 0;
  ReadState state;
  std::string_view raw;
  for (uint64_t start = input_.Tell(); input_.ReadLine(raw); start = input_.Tell()) {
    const std::string_view line = TrimRight(raw);
    if (!line.empty() && line.front() == '#') continue;
    if (line.substr(0, kHeaderMark.size()) != kHeaderMark) {
      ReadSectionLine(line, state);
    } else if (!EnterSection(line.substr(kHeaderMark.size()), state)) {
      input_.Seek(start);
      break;
    }
  }
  FinishMolecule(state);
}

// False at the header of the next molecule.
bool CMol2File::EnterSection(std::string_view name, ReadState& state) {
  if (name.substr(0, 8) == "MOLECULE") {
    if (state.seen_molecule) return false;
    state.seen_molecule = true;
    state.section = Section::kMolecule;
    state.molecule_line = 0;
  } else if (name.substr(0, 4) == "ATOM") {
    state.section = Section::kAtom;
  } else if (name.substr(0, 4) == "BOND") {
    state.section = Section::kBond;
  } else {
    state.section = Section::kNone;
  }
  return true;
}

void CMol2File::ReadSectionLine(std::string_view line, ReadState& state) {
  switch (state.section) {
    case Section::kMolecule:
      // The name line may be blank; after it come the counts, the molecule
      // type and the charge type.
      if (state.molecule_line == 0) {
        title_ = std::string(Trim(line));
        ++state.molecule_line;
      } else if (!Trim(line).empty()) {
        if (state.molecule_line == 3) state.no_charges = Trim(line) == "NO_CHARGES";
        ++state.molecule_line;
      }
      break;
    case Section::kAtom:
      if (!Trim(line).empty()) ReadAtomLine(line, state);
      break;
    case Section::kBond: {
      std::vector<std::string_view> fields = SplitWhite(line);
      int origin = 0;
      int target = 0;
      if (fields.size() >= 3 && ParseIntField(fields[1], origin) && ParseIntField(fields[2], target)) {
        state.bond_ids.emplace_back(origin, target);
      }
      break;
    }
    case Section::kNone:
      break;
  }
}

// The counts, the charges unless the file said NO_CHARGES, and the bonds.
// Bonds name atoms by id; the first atom with an id is the one meant
// (AtomNumberToIndex). Bonds to missing atoms, to the atom itself and repeated
// bonds are dropped.
void CMol2File::FinishMolecule(const ReadState& state) {
  const int n = static_cast<int>(atom_index_.size());
  number_of_atoms_ = n;
  head_atom_of_residue_.push_back(n);
  number_of_residues_ = static_cast<int>(head_atom_of_residue_.size()) - 1;
  AssignElements(state);
  if (state.no_charges) charge_.clear();
  BondMap bonds;
  bonds.reserve(n);
  // Without atoms there is no numbering to look ids up in.
  for (size_t k = 0; n > 0 && k < state.bond_ids.size(); ++k) {
    const int a = AtomNumberToIndex(state.bond_ids[k].first);
    const int b = AtomNumberToIndex(state.bond_ids[k].second);
    if (a < 0 || b < 0 || a == b) continue;
    BondMap::List& list = bonds[a];
    if (std::find(list.begin(), list.end(), b) != list.end()) continue;
    list.push_back(b);
    bonds[b].push_back(a);
  }
  ClearConnection();
  SetConnection(bonds);
}

// The atom lines leave the part of each type before its "." in atom_type;
// once every type of the molecule is known, it becomes the element. SYBYL
// types are elements already (C of C.ar, Cl, Na, W), force-field types name
// them by the force field's convention (CT and ca are carbons, nb a
// nitrogen, Os a GLYCAM ring oxygen, CTL2 a CHARMM carbon, Cl- chlorine),
// and a type that is neither (W1 of a CSD metal, Any) leaves the element to
// the atom name. The file's other types tell a SYBYL file from a force
// field's, and which force field a shared name belongs to (CL is chlorine,
// but a carbonyl carbon among CHARMM's lipid types). A solvated system
// repeats a handful of types: each is looked up once (and once more for
// atoms that are a residue of their own).
void CMol2File::AssignElements(const ReadState& state) {
  const size_t n = atom_type_.size();
  std::unordered_map<std::string, size_t> distinct;
  std::vector<std::string_view> types;
  std::vector<size_t> type_of(n);
  for (size_t i = 0; i < n; ++i) {
    auto [it, added] = distinct.try_emplace(atom_type_[i], types.size());
    if (added) types.push_back(it->first);
    type_of[i] = it->second;
  }
  TypeContext context;
  context.fields = FieldsOfTypes(types) | (state.dotted_types ? kSybylTypes : 0u);
  constexpr int kNotYet = -2;
  std::vector<std::array<int, 2>> by_type(types.size(), {kNotYet, kNotYet});
  std::vector<std::string> symbols(kElementCount);
  for (size_t i = 0; i < n; ++i) {
    const size_t r = static_cast<size_t>(residue_number_[i]);
    context.lone_atom = head_atom_of_residue_[r + 1] - head_atom_of_residue_[r] == 1;
    int& decided = by_type[type_of[i]][context.lone_atom ? 1 : 0];
    if (decided == kNotYet) decided = ElementOfAtomType(types[type_of[i]], "", context);
    int element = decided >= 0 ? decided : ElementOfAtomName(Trim(atom_name_[i]));
    if (element < 0) element = 0;
    std::string& symbol = symbols[static_cast<size_t>(element)];
    if (symbol.empty()) symbol = Mol2Element(element);
    atom_type_[i] = symbol;
  }
}

// id name x y z type substructure-id substructure-name charge. Fields that
// are missing or do not parse keep their defaults: the atom's position + 1
// as id, the origin, type DU, substructure 0 named MOL, charge 0.
void CMol2File::ReadAtomLine(std::string_view line, ReadState& state) {
  std::string& previous_substructure = state.previous_substructure;
  std::vector<std::string_view> fields = SplitWhite(line);
  const size_t position = atom_index_.size();
  int id = static_cast<int>(position) + 1;
  if (!fields.empty()) ParseIntField(fields[0], id);
  atom_index_.push_back(id);
  atom_name_.push_back(FourCharacterName(fields.size() > 1 ? fields[1] : std::string_view()));
  Point point{0.0, 0.0, 0.0};
  for (size_t k = 0; k < 3; ++k) {
    if (fields.size() > 2 + k && !ParseDoubleField(fields[2 + k], point[k])) {
      // Other text keeps the origin, but "nan" or "inf" is a coordinate
      // some program could not compute: no structure to go on with.
      double value = 0.0;
      const std::string_view field = fields[2 + k];
      const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
      if (error == std::errc() && end == field.data() + field.size() && !std::isfinite(value)) point[k] = value;
    }
  }
  if (!HoldablePoint(point))
    RefuseCoordinate(point, input_file_name_ + ", line " + std::to_string(input_.LineNumber()));
  cartesian_.push_back(point);
  std::string_view type = fields.size() > 5 ? fields[5] : std::string_view("DU");
  size_t dot = type.rfind('.');
  state.dotted_types = state.dotted_types || dot != std::string_view::npos;
  atom_type_.emplace_back(type.substr(0, dot));
  if (dot == std::string_view::npos)
    type_suffix_.emplace_back();
  else
    type_suffix_.emplace_back(type.substr(dot + 1));
  int substructure_id = 0;
  if (fields.size() > 6) ParseIntField(fields[6], substructure_id);
  std::string substructure(fields.size() > 7 ? fields[7] : std::string_view());
  double charge = 0.0;
  if (fields.size() > 8) ParseDoubleField(fields[8], charge);
  charge_.push_back(charge);

  if (position == 0 || substructure != previous_substructure) {
    head_atom_of_residue_.push_back(static_cast<int>(position));
    previous_substructure = substructure;
  }
  residue_name_.push_back(ResidueNameOf(substructure));
  residue_index_.push_back(substructure_id);
  residue_number_.push_back(static_cast<int>(head_atom_of_residue_.size()) - 1);
}

// Bonds are perceived first when asked (create-bonds bit), then, unless
// NO_TYPE, bond orders, MOL2 types and charges (PerceiveBondTypes). A record
// that could not be typed (no bonds) keeps the type suffixes it was read with.
void CMol2File::Write() {
  RequireWholeStructure();
  if (file_flags_ & kFileCreateBonds) CreateConnection();
  const bool typed = !(file_flags_ & kFileNoType);
  if (typed) PerceiveBondTypes();
  const size_t n = static_cast<size_t>(std::max(number_of_atoms_, 0));
  type_suffix_.resize(n);
  for (size_t i = 0; i < n; ++i) {
    if (!typed)
      type_suffix_[i].clear();
    else if (TypesAssigned())
      type_suffix_[i] = GetMol2AtomType(static_cast<int>(i));
  }

  std::string& out = output_.Buffer();
  bool protein = false;
  for (const std::string& name : residue_name_)
    protein = protein || IsStandardResidue(std::string_view(name).substr(0, 3));
  const std::vector<std::pair<int, int>> bonds = BondPairs();
  const size_t residues = head_atom_of_residue_.size() > 1 ? head_atom_of_residue_.size() - 1 : 1;
  out.append("@<TRIPOS>MOLECULE\n");
  out.append((file_flags_ & kFileMol2Name) ? title_ : FileStem(output_file_name_));
  out.push_back('\n');
  AppendInt(out, static_cast<long long>(n));
  out.push_back(' ');
  AppendInt(out, static_cast<long long>(bonds.size()));
  out.push_back(' ');
  AppendInt(out, static_cast<long long>(residues));
  out.push_back('\n');
  out.append(protein ? "PROTEIN\n" : "SMALL\n");
  out.append(charge_.empty() ? "NO_CHARGES\n" : "USER_CHARGES\n");
  out.push_back('\n');
  WriteAtoms(out);
  WriteBonds(out, bonds);
  WriteSubstructures(out);
  output_.Commit();
  output_.Close();
}

std::string CMol2File::SubstructureName(size_t atom) const {
  std::string name = atom < residue_name_.size() ? std::string(Trim(residue_name_[atom])) : std::string("MOL");
  const long long ordinal = atom < residue_number_.size() ? residue_number_[atom] : 0;
  name += std::to_string(ordinal + 1);
  return name;
}

void CMol2File::WriteAtoms(std::string& out) {
  const size_t n = static_cast<size_t>(std::max(number_of_atoms_, 0));
  const bool sybyl_case = TypesAssigned() && !(file_flags_ & kFileNoType);
  out.append("@<TRIPOS>ATOM\n");
  for (size_t i = 0; i < n; ++i) {
    AppendInt(out, static_cast<long long>(i) + 1, 7);
    out.push_back(' ');
    AppendLeft(out, i < atom_name_.size() ? std::string_view(atom_name_[i]) : "DU", 8);
    out.push_back(' ');
    const Point point = i < cartesian_.size() ? cartesian_[i] : Point{0.0, 0.0, 0.0};
    for (double value : point) {
      AppendFixed(out, value, 10, 5);
      out.push_back(' ');
    }
    std::string type = i < atom_type_.size() ? atom_type_[i] : std::string("DU");
    if (sybyl_case) type = SybylElement(type);
    if (i < type_suffix_.size() && !type_suffix_[i].empty()) type += "." + type_suffix_[i];
    AppendLeft(out, type, 6);
    out.push_back(' ');
    AppendInt(out, static_cast<long long>(i < residue_number_.size() ? residue_number_[i] : 0) + 1, 4);
    out.push_back(' ');
    AppendLeft(out, SubstructureName(i), 6);
    out.push_back(' ');
    AppendFixed(out, i < charge_.size() ? charge_[i] : 0.0, 9, 5);
    out.push_back('\n');
    output_.Commit();
  }
}

// Each bond once as (a, b), a < b, in ascending a and then in the order of
// a's bond list; a bond that only b's list names (a one-sided CONECT record)
// follows a's own.
std::vector<std::pair<int, int>> CMol2File::BondPairs() const {
  const int n = std::max(number_of_atoms_, 0);
  auto lists = [&](int a, int b) {
    const BondMap::List* list = connection_.find(a);
    return list && std::find(list->begin(), list->end(), b) != list->end();
  };
  std::vector<std::vector<int>> one_sided(static_cast<size_t>(n));
  for (auto [atom, neighbours] : connection_) {
    for (int other : neighbours) {
      if (other >= 0 && other < atom && atom < n && !lists(other, atom)) {
        one_sided[other].push_back(atom);
      }
    }
  }
  std::vector<std::pair<int, int>> pairs;
  for (int a = 0; a < n; ++a) {
    const size_t first = pairs.size();
    if (const BondMap::List* list = connection_.find(a)) {
      for (size_t k = 0; k < list->size(); ++k) {
        const int b = (*list)[k];
        if (b <= a || b >= n ||
            std::find(list->begin(), list->begin() + static_cast<long>(k), b) != list->begin() + static_cast<long>(k))
          continue;
        pairs.emplace_back(a, b);
      }
    }
    for (int b : one_sided[a]) {
      auto own = pairs.begin() + static_cast<long>(first);
      if (std::find(own, pairs.end(), std::make_pair(a, b)) == pairs.end()) pairs.emplace_back(a, b);
    }
  }
  return pairs;
}

void CMol2File::WriteBonds(std::string& out, const std::vector<std::pair<int, int>>& bonds) {
  const bool typed = !(file_flags_ & kFileNoType);
  out.append("@<TRIPOS>BOND\n");
  long long id = 0;
  for (auto [a, b] : bonds) {
    AppendInt(out, ++id, 6);
    out.push_back(' ');
    AppendInt(out, static_cast<long long>(a) + 1, 5);
    out.push_back(' ');
    AppendInt(out, static_cast<long long>(b) + 1, 5);
    out.push_back(' ');
    std::string type = typed ? GetMol2BondType(a, b) : std::string();
    AppendRight(out, type.empty() ? "un" : type, 5);
    out.push_back('\n');
    output_.Commit();
  }
}

void CMol2File::WriteSubstructures(std::string& out) {
  out.append("@<TRIPOS>SUBSTRUCTURE\n");
  const size_t n = static_cast<size_t>(std::max(number_of_atoms_, 0));
  const size_t residues = head_atom_of_residue_.size() > 1 ? head_atom_of_residue_.size() - 1 : (n > 0 ? 1 : 0);
  for (size_t r = 0; r < residues; ++r) {
    const size_t head =
        r < head_atom_of_residue_.size() ? static_cast<size_t>(std::max(head_atom_of_residue_[r], 0)) : 0;
    AppendInt(out, static_cast<long long>(r) + 1, 7);
    out.push_back(' ');
    AppendRight(out, SubstructureName(head), 8);
    out.push_back(' ');
    AppendInt(out, static_cast<long long>(head) + 1, 7);
    out.push_back('\n');
  }
}

}  // namespace tarvex
