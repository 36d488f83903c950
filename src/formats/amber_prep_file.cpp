// Amber PREP residue templates. The layout is in amber_prep_file.h; the
// folklore of real files, all of which the reader takes:
//   - LEaP's libraries put a database name ("db94.dat") on the line after the
//     header, where antechamber leaves it empty; a stray empty line may come
//     before the header.
//   - The residue file name line may be empty, and lines are often padded
//     with blanks (all_amino94.in) or hold a tab (nma.in).
//   - Old templates (chcl3.in, meoh.in) cut the dummy lines short ("1 DUMM DU
//     M 0 0 0 0."), leaving out the angle, the dihedral and the charge, and
//     write numbers as "0.", "90." or "-.0411".
//   - LEaP's own templates (nma.in) leave every reference column at 0 and
//     rely on the tree types for the geometry, and may repeat an atom number
//     (three atoms numbered 13): atoms are taken in line order.
//   - The charges may stand in a CHARGE section after the atom lines instead
//     of on them (the CYM and NHE residues of all_amino94.in).
#include "formats/amber_prep_file.h"

#include <algorithm>

#include "chemistry/force_field_types.h"
#include "common/console.h"
#include "common/exit.h"
#include "common/numbers.h"
#include "common/printable.h"
#include "common/text.h"
#include "formats/amber_names.h"
#include "formats/pdb_file.h"
#include "molecule/atom_numbers.h"
#include "molecule/coordinate_limit.h"
#include "molecule/tables.h"

namespace tarvex {
namespace {

constexpr int kDummyAtoms = 3;
constexpr std::string_view kDummyType = "DU";

std::string FirstWordUpper(std::string_view line) {
  std::string_view word;
  return NextWord(line, word) ? ToUpper(word) : std::string();
}

bool IsIntegerLine(std::string_view line) {
  std::vector<std::string_view> words = SplitWhite(line);
  int value = 0;
  return !words.empty() &&
         std::all_of(words.begin(), words.end(), [&](std::string_view w) { return ParseIntField(w, value); });
}

// "ALA  INT  1": the residue name and the coordinate type.
bool IsResidueLine(std::string_view line) {
  std::vector<std::string_view> words = SplitWhite(line);
  if (words.size() < 2) return false;
  const std::string type = ToUpper(words[1]);
  return type == "INT" || type == "XYZ";
}

bool IsSectionWord(const std::string& word) {
  return word == "LOOP" || word == "IMPROPER" || word == "CHARGE" || word == "DONE" || word == "STOP";
}

[[noreturn]] void BadLine(const std::string& file, uint64_t line_number, std::string_view what, std::string_view line) {
  throw PrepResidueError("Error: " + file + ": line " + std::to_string(line_number) + " " + std::string(what) + ": " +
                         Printable(Trim(line)));
}

// The rest of a residue that cannot be read, up to its DONE (or STOP, or the
// end of the file).
void PassOverResidue(LineReader& input) {
  std::string_view line;
  while (input.ReadLine(line)) {
    const std::string first = FirstWordUpper(line);
    if (first == "DONE" || first == "STOP") return;
  }
}

// IDBGEN IREST ITYPF, then the database name line.
void PassOverHeader(LineReader& input) {
  std::string_view line;
  if (!input.ReadLine(line)) return;
  if (!Trim(line).empty()) {
    input.ReadLine(line);
    return;
  }
  if (input.ReadLine(line) && IsIntegerLine(line)) input.ReadLine(line);
}

// number name type tree NA NB NC R THETA PHI [charge]; the values after NC
// may be cut short on dummy lines and count as 0.
PrepAtom ParseAtomLine(std::string_view line, uint64_t line_number, const std::string& file, bool& has_charge) {
  std::vector<std::string_view> w = SplitWhite(line);
  PrepAtom atom;
  atom.line = static_cast<int>(line_number);
  bool ok = w.size() >= 8 && w.size() <= 11 && ParseIntField(w[0], atom.number);
  for (size_t k = 0; ok && k < 3; ++k) ok = ParseIntField(w[4 + k], atom.references[k]);
  for (size_t k = 0; ok && k < 3 && 7 + k < w.size(); ++k) ok = ParseDoubleField(w[7 + k], atom.values[k]);
  if (ok && w.size() == 11) ok = ParseDoubleField(w[10], atom.charge);
  if (!ok) BadLine(file, line_number, "is not a PREP atom line", line);
  has_charge = w.size() == 11;
  atom.name = std::string(w[1]);
  atom.type = std::string(w[2]);
  atom.tree = ToUpper(w[3]);
  return atom;
}

// The atom lines up to the empty line that ends them (or a section word,
// when the empty line is missing, returned in `next`).
void ReadAtomLines(LineReader& input, const std::string& file, PrepResidue& residue, std::string& next) {
  std::string_view line;
  while (input.ReadLine(line)) {
    std::string first = FirstWordUpper(line);
    if (first.empty()) break;
    if (IsSectionWord(first)) {
      next = first;
      break;
    }
    bool has_charge = false;
    residue.atoms.push_back(ParseAtomLine(line, input.LineNumber(), file, has_charge));
    residue.charged = residue.charged || (has_charge && residue.atoms.back().type != kDummyType);
  }
}

// LOOP, IMPROPER and CHARGE sections up to DONE (or STOP, or the end).
void ReadSections(LineReader& input, const std::string& file, PrepResidue& residue, std::string section) {
  std::string_view line;
  while (section != "DONE" && section != "STOP" && input.ReadLine(line)) {
    std::vector<std::string_view> words = SplitWhite(line);
    if (words.empty()) {
      section.clear();
      continue;
    }
    const std::string first = ToUpper(words[0]);
    if (IsSectionWord(first)) {
      section = first;
    } else if (section == "LOOP" && words.size() >= 2) {
      residue.loops.push_back({std::string(words[0]), std::string(words[1])});
    } else if (section == "CHARGE") {
      for (std::string_view word : words) {
        double charge = 0.0;
        if (!ParseDoubleField(word, charge)) BadLine(file, input.LineNumber(), "is not a line of charges", line);
        residue.charges.push_back(charge);
      }
    }
  }
}

}  // namespace

namespace {

bool ReadResidueLines(LineReader& input, const std::string& file, PrepResidue& residue) {
  std::string_view line;
  if (!input.ReadLine(line) || FirstWordUpper(line) == "STOP") return false;
  residue.title = std::string(Trim(line));
  bool anything = !residue.title.empty();
  // The residue file name line, possibly empty, comes before the residue
  // line; blank lines between residues move both down.
  bool found = false;
  for (int k = 0; k < 3 && !found && input.ReadLine(line); ++k) {
    found = IsResidueLine(line);
    anything = anything || !Trim(line).empty();
  }
  if (!found) {
    if (!anything) return false;
    throw PrepResidueError("Error: " + file + ": no residue line (NAME INT 0) after the title \"" +
                           Printable(residue.title) + "\".");
  }
  std::vector<std::string_view> words = SplitWhite(line);
  residue.name = std::string(words[0]);
  residue.cartesian = ToUpper(words[1]) == "XYZ";
  if (!input.ReadLine(line) || !input.ReadLine(line)) return true;  // control line, cut-off
  std::string next;
  ReadAtomLines(input, file, residue, next);
  ReadSections(input, file, residue, next);
  return true;
}

}  // namespace

bool ReadPrepResidue(LineReader& input, const std::string& file, bool& header_pending, PrepResidue& residue) {
  residue = PrepResidue();
  if (header_pending) {
    PassOverHeader(input);
    header_pending = false;
  }
  try {
    return ReadResidueLines(input, file, residue);
  } catch (const PrepResidueError&) {
    PassOverResidue(input);
    throw;
  }
}

namespace {

// The branches an atom of each tree type opens below itself.
int OpenBranches(const std::string& tree) {
  if (tree == "S") return 1;
  if (tree == "B") return 2;
  if (tree == "3") return 3;
  return 0;
}

bool IsTreeType(const std::string& tree) { return tree == "M" || tree == "E" || OpenBranches(tree) > 0; }

// The atom each atom hangs from in the residue's tree (-1 for the first and
// for atoms whose tree type is not one of M S B 3 E). The atoms come in
// depth-first order: a main-chain atom hangs from the main-chain atom
// before it; any other atom from the last branching atom with a branch
// still open, else from the last main-chain atom.
std::vector<int> TreeParents(const PrepResidue& residue) {
  const int n = static_cast<int>(residue.atoms.size());
  std::vector<int> parents(static_cast<size_t>(n), -1);
  std::vector<std::pair<int, int>> open;  // atom, branches left
  int last_main = -1;
  for (int i = 0; i < n; ++i) {
    const std::string& tree = residue.atoms[i].tree;
    if (!IsTreeType(tree)) continue;
    int parent = last_main;
    if (tree != "M" && !open.empty()) {
      parent = open.back().first;
      if (--open.back().second == 0) open.pop_back();
    }
    parents[i] = i > 0 && parent < 0 ? i - 1 : parent;
    if (tree == "M") last_main = i;
    if (OpenBranches(tree) > 0) open.emplace_back(i, OpenBranches(tree));
  }
  return parents;
}

}  // namespace

std::vector<ReferenceTriple> PrepReferences(const PrepResidue& residue, const std::string& file) {
  const size_t n = residue.atoms.size();
  // A reference names the first atom carrying its number.
  AtomNumbers numbers;
  numbers.reserve(n);
  for (const PrepAtom& atom : residue.atoms) numbers.push_back(atom.number);
  const std::vector<int> parents = TreeParents(residue);
  std::vector<ReferenceTriple> references(n);
  for (size_t i = 0; i < n; ++i) {
    const PrepAtom& atom = residue.atoms[i];
    const int need = static_cast<int>(std::min<size_t>(i, 3));
    ReferenceTriple refs{};
    for (int k = need; k < 3; ++k) refs[k] = need - 1 - k;
    bool usable = true;
    for (int k = 0; k < need; ++k) {
      const int position = numbers.FirstPosition(atom.references[k], static_cast<int>(n));
      usable = usable && position >= 0 && position < static_cast<int>(i) &&
               std::find(refs.begin(), refs.begin() + k, position) == refs.begin() + k;
      refs[k] = position;
    }
    for (int k = 0; !usable && k < need; ++k) {
      const int below = k == 0 ? static_cast<int>(i) : refs[k - 1];
      refs[k] = below < 0 ? -1 : parents[below];
      if (refs[k] < 0) {
        throw PrepResidueError("Error: " + file + ": line " + std::to_string(atom.line) + ": atom " +
                               Printable(atom.name) + " of residue " + Printable(residue.name) +
                               " has no usable reference atoms, and the tree types do not give them.");
      }
    }
    references[i] = refs;
  }
  return references;
}

CAmberPrepFile::CAmberPrepFile() = default;
CAmberPrepFile::CAmberPrepFile(std::string name) { OpenInput(std::move(name)); }
CAmberPrepFile::~CAmberPrepFile() = default;

void CAmberPrepFile::OpenInput(std::string name) { StoreNameAndOpenInput(name); }
void CAmberPrepFile::OpenOutput(std::string name, bool open) { OpenOutputShared(name, open); }

// One residue per call: the first call reads the file header too, later
// calls continue with the next residue of a library. After the last one the
// record is left empty.
void CAmberPrepFile::Read(int) {
  std::string problem;
  std::string residue_name;
  ReadResidue(true, problem, residue_name);
  if (!problem.empty()) Fatal(problem);
}

// "Error: lib.in: residue DA5 passed over: line 40 is not a PREP atom line:
// ..." from the reader's "Error: lib.in: line 40 ...".
bool CAmberPrepFile::ReadOrPassOver(bool geometry, std::string& problem) {
  std::string residue_name;
  const bool more = ReadResidue(geometry, problem, residue_name);
  if (!problem.empty()) {
    const std::string prefix = "Error: " + input_file_name_ + ": ";
    const bool prefixed = problem.compare(0, prefix.size(), prefix) == 0;
    problem = prefix + (residue_name.empty() ? "a residue" : "residue " + residue_name) +
              " passed over: " + problem.substr(prefixed ? prefix.size() : 0);
  }
  return more;
}

void CAmberPrepFile::ClearRecord() {
  ClearAtomAndResidueGroups();
  title_.clear();
  charge_.clear();
  internal_.clear();
  internal_reference_.clear();
  ClearConnection();
  number_of_atoms_ = 0;
  number_of_residues_ = 0;
}

namespace {

// The leading dummy atoms (type DU, at most three) that place the residue.
size_t LeadingDummies(const PrepResidue& residue) {
  size_t count = 0;
  while (count < kDummyAtoms && count < residue.atoms.size() && residue.atoms[count].type == kDummyType) ++count;
  return count;
}

}  // namespace

// The residue's atoms, then its geometry. A residue whose references place
// no atom is refused before its atoms are looked at, unless its geometry is
// not needed.
bool CAmberPrepFile::ReadResidue(bool geometry, std::string& problem, std::string& residue_name) {
  ClearRecord();
  problem.clear();
  PrepResidue residue;
  try {
    const bool found = ReadPrepResidue(input_, input_file_name_, header_pending_, residue);
    residue_name = residue.name;
    if (!found) return false;
    if (geometry) PrepReferences(residue, input_file_name_);
  } catch (const PrepResidueError& error) {
    residue_name = residue.name;
    ClearRecord();
    problem = error.what();
    return true;
  }
  const size_t dummies = LeadingDummies(residue);
  FillAtoms(residue, dummies);
  try {
    FillGeometry(residue, dummies);
  } catch (const PrepResidueError& error) {
    cartesian_.clear();
    internal_.clear();
    internal_reference_.clear();
    ClearConnection();
    if (geometry) {
      ClearRecord();
      problem = error.what();
    }
  }
  return true;
}

// Names, element types, charges and the one residue.
void CAmberPrepFile::FillAtoms(const PrepResidue& residue, size_t dummies) {
  const size_t n = residue.atoms.size() - dummies;
  title_ = residue.title;
  // The residue's types tell which force field a shared type name belongs
  // to (force_field_types.h); a residue of one atom is an ion.
  std::vector<std::string_view> types;
  for (size_t i = dummies; i < residue.atoms.size(); ++i) types.push_back(residue.atoms[i].type);
  TypeContext context;
  context.fields = FieldsOfTypes(types);
  context.lone_atom = n == 1;
  for (size_t i = dummies; i < residue.atoms.size(); ++i) {
    const PrepAtom& atom = residue.atoms[i];
    int element = ElementOfAtomType(atom.type, atom.name, context);
    if (element < 0) {
      Warn("Found incorrect atom type.");
      element = 0;
    }
    const std::string_view symbol = kElementSymbols[element];
    std::string name = atom.name;
    name.resize(4, ' ');
    atom_name_.push_back(AlignAmberName(name, symbol));
    atom_type_.emplace_back(symbol);
    atom_index_.push_back(static_cast<int>(i - dummies) + 1);
    residue_name_.push_back(residue.name);
    residue_index_.push_back(1);
    residue_number_.push_back(0);
    if (residue.charged && residue.charges.empty()) charge_.push_back(atom.charge);
  }
  number_of_atoms_ = static_cast<int>(n);
  number_of_residues_ = n > 0 ? 1 : 0;
  head_atom_of_residue_ = {0, static_cast<int>(n)};
  if (!residue.charges.empty()) {
    if (residue.charges.size() != n) {
      Warn("Warning: " + input_file_name_ + ": residue " + Printable(residue.name) + " has " +
           std::to_string(residue.charges.size()) + " charges in its CHARGE section for " + std::to_string(n) +
           " atoms.");
    }
    charge_.assign(n, 0.0);
    std::copy_n(residue.charges.begin(), std::min(n, residue.charges.size()), charge_.begin());
  }
}

// Coordinates (from the Z-matrix, or as written) and the template's bonds.
void CAmberPrepFile::FillGeometry(const PrepResidue& residue, size_t dummies) {
  const std::vector<ReferenceTriple> references = PrepReferences(residue, input_file_name_);
  if (residue.cartesian) {
    for (size_t i = dummies; i < residue.atoms.size(); ++i) cartesian_.push_back(residue.atoms[i].values);
  } else {
    for (const PrepAtom& atom : residue.atoms) internal_.push_back(atom.values);
    internal_reference_ = references;
    BuildCartesian(dummies, residue.name);
  }
  // Absurd values (1e300, or a Z-matrix of such lengths) make no structure.
  for (size_t i = 0; i < cartesian_.size(); ++i) {
    if (!HoldablePoint(cartesian_[i])) {
      throw PrepResidueError(CoordinateRefusal(
          cartesian_[i], input_file_name_ + ": line " + std::to_string(residue.atoms[i + dummies].line)));
    }
  }
  ConnectTemplate(residue, references, dummies);
}

// The template's bonds: each real atom to the atom its bond length runs to
// (NA), and the ring closures of the LOOP section.
void CAmberPrepFile::ConnectTemplate(const PrepResidue& residue, const std::vector<ReferenceTriple>& references,
                                     size_t dummies) {
  const int n = number_of_atoms_;
  BondMap bonds;
  bonds.reserve(n);
  auto bond = [&](int a, int b) {
    if (a == b || a < 0 || b < 0) return;
    BondMap::List& list = bonds[a];
    if (std::find(list.begin(), list.end(), b) != list.end()) return;
    list.push_back(b);
    bonds[b].push_back(a);
  };
  const int offset = static_cast<int>(dummies);
  for (int i = 0; i < n; ++i) bond(i, references[i + offset][0] - offset);
  auto position = [&](const std::string& name) {
    for (int i = 0; i < n; ++i) {
      if (Trim(atom_name_[i]) == name) return i;
    }
    return -1;
  };
  for (const auto& [first, second] : residue.loops) {
    const int a = position(first);
    const int b = position(second);
    if (a < 0 || b < 0) {
      Warn("Warning: " + input_file_name_ + ": the LOOP bond " + Printable(first) + "-" + Printable(second) +
           " of residue " + Printable(residue.name) + " names an atom the residue does not have.");
    }
    bond(a, b);
  }
  AdoptConnection(std::move(bonds));
}

// Coordinates from the Z-matrix; the dummy atoms' points are dropped with
// the dummy atoms.
void CAmberPrepFile::BuildCartesian(size_t dummies, const std::string& residue_name) {
  InternalToCartesian();
  if (cartesian_.size() != internal_.size()) {
    throw PrepResidueError("Error: " + input_file_name_ + ": the Z-matrix of residue " + Printable(residue_name) +
                           " does not give coordinates for every atom.");
  }
  cartesian_.erase(cartesian_.begin(), cartesian_.begin() + static_cast<long>(dummies));
}

namespace {

// The Z-matrix may run ahead of the atom lists by the dummy atoms that a
// template read from a file keeps only there; dummy atoms are also the
// leading atoms of type DU that CartesianToInternal puts in front.
size_t DummiesAhead(CDataFile& record) {
  const size_t atoms = static_cast<size_t>(std::max(record.GetNumberOfAtoms(), 0));
  return record.GetInternal().size() > atoms ? record.GetInternal().size() - atoms : 0;
}

std::string TemplateResidueName(CDataFile& record) {
  const std::vector<std::string>& types = record.GetAtomType();
  const std::vector<std::string>& residues = record.GetResidueName();
  size_t first = 0;
  while (first < kDummyAtoms && first < types.size() && types[first] == kDummyType) ++first;
  if (DummiesAhead(record) > 0) first = 0;
  if (first >= residues.size()) return "MOL";
  std::string_view name = Trim(residues[first]);
  return name.empty() ? "MOL" : std::string(name.substr(0, 3));
}

// The type column carries the element. Two-letter elements are spelt with a
// lower-case second letter (Na, Ca, Cl): in this column, as Amber and
// antechamber read it, NA and CA are aromatic nitrogen and carbon types.
std::string ElementAsType(const std::string& element) {
  std::string type(Trim(element));
  const int index = ElementIndex(ToUpper(type));
  if (type.size() == 2 && IsElementNumber(index)) type[1] = static_cast<char>(std::tolower(type[1]));
  return type;
}

void AppendAtomLines(std::string& out, CDataFile& record) {
  const std::vector<Point>& internal = record.GetInternal();
  const std::vector<ReferenceTriple>& references = record.GetInternalReference();
  const std::vector<std::string>& names = record.GetAtomName();
  const std::vector<std::string>& types = record.GetAtomType();
  const std::vector<double>& charges = record.GetCharge();
  const size_t ahead = DummiesAhead(record);
  for (size_t j = 0; j < internal.size(); ++j) {
    const long atom = static_cast<long>(j) - static_cast<long>(ahead);
    const size_t a = static_cast<size_t>(std::max(atom, 0L));
    const bool dummy = atom < 0 || (j < kDummyAtoms && a < types.size() && types[a] == kDummyType);
    std::string_view name = dummy ? "DUMM" : (a < names.size() ? Trim(names[a]) : std::string_view("DU"));
    const std::string type = dummy || a >= types.size() ? std::string(kDummyType) : ElementAsType(types[a]);
    AppendInt(out, static_cast<long long>(j) + 1, 4);
    out.append("  ");
    AppendLeft(out, name, 5);
    out.push_back(' ');
    AppendLeft(out, type, 6);
    AppendLeft(out, "M", 2);
    out.push_back(' ');
    const ReferenceTriple refs = j < references.size() ? references[j] : ReferenceTriple{-1, -1, -1};
    for (int ref : refs) {
      AppendInt(out, static_cast<long long>(ref) + 1, 3);
      out.push_back(' ');
    }
    for (double value : internal[j]) {
      AppendFixed(out, value, 9, 3);
      out.push_back(' ');
    }
    AppendFixed(out, !dummy && a < charges.size() ? charges[a] : 0.0, 9, 5);
    out.push_back('\n');
  }
}

void AppendTemplate(std::string& out, CDataFile& record) {
  out.append("    0    0    2\n\n");
  const std::string title = record.GetTitle();
  const std::string_view first_line = std::string_view(title).substr(0, title.find('\n'));
  out.append(first_line.empty() ? "This is a remark line" : first_line);
  out.append("\nmolecule.res\n");
  AppendLeft(out, TemplateResidueName(record), 6);
  AppendLeft(out, "INT", 5);
  AppendLeft(out, "0", 3);
  out.append("\nCORRECT     OMIT DU   BEG\n");
  AppendFixed(out, 0.0, 8, 4);
  out.push_back('\n');
  AppendAtomLines(out, record);
  out.append("\n\nDONE\nSTOP\n");
}

}  // namespace

namespace {

// A template opens with three dummy atoms: in the Z-matrix alone (a template
// read from a file) or as leading atoms of type DU.
bool OpensWithDummies(CDataFile& record) {
  size_t dummies = DummiesAhead(record);
  const std::vector<std::string>& types = record.GetAtomType();
  for (size_t i = 0; dummies < kDummyAtoms && i < types.size() && types[i] == kDummyType; ++i) ++dummies;
  return dummies >= kDummyAtoms;
}

// A Z-matrix of another program (a Gaussian input) names each atom's bond
// partner as its first reference: without bonds of its own the record
// takes those, so that the template's tree follows the user's Z-matrix.
void BondsFromZMatrix(CDataFile& record) {
  if (!record.GetConnection().empty()) return;
  const std::vector<ReferenceTriple>& references = record.GetInternalReference();
  BondMap bonds;
  for (size_t i = 0; i < references.size(); ++i) {
    const int partner = references[i][0];
    if (partner < 0) continue;
    bonds[static_cast<int>(i)].push_back(partner);
    bonds[partner].push_back(static_cast<int>(i));
  }
  record.SetConnection(bonds);
}

}  // namespace

// The fixed lines of a one-residue file; the atom lines come from the
// Z-matrix. A record without one, or with one that does not open with the
// three dummy atoms of a template (a Gaussian Z-matrix), gets it from its
// coordinates (CartesianToInternal, which puts three dummy atoms in front),
// worked out on a copy: the record itself keeps its atoms, so that the
// frames of a trajectory written one after another (-a) all start from the
// same atoms.
void CAmberPrepFile::Write() {
  if (file_flags_ & kFileCreateBonds) CreateConnection();
  if (Holds(State::kInternal) && OpensWithDummies(*this)) {
    AppendTemplate(output_.Buffer(), *this);
  } else {
    RequireWholeStructure();
    CPdbFile copy;
    copy.CopyState(*this);
    BondsFromZMatrix(copy);
    copy.GetInternal().clear();
    copy.GetInternalReference().clear();
    copy.CartesianToInternal();
    AppendTemplate(output_.Buffer(), copy);
  }
  output_.Commit();
  output_.Close();
}

}  // namespace tarvex
