#include "analyzers/prep_fit.h"

#include <algorithm>
#include <array>
#include <map>
#include <numeric>

#include "chemistry/geometry/bond_perception.h"
#include "common/console.h"
#include "common/exit.h"
#include "common/numbers.h"
#include "common/printable.h"
#include "common/run_settings.h"
#include "common/text.h"
#include "formats/amber_names.h"
#include "formats/amber_prep_file.h"
#include "formats/pdb_file.h"

namespace tarvex {
namespace {

constexpr std::string_view kHelpOptions =
    " Option:\n"
    "   -h            : Help\n"
    "   -v            : Version\n"
    "   -t <...>      : Select target residue numbers or names to adjust information\n"
    "   -x            : Fix form of the coordinates in the PDB file\n"
    "   -c            : Create bond information\n"
    "   -b            : Reserve bond information\n"
    "   -d            : Do not permit defective structures\n"
    "   -r            : Reverse order of atoms to match types\n"
    "   -a [<number>] : Rearrange atoms of target molecule to match types (<number> is number of start atom; "
    "default: 1)\n"
    "   -p file       : Input PREP file\n"
    "   -i file       : Input PDB file\n"
    "   -o file       : Output PDB file\n";

constexpr AnalyzerTexts kTexts = {
    .version = "0.15",
    .revision = "B",
    .description = "Adjust PDB information for the PREP data.",
    .usage_synopsis = " [-hvxcbdr] [-a [<N>]] [-t <...>] -p prep-file -i infile -o outfile",
    .help_options = kHelpOptions,
};

}  // namespace

// The template and the target are opened as they are named, the output for
// writing too. The start atom of -a is optional: only a following number
// word is taken.
CPrepfit::CPrepfit() : CAnalyzer(kTexts) {
  DeclareOptions({
      .options =
          {
              Option::NumbersOrNames("t", target_numbers_, target_names_),
              Option::Switch("x", kKeepPositions),
              Option::Switch("c", kCreateBonds),
              Option::Switch("b", kKeepBonds),
              Option::Switch("d", kNoRelaxed),
              Option::Switch("r", kReverse),
              Option::OptionalInteger("a", start_atom_).Sets(kRearrange),
              Option::File("p", template_, FileType::kAmberPrep, Opening::kInput).Sets(kTemplate),
              Option::File("i", target_, FileType::kPdb, Opening::kInput).Sets(kInput),
              Option::File("o", output_, FileType::kPdb, Opening::kOutputNow).Sets(kOutput),
          },
      .required = {kInput, kOutput, kTemplate},
  });
}

CPrepfit::~CPrepfit() = default;

namespace {

std::string_view TrimmedName(const std::string& name) { return TrimRight(name, " "); }

// Bonds in a crystal structure may come out a little long: an alanine's
// CA-CB of 1.77 angstrom is past the C-C cut-off of 1.755. A pair that the
// template bonds counts as bonded up to 15% beyond its cut-off (2.02
// angstrom for C-C, 1.44 for C-H, 1.27 for O-H); the match asks for such a
// pair only where the template has the bond, so no other pair is bonded by
// it.
constexpr double kStretchedBond = 1.15;

// The name as Amber writes it: the leading digits of the PDB's older
// hydrogen names go behind (2HB is HB2, 1HH3 is HH31).
std::string WrittenName(std::string_view name) {
  name = Trim(name);
  size_t digits = 0;
  while (digits < name.size() && IsDigit(name[digits])) ++digits;
  if (digits == 0 || digits == name.size()) return std::string(name);
  return std::string(name.substr(digits)).append(name.substr(0, digits));
}

// Atoms of a chain's ends that a template of the chain's inside has no
// place for: the C-terminal OXT (CHARMM's OT2) and its hydrogen, the extra
// hydrogens of the N-terminal amine (H1 to H3, CHARMM's HT1 to HT3), the 5'
// and 3' hydroxyl and phosphate ends of nucleic acids. The template takes
// them where it has them (a C-terminal template has OXT); else they stay as
// they are and the rest of the residue is adjusted.
constexpr std::array<std::string_view, 15> kTerminalNames = {"OXT", "HXT",  "OT2",  "H1",  "H2",  "H3",  "HT1", "HT2",
                                                             "HT3", "HO5'", "HO3'", "H5T", "H3T", "OP3", "HOP3"};

bool IsTerminalName(std::string_view name) {
  return std::find(kTerminalNames.begin(), kTerminalNames.end(), name) != kTerminalNames.end();
}

// Alternate locations (column 17 of a crystal structure, which the record
// does not keep) repeat a name within the residue: per atom the earlier atom
// whose name it repeats, or -1. False when no name repeats.
bool FindAlternates(const std::vector<std::string>& names, std::vector<int>& alternate_of) {
  alternate_of.assign(names.size(), -1);
  std::map<std::string_view, int> first;
  bool any = false;
  for (size_t i = 0; i < names.size(); ++i) {
    if (names[i].empty()) continue;
    const auto [at, added] = first.emplace(names[i], static_cast<int>(i));
    if (!added) {
      alternate_of[i] = at->second;
      any = true;
    }
  }
  return any;
}

}  // namespace

std::vector<int> DepthFirstOrder(const BondMap& bonds, int count, int start) {
  std::vector<int> order;
  std::vector<char> seen(static_cast<size_t>(std::max(count, 0)), 0);
  // A stack that visits atoms in the order of the recursive walk: the bonded
  // atoms are pushed last first, and an atom reached twice counts once.
  std::vector<int> stack = {start};
  while (!stack.empty()) {
    const int atom = stack.back();
    stack.pop_back();
    if (atom < 0 || atom >= count || seen[atom]) continue;
    seen[atom] = 1;
    order.push_back(atom);
    if (const BondMap::List* list = bonds.find(atom)) stack.insert(stack.end(), list->rbegin(), list->rend());
  }
  return order;
}

// Every residue of the template file, each with its bonds perceived from
// its coordinates.
void CPrepfit::ReadTemplates() {
  for (;;) {
    template_->Read(0);
    if (template_->GetNumberOfAtoms() <= 0) break;
    template_->ClearConnection();
    template_->CreateConnection();
    const std::vector<std::string>& names = template_->GetResidueName();
    ResidueTemplate templ{std::string(TrimmedName(names.front())),
                          template_->GetAtomName(),
                          template_->GetAtomType(),
                          {},
                          template_->GetConnection(),
                          {}};
    for (size_t p = 0; p < templ.atom_names.size(); ++p) {
      templ.written_names.push_back(AmberNameAsWritten(templ.atom_names[p], templ.atom_types[p]));
    }
    templ.graph = MatchTemplate({templ.atom_types, templ.bonds, &templ.written_names});
    templates_.push_back(std::move(templ));
  }
  if (templates_.empty()) Fatal("Error: " + template_->GetInputFileName() + " holds no residue template.");
}

bool CPrepfit::IsTargetAtom(size_t atom) const {
  const std::string_view name = TrimmedName(residue_name_[atom]);
  if (std::find(target_names_.begin(), target_names_.end(), name) != target_names_.end()) return true;
  const std::vector<int>& numbers = target_->GetResidueIndex();
  return atom < numbers.size() &&
         std::find(target_numbers_.begin(), target_numbers_.end(), numbers[atom]) != target_numbers_.end();
}

// The next residue holding target atoms: the atoms from the cursor on that
// are target atoms and share the residue of the first one.
bool CPrepfit::GatherResidue(TargetResidue& residue) {
  const size_t atoms = residue_name_.size();
  if (cursor_ >= atoms && residues_adjusted_ > 0) return false;
  residue = TargetResidue();
  const std::vector<int>& ordinals = target_->GetResidueNumber();
  int current = 0;
  for (; cursor_ < atoms; ++cursor_) {
    if (!IsTargetAtom(cursor_)) continue;
    const int ordinal = cursor_ < ordinals.size() ? ordinals[cursor_] : 0;
    if (residue.positions.empty()) current = ordinal;
    if (ordinal != current) break;
    residue.positions.push_back(static_cast<int>(cursor_));
  }
  if (residue.positions.empty()) {
    std::string line = "No target residues:";
    for (const std::string& name : target_names_) line += " " + name;
    OutText(line + "\n\n");
    OutLine("Error termination of " + Settings().analyzer_name + ".");
    ExitWith(1);
  }
  const std::vector<int>& numbers = target_->GetResidueIndex();
  const size_t first = static_cast<size_t>(residue.positions.front());
  residue.residue_index = first < numbers.size() ? numbers[first] : 0;
  residue.templ = &TemplateFor(residue);
  ++residues_adjusted_;
  return true;
}

// A file of one template fits every target residue; a library gives each
// residue the template of its name.
const CPrepfit::ResidueTemplate& CPrepfit::TemplateFor(const TargetResidue& residue) const {
  if (templates_.size() == 1) return templates_.front();
  const std::string_view name = TrimmedName(residue_name_[static_cast<size_t>(residue.positions.front())]);
  for (const ResidueTemplate& templ : templates_) {
    if (templ.name == name) return templ;
  }
  Fatal("Error: " + template_->GetInputFileName() + " holds no template named " + Printable(name) + " (residue " +
        std::to_string(residue.residue_index) + ").");
}

void CPrepfit::FillWorkRecord(const TargetResidue& residue) {
  const Frame& points = target_->GetCartesian();
  const std::vector<std::string>& names = target_->GetAtomName();
  const std::vector<std::string>& types = target_->GetAtomType();
  const size_t count = residue.order.size();
  Frame cartesian;
  std::vector<std::string> atom_names;
  std::vector<std::string> atom_types;
  std::vector<int> sequence;
  for (int local : residue.order) {
    const size_t atom = static_cast<size_t>(residue.positions[local]);
    cartesian.push_back(points[atom]);
    atom_names.push_back(names[atom]);
    atom_types.push_back(types[atom]);
    sequence.push_back(local + 1);
  }
  work_->SetNumberOfAtoms(static_cast<int>(count));
  work_->SetNumberOfResidues(1);
  work_->SetCartesian(cartesian);
  work_->SetAtomName(atom_names);
  work_->SetAtomType(atom_types);
  work_->SetAtomIndex(sequence);
  work_->SetResidueName(std::vector<std::string>(count, residue.templ->name));
  work_->SetResidueIndex(std::vector<int>(count, residue.residue_index));
  work_->SetResidueNumber(std::vector<int>(count, 0));
  work_->SetHeadAtomOfResidue({0, static_cast<int>(count)});
  work_->ClearConnection();
  work_->CreateConnection();
}

// The working order: as gathered; with -a depth first from the start atom
// (clamped to the residue, and kept clamped for the residues after), with
// -r reversed.
void CPrepfit::ArrangeResidue(TargetResidue& residue) {
  const int count = static_cast<int>(residue.positions.size());
  residue.order.resize(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) residue.order[i] = i;
  FillWorkRecord(residue);
  if (flags_ & kRearrange) {
    start_atom_ = std::clamp(start_atom_, 1, count);
    residue.order = DepthFirstOrder(work_->GetConnection(), count, start_atom_ - 1);
  }
  if (flags_ & kReverse) std::reverse(residue.order.begin(), residue.order.end());
  if (flags_ & (kRearrange | kReverse)) FillWorkRecord(residue);
}

// The match of the residue in working order. Atoms named like terminal
// atoms may stay without partner. Most residues match completely with the
// bonds of the usual cut-off; only the others are searched again with the
// stretched bonds, partial maps allowed. A residue that matches only without
// its alternate locations gives each the partner of its first copy.
void CPrepfit::Match(TargetResidue& residue) {
  const ResidueTemplate& templ = *residue.templ;
  std::vector<std::string> names;
  MatchOptions options;
  options.strict = true;
  for (const std::string& name : work_->GetAtomName()) {
    names.push_back(WrittenName(name));
    options.may_stay.push_back(IsTerminalName(names.back()));
  }
  const MatchSide target{work_->GetAtomType(), work_->GetConnection(), &names};
  bool searched = MatchResidue(target, templ.graph, options, residue.match);
  if (searched && !residue.match.excess_target.empty()) {
    stretched_ = FindStretchedBonds(*work_, kStretchedBond);
    options.stretched = &stretched_;
    options.strict = (flags_ & kNoRelaxed) != 0;
    searched = MatchResidue(target, templ.graph, options, residue.match);
  }
  std::vector<int> alternate_of;
  if (searched && !residue.match.excess_target.empty() && FindAlternates(names, alternate_of)) {
    for (int first : alternate_of) options.set_aside.push_back(first >= 0);
    ResidueMatch without;
    searched = MatchResidue(target, templ.graph, options, without);
    if (searched && without.excess_target.empty()) {
      residue.match = std::move(without);
      for (size_t t = 0; t < names.size(); ++t) {
        if (alternate_of[t] < 0) continue;
        const int partner = residue.match.correspondent[alternate_of[t]];
        residue.match.correspondent[t] = partner;
        if (partner < 0) residue.match.left_alone.push_back(static_cast<int>(t));
      }
      std::sort(residue.match.left_alone.begin(), residue.match.left_alone.end());
    }
  }
  if (!searched) {
    Fatal("Error: residue " + templ.name + " " + std::to_string(residue.residue_index) +
          " has too many paths through its bonds to be matched.");
  }
}

namespace {

// Per atom as gathered, its place in the working order (-1: left out by -a).
std::vector<int> WorkingPlaces(const std::vector<int>& order, size_t count) {
  std::vector<int> place(count, -1);
  for (size_t k = 0; k < order.size(); ++k) place[order[k]] = static_cast<int>(k);
  return place;
}

}  // namespace

// Target atoms left over fail the residue. Atoms that keep their names
// without failing it (terminal atoms the template has no place for, atoms
// -a did not reach) are listed, and then the residue has not "succeeded".
void CPrepfit::ReportTargetAtoms(const TargetResidue& residue, std::string& out) const {
  const ResidueMatch& match = residue.match;
  if (!match.excess_target.empty()) {
    out += "Excess of target atoms: \n";
    for (int t : match.excess_target) out.append(Trim(work_->GetAtomName()[t])).push_back('\n');
    return;
  }
  const std::vector<int> place = WorkingPlaces(residue.order, residue.positions.size());
  std::vector<char> left(residue.positions.size(), 0);
  for (int t : match.left_alone) left[residue.order[t]] = 1;
  bool any = false;
  for (size_t g = 0; g < residue.positions.size(); ++g) {
    if (!left[g] && place[g] >= 0) continue;
    if (!any) out += "Target atoms left as they are: \n";
    any = true;
    out.append(Trim(target_->GetAtomName()[residue.positions[g]])).push_back('\n');
  }
  if (match.dummy_seen) out += "Warning: existence of dummy atoms in the target.\n";
  if (!any && !match.dummy_seen) out += "Succeeded to process target atoms.\n";
}

// The report of one residue: its atoms, those of the target or the template
// left over, and which target atom became which template atom. Target atoms
// left over end the command: the output would lose them.
void CPrepfit::MatchAndReport(TargetResidue& residue) {
  Match(residue);
  const ResidueTemplate& templ = *residue.templ;
  const ResidueMatch& match = residue.match;
  const size_t count = residue.positions.size();
  std::string out = "Residue data: " + templ.name + " " + std::to_string(residue.residue_index) + " - " +
                    std::to_string(count) + (count > 1 ? " atoms\n" : " atom\n");
  ReportTargetAtoms(residue, out);
  out.push_back('\n');
  if (!match.excess_template.empty()) {
    out += "Excess of atoms in the PREP file: \n";
    for (int p : match.excess_template) out.append(templ.written_names[p]).push_back('\n');
  } else {
    out += "Succeeded to process PREP atoms.\n";
  }
  OutText(out + "\n");
  if (!match.excess_target.empty()) {
    OutLine("Error termination of " + Settings().analyzer_name + ".");
    ExitWith(1);
  }
  PrintCorrespondence(residue);
}

// One line per paired atom, in the target's order.
void CPrepfit::PrintCorrespondence(const TargetResidue& residue) const {
  const ResidueTemplate& templ = *residue.templ;
  const std::vector<std::string>& names = target_->GetAtomName();
  std::string out = "Correspondent table between target and PREP data:\n";
  const std::vector<int> place = WorkingPlaces(residue.order, residue.positions.size());
  for (size_t g = 0; g < residue.positions.size(); ++g) {
    const int p = place[g] < 0 ? -1 : residue.match.correspondent[place[g]];
    if (p < 0) continue;
    out.append(Trim(names[residue.positions[g]])).append(" - ");
    out += templ.written_names[p];
    out.push_back('\n');
  }
  OutText(out + "\n");
}

// The residue's atoms go back into its own places in the target: with -x
// each into its own, named after its template atom; otherwise the paired
// atoms first, in the template's order (an alternate location right after
// its first copy), then the atoms left out of the pairing (dummies, terminal
// atoms, atoms -a did not reach) as they were.
void CPrepfit::CommitResidue(const TargetResidue& residue) {
  const ResidueTemplate& templ = *residue.templ;
  const size_t count = residue.positions.size();
  const std::vector<int>& partner = residue.match.correspondent;
  const std::vector<int> place = WorkingPlaces(residue.order, count);
  auto partner_of = [&](size_t g) { return place[g] < 0 ? -1 : partner[place[g]]; };
  std::vector<int> placed;  // gathered atoms in their new order
  if (flags_ & kKeepPositions) {
    for (size_t g = 0; g < count; ++g) placed.push_back(static_cast<int>(g));
  } else {
    std::vector<std::pair<int, int>> paired;  // template atom, gathered atom
    for (size_t g = 0; g < count; ++g) {
      if (partner_of(g) >= 0) paired.emplace_back(partner_of(g), static_cast<int>(g));
    }
    std::sort(paired.begin(), paired.end());
    for (const auto& [p, g] : paired) placed.push_back(g);
    for (size_t g = 0; g < count; ++g) {
      if (partner_of(g) < 0) placed.push_back(static_cast<int>(g));
    }
  }
  for (size_t s = 0; s < count; ++s) {
    const size_t g = static_cast<size_t>(placed[s]);
    const size_t from = static_cast<size_t>(residue.positions[g]);
    const size_t slot = static_cast<size_t>(residue.positions[s]);
    cartesian_[slot] = target_->GetCartesian()[from];
    atom_type_[slot] = target_->GetAtomType()[from];
    atom_name_[slot] =
        partner_of(g) >= 0 ? templ.atom_names[static_cast<size_t>(partner_of(g))] : target_->GetAtomName()[from];
    residue_name_[slot] = templ.name;
    new_position_[from] = static_cast<int>(slot);
  }
}

// Bonds kept with -b follow their atoms to their new places.
void CPrepfit::WriteOutput() {
  output_->SetCartesian(cartesian_);
  output_->SetAtomName(atom_name_);
  output_->SetAtomType(atom_type_);
  output_->SetResidueName(residue_name_);
  BondMap kept;
  if (flags_ & kKeepBonds) {
    for (const auto& [atom, list] : output_->GetConnection()) {
      BondMap::List& moved = kept[new_position_[atom]];
      for (int other : list) moved.push_back(new_position_[other]);
    }
  }
  output_->ClearConnection();
  if (!kept.empty()) output_->SetConnection(kept);
  if (flags_ & kCreateBonds) output_->CreateConnection();
  output_->Write();
  OutLine("Normal termination of " + Settings().analyzer_name + ".");
}

// Without -t, the residues named like a template are adjusted. Each target
// residue is gathered, matched, reported and put back in turn; the output
// is written only when every residue has been adjusted.
void CPrepfit::Run() {
  target_->Read(0);
  ReadTemplates();
  output_->CopyState(*target_);
  if (target_names_.empty() && target_numbers_.empty()) {
    for (const ResidueTemplate& templ : templates_) target_names_.push_back(templ.name);
  }
  cartesian_ = target_->GetCartesian();
  atom_name_ = target_->GetAtomName();
  atom_type_ = target_->GetAtomType();
  residue_name_ = target_->GetResidueName();
  new_position_.resize(residue_name_.size());
  std::iota(new_position_.begin(), new_position_.end(), 0);
  work_ = std::make_unique<CPdbFile>();
  TargetResidue residue;
  while (GatherResidue(residue)) {
    ArrangeResidue(residue);
    MatchAndReport(residue);
    CommitResidue(residue);
  }
  WriteOutput();
}

}  // namespace tarvex
