// Amber topology (parm) files.
//
// Old fixed layout ("amber6", written by LEaP before Amber 7 and by its
// OldPrmtopFormat switch): no markers at all, every block in a fixed order.
//
//   title          one line (20A4)
//   POINTERS       three lines of twelve integers (12I6; some writers 12I8),
//                  the third holding only the 6 or 7 that remain
//   ATOM_NAME      NATOM names, 4 columns each, 20 per line (20A4)
//   CHARGE         NATOM reals (5E16.8), in units of e x 18.2223
//   MASS, ATOM_TYPE_INDEX, NUMBER_EXCLUDED_ATOMS   NATOM values each
//   NONBONDED_PARM_INDEX                           NTYPES x NTYPES integers
//   RESIDUE_LABEL  NRES labels, 20A4
//   RESIDUE_POINTER  NRES integers, the first atom (1-based) of each residue
//   ...            bonded and non-bonded parameters (not read)
//
// Flagged layout ("amber8", Amber 7 on): a "%VERSION" line, then sections,
// each a "%FLAG NAME" line, a "%FORMAT(...)" line and the values; "%COMMENT"
// lines may stand anywhere. The section order is not fixed: current tools put
// ATOMIC_NUMBER between CHARGE and MASS, CHAMBER files (CHARMM force fields)
// call the title CTITLE and add sections of their own. So each section is
// found by its name, wherever it stands. POINTERS has 31 values in current
// files (30 before NUMEXTRA was added, 32 with NCOPY); NATOM is the 1st,
// NTYPES the 2nd, NRES the 12th.
#include "formats/amber_topology_file.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <utility>

#include "common/console.h"
#include "common/exit.h"
#include "common/numbers.h"
#include "common/text.h"
#include "formats/amber_names.h"
#include "formats/amber_numbers.h"
#include "formats/amber_titles.h"
#include "molecule/tables.h"

namespace tarvex {

struct TopologySections {
  std::vector<int> pointers;  // the whole POINTERS section, NATOM first
  std::vector<std::string> atom_names;
  std::vector<double> charges;
  std::vector<double> masses;       // empty when the file has none
  std::vector<int> atomic_numbers;  // empty when the file has none
  std::vector<std::string> residue_labels;
  std::vector<int> residue_pointers;
};

namespace {

// Positions in the POINTERS section.
constexpr size_t kNatom = 0;
constexpr size_t kNtypes = 1;
constexpr size_t kNres = 11;
constexpr size_t kPointersPerLine = 12;

// Names and labels: 4 columns each, at most 20 per line.
constexpr size_t kNameWidth = 4;
constexpr size_t kNamesPerLine = 20;
// A residue label is the first three characters of its field.
constexpr size_t kLabelLength = 3;

enum class Values { kNames, kLabels, kIntegers, kReals };
enum class Counted { kAtoms, kResidues, kTypePairs };

struct SectionValues {
  std::vector<std::string> words;
  std::vector<int> integers;
  std::vector<double> reals;
};

// The sections read, in the order of the old layout. Those without a place
// in TopologySections are read past (old layout) and never looked for
// (flagged layout).
struct SectionLayout {
  std::string_view flag;
  Values values;
  Counted counted;
  void (*keep)(TopologySections&, SectionValues&);
  bool optional = false;  // flagged layout: a file may lack it
};

constexpr std::array<SectionLayout, 8> kSections = {{
    {"ATOM_NAME", Values::kNames, Counted::kAtoms,
     [](TopologySections& s, SectionValues& v) { s.atom_names = std::move(v.words); }},
    {"CHARGE", Values::kReals, Counted::kAtoms,
     [](TopologySections& s, SectionValues& v) { s.charges = std::move(v.reals); }},
    {"MASS", Values::kReals, Counted::kAtoms,
     [](TopologySections& s, SectionValues& v) { s.masses = std::move(v.reals); }, true},
    {"ATOM_TYPE_INDEX", Values::kIntegers, Counted::kAtoms, nullptr},
    {"NUMBER_EXCLUDED_ATOMS", Values::kIntegers, Counted::kAtoms, nullptr},
    {"NONBONDED_PARM_INDEX", Values::kIntegers, Counted::kTypePairs, nullptr},
    {"RESIDUE_LABEL", Values::kLabels, Counted::kResidues,
     [](TopologySections& s, SectionValues& v) {
       // "CL  " is the residue CL, as a PDB file names it: blanks that fill
       // the field are not part of the name.
       for (std::string& label : v.words) label = std::string(Trim(label));
       s.residue_labels = std::move(v.words);
     }},
    {"RESIDUE_POINTER", Values::kIntegers, Counted::kResidues,
     [](TopologySections& s, SectionValues& v) { s.residue_pointers = std::move(v.integers); }},
}};

// Flagged layout only, and optional: the element of each atom.
constexpr SectionLayout kAtomicNumberSection = {
    "ATOMIC_NUMBER", Values::kIntegers, Counted::kAtoms,
    [](TopologySections& s, SectionValues& v) { s.atomic_numbers = std::move(v.integers); }};

constexpr std::array<std::string_view, 2> kTitleFlags = {"TITLE", "CTITLE"};

bool IsFlagLine(std::string_view line) { return line.substr(0, 5) == "%FLAG"; }

inline size_t ParseValue(std::string_view text, int& value) { return ParseIntPrefix(text, value); }
inline size_t ParseValue(std::string_view text, double& value) { return ParseDoublePrefix(text, value); }

// Reads the values of one section line by line. In the flagged layout a
// section ends at the next %FLAG line and other "%" lines are passed over; in
// the fixed layout every line is data.
class SectionReader {
 public:
  SectionReader(LineReader& in, const std::string& file, bool flagged) : in_(in), file_(file), flagged_(flagged) {}

  void Begin(std::string_view flag) { flag_ = flag; }

  bool NextLine(std::string_view& line) {
    while (in_.ReadLine(line)) {
      if (!flagged_ || line.empty() || line.front() != '%') return true;
      if (IsFlagLine(line)) return false;
    }
    return false;
  }

  // Names cut from 4-column fields; columns past the end of a short line are
  // blanks. Each keeps its first `keep` characters.
  void ReadWords(uint64_t count, size_t keep, std::vector<std::string>* out) {
    uint64_t got = 0;
    std::string_view line;
    while (got < count) {
      if (!NextLine(line)) Short(got, count);
      for (size_t k = 0; k < kNamesPerLine && got < count && k * kNameWidth < line.size(); ++k) {
        std::string field(Columns(line, k * kNameWidth + 1, (k + 1) * kNameWidth));
        field.resize(kNameWidth, ' ');
        field.resize(keep);
        if (out) out->push_back(std::move(field));
        ++got;
      }
    }
  }

  // White-space-separated numbers, read as stream extraction reads them.
  // With `to_section_end`, reads all the section holds, up to `count`.
  template <class T>
  void ReadNumbers(uint64_t count, std::vector<T>* out, bool to_section_end = false) {
    uint64_t got = 0;
    std::string_view line;
    while (got < count) {
      if (!NextLine(line)) {
        if (to_section_end) return;
        Short(got, count);
      }
      std::string_view rest = line;
      while (got < count) {
        rest = TrimLeft(rest);
        if (rest.empty()) break;
        T value{};
        size_t used = ParseValue(rest, value);
        if (used == 0) NotANumber(rest);
        if (out) out->push_back(value);
        ++got;
        rest.remove_prefix(used);
      }
    }
  }

  [[noreturn]] void Short(uint64_t got, uint64_t count) const {
    Fatal("Error: " + file_ + ": section " + std::string(flag_) + " holds " + std::to_string(got) + " of its " +
          std::to_string(count) + " values.");
  }

  [[noreturn]] void NotANumber(std::string_view text) const {
    std::string_view word;
    NextWord(text, word);
    Fatal("Error: " + file_ + ": \"" + QuotedWord(word) + "\" in section " + std::string(flag_) + " is not a number.");
  }

 private:
  LineReader& in_;
  const std::string& file_;
  bool flagged_;
  std::string_view flag_;
};

uint64_t SectionCount(Counted counted, const std::vector<int>& pointers) {
  switch (counted) {
    case Counted::kAtoms:
      return static_cast<uint64_t>(pointers[kNatom]);
    case Counted::kResidues:
      return static_cast<uint64_t>(pointers[kNres]);
    case Counted::kTypePairs:
      return static_cast<uint64_t>(pointers[kNtypes]) * static_cast<uint64_t>(pointers[kNtypes]);
  }
  return 0;
}

void ReadSection(SectionReader& reader, const SectionLayout& layout, const std::vector<int>& pointers,
                 TopologySections& sections) {
  reader.Begin(layout.flag);
  const uint64_t count = SectionCount(layout.counted, pointers);
  SectionValues values;
  const bool keep = layout.keep != nullptr;
  switch (layout.values) {
    case Values::kNames:
      reader.ReadWords(count, kNameWidth, keep ? &values.words : nullptr);
      break;
    case Values::kLabels:
      reader.ReadWords(count, kLabelLength, keep ? &values.words : nullptr);
      break;
    case Values::kIntegers:
      reader.ReadNumbers(count, keep ? &values.integers : nullptr);
      break;
    case Values::kReals:
      reader.ReadNumbers(count, keep ? &values.reals : nullptr);
      break;
  }
  if (keep) layout.keep(sections, values);
}

// The element of an atom named by the name alone: the first symbol of the
// element table that the name starts with (so "CA" is carbon, "HE1" hydrogen,
// but also "CL" carbon: hence ATOMIC_NUMBER or MASS where the file has them).
// A name that starts with no symbol gets the dummy element DU.
std::string_view ElementOfName(std::string_view name) {
  for (std::string_view symbol : kElementSymbols) {
    if (name.substr(0, symbol.size()) == symbol) return symbol;
  }
  return kElementSymbols[0];
}

constexpr int kHydrogenNumber = 1;

// Whether a topology mass can belong to element z. Hydrogen: 0.5 to 4.5
// (deuterium, tritium, and the 3.024 or 4.032 of hydrogen mass
// repartitioning). Heavier elements: up to 8.1 below their mass (hydrogen
// mass repartitioning moves 2.016 per hydrogen, up to four, onto the
// hydrogens) and up to 4.1 above it (a united atom carries up to four
// hydrogens: CH4 is 16.04).
bool MassFits(int z, double mass) {
  if (z == kHydrogenNumber) return mass >= 0.5 && mass <= 4.5;
  const double element = kAtomicMasses[z];
  return mass >= element - 8.1 && mass <= element + 4.1;
}

// Without ATOMIC_NUMBER the name proposes and the mass decides: each symbol
// the upper-cased name starts with, the one-letter symbol first, is taken
// when the mass fits it (the haem nitrogen "NA" of mass 14.01 is nitrogen,
// the ion "Na+" of mass 22.99 sodium, "CA" carbon or calcium, "HG" hydrogen
// or mercury). A mass that fits none of them gives the element of nearest
// mass (old-style ion names "IP" and "IM" are sodium and chlorine). A mass
// below 0.5 is an extra point (the EPW of a four-point water, a lone pair):
// LP, which the chemistry never bonds.
std::string_view ElementOfNameAndMass(std::string_view name, double mass) {
  const int by_mass = ElementOfMass(mass);
  if (by_mass < 0) return std::isfinite(mass) ? kElementSymbols[kLonePairIndex] : ElementOfName(name);
  const std::string upper = ToUpper(name);
  for (size_t length = 1; length <= 2 && length <= upper.size(); ++length) {
    const int z = ElementIndex(std::string_view(upper).substr(0, length));
    if (IsElementNumber(z) && MassFits(z, mass)) return kElementSymbols[z];
  }
  return kElementSymbols[by_mass];
}

}  // namespace

CAmberTopologyFile::CAmberTopologyFile() = default;
CAmberTopologyFile::CAmberTopologyFile(std::string name) { OpenInput(std::move(name)); }
CAmberTopologyFile::~CAmberTopologyFile() = default;

void CAmberTopologyFile::OpenInput(std::string name) {
  StoreNameAndOpenInput(name);
  DetectVersion();
}

void CAmberTopologyFile::OpenOutput(std::string name, bool open) { OpenOutputShared(name, open); }

// Topologies of Amber 7 and later start with a "%VERSION" line; older ones
// start with their title. A file whose first line is empty, or an empty
// file, is taken for the old layout (its reader then decides).
void CAmberTopologyFile::DetectVersion() {
  // Both layouts go back over the file (to its start, to each section), so a
  // topology from a pipe is kept in memory as it is read.
  input_.KeepForSeeking();
  std::string_view line;
  bool flagged = input_.ReadLine(line) && !line.empty() && line.front() == '%';
  SetVersion(flagged ? "amber8" : "amber6");
  input_.Rewind();
}

void CAmberTopologyFile::Read(int) {
  ClearAtomAndResidueGroups();
  charge_.clear();
  TopologySections sections;
  if (version_ == "amber8") {
    ReadFlaggedLayout(sections);
  } else {
    if (version_ != "amber6") {
      Warn("Warning: unknown Amber version.");
      Warn("Reading file as the Amber version 6.");
    }
    ReadFixedLayout(sections);
  }
  FillRecord(sections);
}

// The counts that size the record must be counts this file can hold: every
// atom has a 4-column name and every residue a 4-column label, and every
// integer of the non-bonded index takes at least two characters.
void CAmberTopologyFile::CheckCounts(const TopologySections& sections, bool uses_types) {
  const std::vector<int>& p = sections.pointers;
  if (p.size() <= kNres) {
    Fatal("Error: " + input_file_name_ + ": section POINTERS holds " + std::to_string(p.size()) +
          " values; NATOM to NRES are " + std::to_string(kNres + 1) + ".");
  }
  const uint64_t size = input_.FileSize();
  auto check = [&](const char* name, int value, uint64_t bytes) {
    if (value < 0) {
      Fatal("Error: " + input_file_name_ + ": section POINTERS gives " + name + " = " + std::to_string(value) + ".");
    }
    if (size > 0 && bytes > size) {
      Fatal("Error: " + input_file_name_ + ": " + name + " = " + std::to_string(value) + " is more than its " +
            std::to_string(size) + " bytes can hold.");
    }
  };
  check("NATOM", p[kNatom], uint64_t{kNameWidth} * static_cast<uint64_t>(std::max(p[kNatom], 0)));
  check("NRES", p[kNres], uint64_t{kNameWidth} * static_cast<uint64_t>(std::max(p[kNres], 0)));
  if (uses_types) {
    const uint64_t types = static_cast<uint64_t>(std::max(p[kNtypes], 0));
    check("NTYPES", p[kNtypes], 2 * types * types);
  }
}

void CAmberTopologyFile::ReadFixedLayout(TopologySections& sections) {
  std::string_view line;
  if (!input_.ReadLine(line) || line.find('\0') != std::string_view::npos) {
    Fatal(input_file_name_ + " is not Amber TOP file.");
  }
  title_.assign(line);
  SectionReader reader(input_, input_file_name_, false);
  reader.Begin("POINTERS");
  // Twelve fields of equal width per line. The width comes from the first
  // line, which is always full: 72 columns for I6, 96 for I8. (The third
  // line holds only the remaining 6 or 7 values and is shorter.)
  size_t width = 0;
  for (size_t row = 0; row < 3; ++row) {
    if (!input_.ReadLine(line)) reader.Short(sections.pointers.size(), 3 * kPointersPerLine);
    if (row == 0) width = std::max<size_t>(TrimRight(line).size() / kPointersPerLine, 1);
    for (size_t k = 0; k < kPointersPerLine; ++k) {
      std::string_view field = Columns(line, k * width + 1, (k + 1) * width);
      if (Trim(field).empty()) break;
      int value = 0;
      if (!ParseIntField(field, value)) reader.NotANumber(Trim(field));
      sections.pointers.push_back(value);
    }
  }
  CheckCounts(sections, true);
  for (const SectionLayout& layout : kSections) ReadSection(reader, layout, sections.pointers, sections);
}

void CAmberTopologyFile::ReadFlaggedLayout(TopologySections& sections) {
  // Where each section's lines begin (after its %FLAG line); the first of
  // two sections with one name counts.
  std::map<std::string, uint64_t, std::less<>> starts;
  input_.Rewind();
  std::string_view line;
  while (input_.ReadLine(line)) {
    if (!IsFlagLine(line)) continue;
    std::string_view rest = line.substr(5);
    std::string_view name;
    if (NextWord(rest, name)) starts.emplace(std::string(name), input_.Tell());
  }
  SectionReader reader(input_, input_file_name_, true);
  auto seek = [&](std::string_view flag) {
    auto found = starts.find(flag);
    if (found == starts.end()) return false;
    input_.Seek(found->second);
    reader.Begin(flag);
    return true;
  };
  if (!seek("POINTERS")) Fatal(input_file_name_ + " is not Amber TOP file.");
  reader.ReadNumbers(UINT64_MAX, &sections.pointers, true);
  CheckCounts(sections, false);
  for (std::string_view flag : kTitleFlags) {
    if (seek(flag)) {
      if (reader.NextLine(line)) title_.assign(line);
      break;
    }
  }
  for (const SectionLayout& layout : kSections) {
    if (!layout.keep) continue;
    if (!seek(layout.flag)) {
      if (layout.optional) continue;
      Fatal("Error: " + input_file_name_ + " has no " + std::string(layout.flag) + " section.");
    }
    ReadSection(reader, layout, sections.pointers, sections);
  }
  if (seek(kAtomicNumberSection.flag)) ReadSection(reader, kAtomicNumberSection, sections.pointers, sections);
}

void CAmberTopologyFile::FillRecord(TopologySections& sections) {
  const std::vector<int>& p = sections.pointers;
  const int atoms = p[kNatom];
  const int residues = p[kNres];
  number_of_atoms_ = atoms;
  number_of_residues_ = residues;
  pointers_.assign(p.begin() + 1, p.end());

  const size_t n = static_cast<size_t>(atoms);
  atom_name_.reserve(n);
  atom_type_.reserve(n);
  // The element: ATOMIC_NUMBER, else the name and MASS together, else the
  // name alone. ATOMIC_NUMBER gives extra points 0, and so their mass.
  for (size_t i = 0; i < n; ++i) {
    const std::string& name = sections.atom_names[i];
    const int z = sections.atomic_numbers.empty() ? 0 : sections.atomic_numbers[i];
    std::string_view element;
    if (IsElementNumber(z))
      element = kElementSymbols[z];
    else if (sections.masses.empty())
      element = ElementOfName(name);
    else
      element = ElementOfNameAndMass(name, sections.masses[i]);
    atom_type_.emplace_back(element);
    atom_name_.push_back(AlignAmberName(name, element));
  }
  charge_.reserve(n);
  for (double charge : sections.charges) charge_.push_back(charge / kChargeScale);

  // Residue r holds the atoms from its pointer up to the next one; the
  // pointers must start at atom 1 and ascend within the atoms.
  head_atom_of_residue_.reserve(static_cast<size_t>(residues) + 1);
  for (int first : sections.residue_pointers) head_atom_of_residue_.push_back(first > 0 ? first - 1 : -1);
  head_atom_of_residue_.push_back(atoms);
  bool ordered = residues > 0 ? head_atom_of_residue_.front() == 0 : atoms == 0;
  for (size_t r = 0; ordered && r + 1 < head_atom_of_residue_.size(); ++r) {
    ordered = head_atom_of_residue_[r] < head_atom_of_residue_[r + 1];
  }
  if (!ordered) {
    Fatal("Error: " + input_file_name_ + ": the residue pointers do not ascend from atom 1 within its " +
          std::to_string(atoms) + " atoms.");
  }
  residue_name_.reserve(n);
  residue_number_.reserve(n);
  residue_index_.reserve(n);
  for (int r = 0; r < residues; ++r) {
    const size_t ri = static_cast<size_t>(r);
    for (int a = head_atom_of_residue_[ri]; a < head_atom_of_residue_[ri + 1]; ++a) {
      residue_name_.push_back(sections.residue_labels[ri]);
      residue_number_.push_back(r);
      residue_index_.push_back(r + 1);
    }
  }
  atom_index_.resize(n);
  for (size_t i = 0; i < n; ++i) atom_index_[i] = static_cast<int>(i) + 1;
}

// The title (only in the first topology written in the run) and the three
// pointer lines, NATOM first, six columns per value. Values the record never
// read are written as 0.
void CAmberTopologyFile::Write() {
  std::string& out = output_.Buffer();
  AppendTitleOnce(out, title_, AmberTitlesWritten().topology_title_written);
  const size_t third_line = version_ == "amber8" ? 7 : 6;
  size_t next = 0;  // position in the POINTERS section, NATOM being 0
  for (size_t count : {kPointersPerLine, kPointersPerLine, third_line}) {
    for (size_t k = 0; k < count; ++k, ++next) {
      const int value = next == 0 ? number_of_atoms_ : (next <= pointers_.size() ? pointers_[next - 1] : 0);
      AppendInt(out, value, 6);
    }
    out.push_back('\n');
  }
  output_.Commit();
}

}  // namespace tarvex
