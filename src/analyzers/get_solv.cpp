#include "analyzers/get_solv.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <limits>

#include "common/console.h"
#include "common/exit.h"
#include "common/numbers.h"
#include "common/run_settings.h"
#include "common/text.h"
#include "formats/pdb_file.h"
#include "molecule/cell_grid.h"
#include "molecule/geometry.h"

namespace tarvex {
namespace {

constexpr std::string_view kHelpOptions =
    " Option:\n"
    "   -h              : Help\n"
    "   -v              : Version\n"
    "   -a <...>        : Select atom numbers to extract solvent molecules\n"
    "   -b <...>        : Select residue numbers or names to extract solvent molecules\n"
    "   -r <radius>     : Set radius of the selected atoms or residues to extract solvent molecules [10.0]\n"
    "   -n <number>     : Set number of closest solvent molecules to the selected atoms within the radius [none]\n"
    "   -x <...>        : Set solvent names to extract [WAT HOH H2O]\n"
    "   -m              : Select solute molecule\n"
    "   -f <flags...>   : Set flags\n"
    "                   :  BOX ... read BOX parameters for Amber CRD/RST files\n"
    "   -i files...     : Input files\n"
    "   -it file type...: Input files and file-type indices\n"
    "   -o file         : Output PDB file\n"
    "\n";

constexpr AnalyzerTexts kTexts = {
    .version = "0.21",
    .revision = "C",
    .description = "Extract solvent molecules within specified radius.",
    .usage_synopsis =
        " [-hvm] [-a <...>] [-b <...>] [-r <radius>] [-x <...>] [-f <...>] -i infiles... -it infile "
        "infile-type... -o outfile",
    .help_options = kHelpOptions,
    .file_type_column = 19,
    .target_notes = TargetNotes::kPlain,
};

constexpr FlagWord kFlags[] = {{"BOX", CGetSolv::kBox}};

// Residues are told apart by their key: the first three characters of the
// name, blanks removed, in upper case (so "HOH1" and " WAT" are solvent).
std::string ResidueKey(std::string_view name) {
  std::string key;
  for (char c : name.substr(0, 3)) {
    if (!IsBlank(c)) key.push_back(ToUpperChar(c));
  }
  return key;
}

// Whether test(point) holds for the point of some selected atom that can
// pass a cube or distance test with p: those the grid of the selection finds
// near p, and those it leaves out for coordinates that are not finite (an
// infinite coordinate still passes the cube test of an infinite point).
template <typename Test>
bool AnySelectedNear(const CellGrid& grid, const Point* points, const Point& p, Test&& test) {
  if (grid.ForEachNear(p, [&](const CellGrid::Member& s) { return test(s.point); })) return true;
  for (int s : grid.LeftOut()) {
    if (test(points[s])) return true;
  }
  return false;
}

std::string FormatGeneral(double value) {
  std::array<char, 64> buffer{};
  auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::general, 6);
  return error == std::errc() ? std::string(buffer.data(), end) : std::string();
}

}  // namespace

std::vector<int> FindCubeCandidates(const ShellSystem& system, const std::vector<int>& selected, double radius) {
  std::vector<int> candidates;
  if (selected.empty()) return candidates;
  const CellGrid grid(system.points, selected, radius);
  std::vector<uint8_t> marked(static_cast<size_t>(system.residue_count), 0);
  for (int j = 0; j < system.atom_count; ++j) {
    const int residue = system.residue_of_atom[j];
    if (marked[residue]) continue;
    const Point& p = system.points[j];
    if (AnySelectedNear(grid, system.points, p, [&](const Point& s) { return InCube(s, p, radius); })) {
      marked[residue] = 1;
    }
  }
  for (int r = 0; r < system.residue_count; ++r) {
    if (marked[r]) candidates.push_back(r);
  }
  return candidates;
}

std::vector<int> FindSolventWithin(const ShellSystem& system, const std::vector<int>& selected,
                                   const std::vector<int>& candidates, double radius) {
  std::vector<int> extracted;
  if (selected.empty()) return extracted;
  const CellGrid grid(system.points, selected, radius);
  for (int r : candidates) {
    if (!system.solvent[r]) continue;
    for (int k = system.head[r]; k < system.head[r + 1]; ++k) {
      const Point& p = system.points[k];
      if (AnySelectedNear(grid, system.points, p, [&](const Point& s) { return Distance(p, s) <= radius; })) {
        extracted.push_back(r);
        break;
      }
    }
  }
  return extracted;
}

// Every extracted residue has a pair within the radius, so its closest pair
// is among the pairs the grid visits (the distance to a selected atom the
// grid leaves out is never a number below the radius).
std::vector<int> OrderNearestFirst(const ShellSystem& system, const std::vector<int>& selected,
                                   const std::vector<int>& extracted, double radius, int count) {
  const CellGrid grid(system.points, selected, radius);
  std::vector<std::pair<double, int>> ranked;
  ranked.reserve(extracted.size());
  for (int r : extracted) {
    double nearest = std::numeric_limits<double>::infinity();
    for (int k = system.head[r]; k < system.head[r + 1]; ++k) {
      const Point& p = system.points[k];
      grid.ForEachNear(p, [&](const CellGrid::Member& s) {
        nearest = std::min(nearest, Distance(p, s.point));
        return false;
      });
    }
    ranked.emplace_back(nearest, r);
  }
  std::stable_sort(ranked.begin(), ranked.end(),
                   [](const std::pair<double, int>& a, const std::pair<double, int>& b) { return a.first < b.first; });
  std::vector<int> ordered;
  const size_t keep = std::min(ranked.size(), static_cast<size_t>(std::max(count, 0)));
  for (size_t i = 0; i < keep; ++i) ordered.push_back(ranked[i].second);
  return ordered;
}

// The output is opened for writing as soon as it is named.
CGetSolv::CGetSolv() : CAnalyzer(kTexts), molecule_(std::make_unique<CPdbFile>()) {
  DeclareOptions({
      .options =
          {
              Option::Integers("a", atoms_),
              Option::NumbersOrNames("b", residues_, residue_names_, -1),
              Option::Real("r", radius_, "."),
              Option::Integer("n", closest_),
              Option::Names("x", solvent_names_),
              Option::Switch("m", kSelectSolute),
              Option::Flags("f", kFlags),
              Option::Files("i", inputs_, kSkipUnknownInput).Box(kBox).Sets(kInput),
              Option::File("o", output_, FileType::kPdb, Opening::kOutputNow).Sets(kOutput),
          },
      .required = {kInput, kOutput},
  });
}

CGetSolv::~CGetSolv() = default;

void CGetSolv::Run() {
  MergeInputFiles(inputs_, molecule_);
  CheckMolecule();
  CDataFile& m = *molecule_;
  const int atom_count = m.GetNumberOfAtoms();
  const int residue_count = m.GetNumberOfResidues();
  std::string& out = OutBuffer();
  out.append("Number of atoms:    ");
  AppendInt(out, atom_count, 6);
  out.append("\nNumber of residues: ");
  AppendInt(out, residue_count, 6);
  out.append("\nSolvent names to extract: ");
  for (const std::string& name : solvent_names_) AppendRight(out, name, 5);
  out.push_back('\n');
  OutCommit();

  const std::vector<std::string>& residue_names = m.GetResidueName();
  const std::vector<int>& head = m.GetHeadAtomOfResidue();
  std::vector<uint8_t> solvent(static_cast<size_t>(residue_count), 0);
  for (int r = 0; r < residue_count; ++r) {
    const std::string key = ResidueKey(residue_names[static_cast<size_t>(head[r])]);
    solvent[r] = std::find(solvent_names_.begin(), solvent_names_.end(), key) != solvent_names_.end();
  }
  const std::vector<int> selected = SelectAtoms(solvent);

  const ShellSystem system{m.GetCartesian().data(), atom_count,    m.GetResidueNumber().data(), head.data(),
                           residue_count,           solvent.data()};
  const std::vector<int> candidates = FindCubeCandidates(system, selected, radius_);
  std::vector<int> extracted = FindSolventWithin(system, selected, candidates, radius_);
  if (closest_ > 0) {
    extracted = OrderNearestFirst(system, selected, extracted, radius_, closest_);
    out.append("Number of closest solvent molecules: ");
    AppendInt(out, closest_, 5);
    out.push_back('\n');
  }
  PrintReport(extracted);
  WriteShell(solvent, extracted);
  OutLine("Normal termination of " + Settings().analyzer_name + ".");
}

// The search walks atoms by residue and residues by atom; a record merged
// from files that disagree must not send it out of range.
void CGetSolv::CheckMolecule() {
  CDataFile& m = *molecule_;
  const int n = m.GetNumberOfAtoms();
  const int residues = m.GetNumberOfResidues();
  const size_t atoms = static_cast<size_t>(std::max(n, 0));
  if (m.GetCartesian().size() < atoms) {
    Fatal("Error: the molecule has " + std::to_string(n) + " atoms but only " +
          std::to_string(m.GetCartesian().size()) + " coordinates.");
  }
  if (n <= 0 && residues <= 0) return;
  const std::vector<int>& head = m.GetHeadAtomOfResidue();
  const std::vector<int>& residue_of_atom = m.GetResidueNumber();
  bool sound = n > 0 && residues > 0 && m.GetResidueName().size() >= atoms && residue_of_atom.size() >= atoms &&
               head.size() > static_cast<size_t>(residues);
  for (int r = 0; sound && r < residues; ++r) {
    const int first = head[r];
    const int next = head[static_cast<size_t>(r) + 1];
    sound = first >= 0 && first < n && first <= next && next <= n;
  }
  for (size_t i = 0; sound && i < atoms; ++i) sound = residue_of_atom[i] >= 0 && residue_of_atom[i] < residues;
  for (const std::vector<std::string>* list : {&m.GetAtomName(), &m.GetAtomType()}) {
    sound = sound && (list->empty() || list->size() >= atoms);
  }
  for (const std::vector<int>* list : {&m.GetAtomIndex(), &m.GetResidueIndex()}) {
    sound = sound && (list->empty() || list->size() >= atoms);
  }
  if (!sound) Fatal("Error: the residues of the molecule read do not match its " + std::to_string(n) + " atoms.");
}

// Atoms given by number, the residues of the solute (-m), residues by name
// and by ordinal; sorted, each once.
std::vector<int> CGetSolv::SelectAtoms(const std::vector<uint8_t>& solvent) {
  CDataFile& m = *molecule_;
  const int n = m.GetNumberOfAtoms();
  const int residue_count = m.GetNumberOfResidues();
  const std::vector<int>& head = m.GetHeadAtomOfResidue();
  std::vector<int> selected;
  auto add_residue = [&](int r) {
    for (int k = head[r]; k < head[static_cast<size_t>(r) + 1]; ++k) selected.push_back(k);
  };

  // Atom numbers as written in the file: the first atom that carries one.
  for (int number : atoms_) {
    const int at = m.AtomNumberToIndex(number);
    if (at < 0 || at >= n) Fatal("Error: atom number " + std::to_string(number) + " is not an atom of the molecule.");
    selected.push_back(at);
  }
  if (flags_ & kSelectSolute) {
    residues_.clear();
    for (int r = 0; r < residue_count; ++r) {
      if (!solvent[r]) residues_.push_back(r);
    }
  }
  const std::vector<std::string>& names = m.GetResidueName();
  for (const std::string& wanted : residue_names_) {
    for (int r = 0; r < residue_count; ++r) {
      if (ResidueKey(names[static_cast<size_t>(head[r])]) == wanted) add_residue(r);
    }
  }
  for (int r : residues_) {
    if (r < 0 || r >= residue_count) {
      Fatal("Error: residue number " + std::to_string(static_cast<long long>(r) + 1) +
            " is not a residue of the molecule (it has " + std::to_string(residue_count) + ").");
    }
    add_residue(r);
  }
  std::sort(selected.begin(), selected.end());
  selected.erase(std::unique(selected.begin(), selected.end()), selected.end());
  return selected;
}

void CGetSolv::PrintReport(const std::vector<int>& extracted) {
  std::string& out = OutBuffer();
  out.append("Number of extracted solvent molecules within ");
  out.append(FormatGeneral(radius_));
  out.append(" angstrom: ");
  AppendInt(out, static_cast<long long>(extracted.size()), 5);
  out.append("\n\nResidue numbers of extracted solvent molecules:\n");
  for (size_t i = 0; i < extracted.size(); ++i) {
    if (i > 0 && i % 10 == 0) out.push_back('\n');
    out.push_back(' ');
    AppendInt(out, molecule_->ResidueIndexOfHead(extracted[i]), 6);
  }
  out.append("\n\n");
  OutCommit();
}

// The whole solute and the extracted solvent, residue by residue in file
// order, with the residue numbers as read.
void CGetSolv::WriteShell(const std::vector<uint8_t>& solvent, const std::vector<int>& extracted) {
  CDataFile& m = *molecule_;
  CDataFile& shell = *output_;
  const std::vector<int>& head = m.GetHeadAtomOfResidue();
  std::vector<uint8_t> keep(solvent.size(), 0);
  for (size_t r = 0; r < solvent.size(); ++r) keep[r] = !solvent[r];
  for (int r : extracted) keep[r] = 1;
  size_t count = 0;
  for (size_t r = 0; r < keep.size(); ++r) {
    if (keep[r]) count += static_cast<size_t>(head[r + 1] - head[r]);
  }

  auto copy_atoms = [&](auto& to, const auto& from) {
    if (from.empty()) return;
    to.reserve(count);
    for (size_t r = 0; r < keep.size(); ++r) {
      if (keep[r]) to.insert(to.end(), from.begin() + head[r], from.begin() + head[r + 1]);
    }
  };
  copy_atoms(shell.GetCartesian(), m.GetCartesian());
  copy_atoms(shell.GetAtomName(), m.GetAtomName());
  copy_atoms(shell.GetAtomType(), m.GetAtomType());
  copy_atoms(shell.GetAtomIndex(), m.GetAtomIndex());
  copy_atoms(shell.GetResidueName(), m.GetResidueName());
  copy_atoms(shell.GetResidueIndex(), m.GetResidueIndex());
  copy_atoms(shell.GetResidueNumber(), m.GetResidueNumber());
  shell.SetNumberOfAtoms(static_cast<int>(count));
  shell.SetFileFlag(kFileReadNumbering);
  shell.Write();
}

}  // namespace tarvex
