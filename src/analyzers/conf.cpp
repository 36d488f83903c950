#include "analyzers/conf.h"

#include <algorithm>

#include "common/console.h"
#include "common/exit.h"
#include "common/numbers.h"
#include "common/progress.h"
#include "common/text.h"
#include "formats/amber_coord_file.h"
#include "formats/amber_netcdf_file.h"
#include "molecule/geometry.h"
#include "molecule/tables.h"

namespace tarvex {
namespace {

constexpr std::string_view kHelpOptions =
    " Option:\n"
    "   -h           : Help\n"
    "   -v           : Version\n"
    "   -w           : Set row style for plural structures\n"
    "   -n           : Set no title\n"
    "   -k <number>  : Number of skip structures [1]\n"
    "   -f <flags...>: Set flags\n"
    "                :  DETAIL   ... show detail information\n"
    "                :  BOX      ... read BOX parameters for Amber CRD/RST files\n"
    "                :  TAB      ... set tab delimiter\n"
    "   -r reffile   : Input reference file\n"
    "   -rt file type: Input reference file and file-type index\n"
    "   -i datafile  : Input data file\n"
    "   -it file type: Input data file and file-type index\n"
    "   -o outfile   : Output file (if no this option, use the standard output instead of outfile)\n"
    "\n";

constexpr AnalyzerTexts kTexts = {
    .version = "0.03",
    .revision = "B",
    .description = "Analyze conformations for peptides.",
    .usage_synopsis =
        " [-hvwn] [-k <N>] [-f <...>] [-r reffile] [-rt reffile ref-type] -i datafile -it datafile "
        "data-type [-o outfile]",
    .help_options = kHelpOptions,
    .file_type_column = 16,
};

constexpr FlagWord kFlags[] = {{"DETAIL", CConf::kDetail}, {"BOX", CConf::kBox}, {"TAB", CConf::kTab}};

}  // namespace

// As for getdun, the records are made empty here and opened by Run, and a
// skip count below 1 (which would never advance through the structures) is a
// usage error.
CConf::CConf() : CAnalyzer(kTexts) {
  DeclareOptions({
      .options =
          {
              Option::Switch("w", kRowStyle),
              Option::Switch("n", kNoTitle),
              Option::Integer("k", skip_).Positive(),
              Option::Flags("f", kFlags),
              ReferenceFileOption(reference_, reference_file_name_).Sets(kReference),
              DataFileOption(data_, data_file_name_).Sets(kDataFile),
              Option::Word("o", output_file_name_).Sets(kOutput),
          },
      .required = {kDataFile},
  });
}

CConf::~CConf() = default;

namespace {

// What a residue gives to the backbone walk: an amino acid its N, CA and C;
// a cap before a chain's first residue its carbonyl C, a cap after the last
// its N.
enum class BackboneRole { kNone, kAminoAcid, kCapBefore, kCapAfter };

// The caps of a peptide's ends: acetyl (ACE) and formyl (FOR) before the
// first residue, N-methylamide (NME) and the amide NH2 (Amber's NHE, the
// PDB's NH2) after the last.
struct Cap {
  std::string_view name;
  BackboneRole role;
};
constexpr Cap kCaps[] = {{"ACE", BackboneRole::kCapBefore},
                         {"FOR", BackboneRole::kCapBefore},
                         {"NME", BackboneRole::kCapAfter},
                         {"NHE", BackboneRole::kCapAfter},
                         {"NH2", BackboneRole::kCapAfter}};

BackboneRole RoleOf(std::string_view name) {
  if (IsStandardResidue(name)) return BackboneRole::kAminoAcid;
  for (const Cap& cap : kCaps) {
    if (cap.name == name) return cap.role;
  }
  return BackboneRole::kNone;
}

// The backbone atoms of one residue: the first atom of each name, and
// whether it holds the chain's end (OXT, CHARMM's OT2). Names count
// wherever the file put them in their columns: " CA " in the PDB's
// alignment, "CA  " as CHARMM writes it from column 13, "CA" in a MOL2 file.
void FindBackboneAtoms(const std::vector<std::string>& atom_names, int first, int end, BackboneRole role,
                       BackboneResidue& residue, bool& oxt) {
  for (int a = first; a < end; ++a) {
    const std::string_view name = Trim(atom_names[a]);
    if (name == "OXT" || name == "OT2") {
      oxt = true;
    } else if (name == "N" && residue.n < 0 && role != BackboneRole::kCapBefore) {
      residue.n = a;
    } else if (name == "CA" && residue.ca < 0 && role == BackboneRole::kAminoAcid) {
      residue.ca = a;
    } else if (name == "C" && residue.c < 0 && role != BackboneRole::kCapAfter) {
      residue.c = a;
    }
  }
}

void AppendDelimiter(std::string& out, bool tab) { out.push_back(tab ? '\t' : ' '); }

// "ALA12__" for the row-style title: the number left-aligned in four
// columns, padded with "_".
void AppendTitleLabel(std::string& out, const ReportedResidue& residue, std::string_view angle) {
  out.append(residue.name);
  const size_t start = out.size();
  AppendInt(out, residue.index);
  while (out.size() - start < 4) out.push_back('_');
  out.append(angle);
}

}  // namespace

// Residues are taken in file order. Amino acids (the standard residue
// names, and any other residue that carries N, CA and C: a selenomethionine
// MSE, a phosphoserine SEP, CHARMM's histidines HSD, HSE and HSP) and the
// caps are on the backbone; any other residue (a ligand, water) breaks the
// chain, as do TER records, an OXT (the end of a chain) and the caps
// themselves (ACE starts a chain, NME ends one).
std::vector<BackboneResidue> WalkBackbone(const BackboneSource& source) {
  std::vector<int> ters = source.ter_list;
  std::sort(ters.begin(), ters.end());
  const int atoms = static_cast<int>(std::min(source.atom_names.size(), source.residue_names.size()));
  std::vector<BackboneResidue> residues;
  bool chain_open = false;
  for (size_t r = 0; r + 1 < source.heads.size(); ++r) {
    const int first = std::max(source.heads[r], 0);
    const int end = std::min(source.heads[r + 1], atoms);
    if (first >= end) continue;
    const std::string_view name = std::string_view(source.residue_names[first]).substr(0, 3);
    BackboneRole role = RoleOf(name);
    BackboneResidue residue;
    bool oxt = false;
    FindBackboneAtoms(source.atom_names, first, end, role == BackboneRole::kNone ? BackboneRole::kAminoAcid : role,
                      residue, oxt);
    if (role == BackboneRole::kNone && residue.n >= 0 && residue.ca >= 0 && residue.c >= 0) {
      role = BackboneRole::kAminoAcid;
    }
    if (role == BackboneRole::kNone) {
      chain_open = false;
      continue;
    }
    residue.name = std::string(name);
    if (static_cast<size_t>(first) < source.residue_index.size()) {
      residue.index = source.residue_index[first];
    }
    residue.joined =
        chain_open && role != BackboneRole::kCapBefore && !std::binary_search(ters.begin(), ters.end(), first);
    chain_open = !oxt && role != BackboneRole::kCapAfter;
    residues.push_back(std::move(residue));
  }
  return residues;
}

void CutBackboneGaps(std::vector<BackboneResidue>& residues, const Frame& frame) {
  const auto within = [&](int atom) { return atom >= 0 && static_cast<size_t>(atom) < frame.size(); };
  for (size_t i = 1; i < residues.size(); ++i) {
    const int c = residues[i - 1].c;
    const int n = residues[i].n;
    if (!residues[i].joined || !within(c) || !within(n)) continue;
    const double squared = SquaredDistance(frame[c], frame[n]);
    if (!(squared <= kPeptideBondLimit * kPeptideBondLimit)) residues[i].joined = false;
  }
}

std::vector<ReportedResidue> ReportedResidues(const std::vector<BackboneResidue>& residues) {
  std::vector<ReportedResidue> reported;
  std::vector<int> chains;
  int chain = 0;
  for (size_t i = 0; i < residues.size(); ++i) {
    if (!residues[i].joined) ++chain;
    if (i == 0 || i + 1 == residues.size()) continue;
    const BackboneResidue& before = residues[i - 1];
    const BackboneResidue& residue = residues[i];
    const BackboneResidue& after = residues[i + 1];
    if (!residue.joined || !after.joined || before.c < 0 || residue.n < 0 || residue.ca < 0 || residue.c < 0 ||
        after.n < 0) {
      continue;
    }
    reported.push_back({{before.c, residue.n, residue.ca, residue.c, after.n}, residue.name, residue.index, false});
    chains.push_back(chain);
  }
  for (size_t j = 0; j + 1 < reported.size(); ++j) reported[j].ends_chain = chains[j + 1] != chains[j];
  return reported;
}

std::array<double, 2> PhiPsi(const Frame& frame, const std::array<int, 5>& atoms) {
  const auto at = [&](size_t k) -> const Point& { return frame[atoms[k]]; };
  const auto [phi, psi] = ConsecutiveDihedralsDegrees(at(0), at(1), at(2), at(3), at(4));
  return {phi.value_or(kUndefinedAngle), psi.value_or(kUndefinedAngle)};
}

void CConf::OpenFiles() {
  if (flags_ & kReference) {
    reference_->OpenInput(reference_file_name_);
    reference_->Read(0);
    data_->CopyState(*reference_);
  }
  data_->OpenInput(data_file_name_);
  if (flags_ & kBox) data_->SetFileFlag(kFileBox);
  if ((flags_ & kOutput) && !output_.Open(output_file_name_)) Fatal("Can't open file: " + output_file_name_);
  trajectory_ = dynamic_cast<CAmberCoordFile*>(data_.get()) || dynamic_cast<CAmberNetcdfFile*>(data_.get());
}

// Reading a single-structure file (PDB, restart, topology) again would give
// the same structure again, or nothing: it yields its one structure once.
// Past the end nothing more is read, however large the skip count.
bool CConf::ReadStructure() {
  for (int i = 0; i < skip_; ++i) {
    if (trajectory_ || structures_read_ == 0) {
      data_->Read(1);
    } else {
      data_->GetCartesian().clear();
    }
    ++structures_read_;
    if (data_->GetCartesian().empty()) break;
  }
  const bool found = !data_->GetCartesian().empty();
  if (data_->GetNumberOfAtoms() <= 0 && (found || analysed_ == 0)) Fatal("Error: number of atoms is zero.");
  return found;
}

// The backbone comes from the names alone, so with a reference it is known
// before the first structure is read: only its atoms are needed from each
// structure.
void CConf::PlanBackbone() {
  if (planned_ || data_->GetAtomName().empty()) return;
  backbone_ = WalkBackbone({data_->GetAtomName(), data_->GetResidueName(), data_->GetResidueIndex(),
                            data_->GetHeadAtomOfResidue(), data_->GetTerList()});
  planned_ = true;
  std::vector<int> needed;
  for (const BackboneResidue& residue : backbone_) needed.insert(needed.end(), {residue.n, residue.ca, residue.c});
  data_->SetNeededAtoms(std::move(needed));
}

// The first structure decides where the chains have gaps; every structure
// after it holds as many atoms.
void CConf::FinishPlan(const Frame& frame) {
  CutBackboneGaps(backbone_, frame);
  reported_ = ReportedResidues(backbone_);
  if (reported_.empty()) {
    Warn("Warning: " + data_file_name_ + ": no residue has both phi and psi (no chain of amino acids with N, CA and " +
         "C atoms).");
  }
  angles_.resize(reported_.size());
  for (const ReportedResidue& residue : reported_) {
    for (int atom : residue.atoms) {
      if (static_cast<size_t>(atom) >= frame.size()) {
        Fatal("Error: " + data_file_name_ + " holds " + std::to_string(frame.size()) +
              " atoms in a structure; the backbone needs atom " + std::to_string(atom + 1) + ".");
      }
    }
  }
}

void CConf::PrintTitle(std::string& out) {
  const bool tab = (flags_ & kTab) != 0;
  for (size_t j = 0; j < reported_.size(); ++j) {
    if (j > 0) AppendDelimiter(out, tab);
    AppendTitleLabel(out, reported_[j], "phi");
    AppendDelimiter(out, tab);
    AppendTitleLabel(out, reported_[j], "psi");
  }
  out.push_back('\n');
}

// Column style: an empty line, then a line per residue (its label unless
// -n), an empty line between chains. Row style: one line per structure.
void CConf::PrintStructure(std::string& out) {
  const bool tab = (flags_ & kTab) != 0;
  if (flags_ & kRowStyle) {
    row_.clear();
    for (const auto& [phi, psi] : angles_) row_.insert(row_.end(), {phi, psi});
    AppendFixedRow(out, row_.data(), row_.size(), 10, 4, tab ? '\t' : ' ');
    out.push_back('\n');
    return;
  }
  const int width = tab ? 9 : 10;
  out.push_back('\n');
  for (size_t j = 0; j < angles_.size(); ++j) {
    if (!(flags_ & kNoTitle)) {
      out.append(reported_[j].name);
      AppendLeft(out, FormatInt(reported_[j].index), 4);
      AppendDelimiter(out, tab);
    }
    AppendFixed(out, angles_[j][0], width, 4);
    AppendDelimiter(out, tab);
    AppendFixed(out, angles_[j][1], width, 4);
    out.push_back('\n');
    if (reported_[j].ends_chain) out.push_back('\n');
  }
}

// Every k-th structure of the data file is analysed and printed as it is
// read: one structure in memory at a time.
void CConf::Run() {
  OpenFiles();
  PlanBackbone();
  const bool to_file = (flags_ & kOutput) != 0;
  Progress progress(data_file_name_, data_->GetInputPosition().size);
  while (ReadStructure()) {
    progress.Update(structures_read_, data_->GetInputPosition().read);
    PlanBackbone();
    const Frame& frame = data_->GetCartesian();
    if (analysed_ == 0) FinishPlan(frame);
    for (size_t j = 0; j < reported_.size(); ++j) angles_[j] = PhiPsi(frame, reported_[j].atoms);
    std::string& out = to_file ? output_.Buffer() : OutBuffer();
    if (analysed_ == 0 && (flags_ & kRowStyle) && !(flags_ & kNoTitle)) PrintTitle(out);
    PrintStructure(out);
    if (to_file) {
      output_.Commit();
    } else {
      OutCommit();
    }
    ++analysed_;
  }
  progress.Finish();
  if (to_file) output_.Close();
}

}  // namespace tarvex
