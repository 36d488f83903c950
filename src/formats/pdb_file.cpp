// PDB coordinate files.
//
// The columns of an atom record ("ATOM" or "HETATM" in columns 1-6), 1-based
// and inclusive as the PDB format description counts them:
//
//    1- 6  record name            "ATOM  " or "HETATM"
//    7-11  atom serial number     (read from column 5 for ATOM, so that the
//                                  six-digit serials some programs write
//                                  over "ATOM"'s two blanks still count)
//   13-16  atom name              element symbol in 13-14, right-justified:
//                                  " CA " is a carbon, "CA  " calcium
//      17  alternate location
//   18-20  residue name           CHARMM's four-letter names (TIP3, POPC)
//                                  spill into column 21, which is dropped
//      22  chain identifier
//   23-26  residue sequence number (21-26 without a chain letter, so that a
//                                  six-digit number is read whole)
//      27  insertion code
//   31-38, 39-46, 47-54   x, y, z in angstrom, 8.3
//   55-60  occupancy, 61-66 temperature factor
//   77-78  element symbol, right-justified (absent from many MD files)
//
// Files written by MD programs bend these columns: coordinates shifted off
// their fields (read then as three blank-separated numbers from column 28),
// residue numbers past 9999 written as "****", five-digit residue numbers
// running into column 27, and hydrogen names such as "1HB2" or "HD11" that
// start in column 13 although the element is one letter.
//
// CONECT: the atom serial in columns 7-11, then up to ten bonded serials in
// the 5-column fields from column 12.
#include "formats/pdb_file.h"

#include <algorithm>
#include <array>
#include <climits>

#include "common/exit.h"
#include "common/numbers.h"
#include "common/printable.h"
#include "common/text.h"
#include "molecule/coordinate_limit.h"
#include "molecule/tables.h"

namespace tarvex {
namespace {

constexpr int kStandardSearch = 1;
constexpr int kHintNearStartSearch = 2;
constexpr int kStandardAloneSearch = 3;
constexpr int kShiftedSearch = 4;
constexpr int kDigitPrefixSearch = 5;

// Records that fit the fixed columns start this far into the file, so the
// file size bounds the number of atoms well enough to reserve the lists once.
constexpr uint64_t kTypicalRecordLength = 64;
constexpr uint64_t kMostAtomsReserved = uint64_t{1} << 22;

bool StartsWith(std::string_view line, std::string_view prefix) {
  return line.size() >= prefix.size() && line.compare(0, prefix.size(), prefix) == 0;
}

// True when the symbol stands at position `at` of the name.
bool SymbolAt(std::string_view name, std::string_view symbol, size_t at) {
  return at + symbol.size() <= name.size() && name.compare(at, symbol.size(), symbol) == 0;
}

// The standard position of a symbol: column 14 for one letter, 13-14 for two.
size_t StandardPosition(std::string_view symbol) { return 2 - symbol.size(); }

bool AcceptStandard(std::string_view name, std::string_view symbol, std::string_view hint, bool strict) {
  if (!hint.empty() && hint != symbol) return false;
  const size_t standard = StandardPosition(symbol);
  const bool hydrogen = symbol == "H";
  // Occurrences from the right; one in column 13 ends the look.
  for (size_t at = name.rfind(symbol); at != std::string_view::npos;
       at = at == 0 ? std::string_view::npos : name.rfind(symbol, at - 1)) {
    if (at == standard) return true;
    if (!strict && hydrogen && at == 0) return true;
    if (at == 0) break;
  }
  return false;
}

bool AcceptShifted(std::string_view name, std::string_view symbol) {
  const size_t at = name.find(symbol);
  if (at == std::string_view::npos || at + symbol.size() > 3) return false;
  if (symbol.size() == 2) return at == 1;
  return at == 0 && !(name.size() > 1 && IsAlpha(name[1]));
}

// An 8.3 coordinate field: blanks around a short decimal, read on the fast
// path; anything else goes through the general reader.
bool ParseCoordinateField(std::string_view field, double& value) {
  size_t first = 0;
  size_t last = field.size();
  while (first < last && field[first] == ' ') ++first;
  while (last > first && field[last - 1] == ' ') --last;
  return ParseShortDecimal(field.substr(first, last - first), value) || ParseDoubleField(field, value);
}

// x, y, z: the fixed columns when their decimal points stand where the format
// puts them, otherwise the first three numbers from column 28 on.
bool ReadCoordinates(std::string_view line, Point& point) {
  if (ColumnChar(line, 35) == '.' && ColumnChar(line, 43) == '.' && ColumnChar(line, 51) == '.' &&
      ParseCoordinateField(Columns(line, 31, 38), point[0]) && ParseCoordinateField(Columns(line, 39, 46), point[1]) &&
      ParseCoordinateField(Columns(line, 47, 54), point[2])) {
    return true;
  }
  std::string_view rest = ColumnsFrom(line, 28);
  for (double& coordinate : point) {
    const size_t used = ParseDoublePrefix(rest, coordinate);
    if (used == 0) return false;
    rest.remove_prefix(used);
  }
  return true;
}

// The element search gives the same answer for the same name field, hint and
// STRICT setting, and a file repeats a few hundred names over and over; a
// small direct-mapped cache spares the search over 88 symbols per atom.
class AtomNameCache {
 public:
  struct Entry {
    uint64_t key = ~uint64_t{0};
    int element = 0;
    uint8_t length = 0;
    std::array<char, 4> name{};
  };

  // The key packs the (at most four) name bytes, the (at most two) hint
  // letters, their lengths and STRICT; longer names are not cached.
  static bool MakeKey(std::string_view name, std::string_view hint, bool strict, uint64_t& key) {
    if (name.size() > 4 || hint.size() > 2) return false;
    key = 0;
    for (size_t i = 0; i < name.size(); ++i) key |= uint64_t{static_cast<uint8_t>(name[i])} << (8 * i);
    for (size_t i = 0; i < hint.size(); ++i) key |= uint64_t{static_cast<uint8_t>(hint[i])} << (32 + 8 * i);
    key |= uint64_t{name.size()} << 48 | uint64_t{hint.size()} << 51 | uint64_t{strict} << 53;
    return true;
  }
  Entry& Slot(uint64_t key) {
    uint64_t h = key * 0x9E3779B97F4A7C15ULL;
    return entries_[h >> 54];
  }

 private:
  std::array<Entry, 1024> entries_{};
};

std::string_view ResidueNameForWriting(const std::vector<std::string>& names, size_t i) {
  if (i >= names.size()) return "MOL";
  return TrimRight(std::string_view(names[i]).substr(0, 3), " ");
}

void AppendUpper(std::string& out, std::string_view text, int width, bool upper) {
  if (!upper) {
    AppendRight(out, text, width);
    return;
  }
  if (static_cast<int>(text.size()) < width) out.append(static_cast<size_t>(width) - text.size(), ' ');
  for (char c : text) out.push_back(ToUpperChar(c));
}

void AppendRecordEnd(std::string& out, std::string_view record) {
  AppendLeft(out, record, 80);
  out.push_back('\n');
}

}  // namespace

// Names alone are read as the elements that names are guessed as, and lone
// pairs; the heavier ones only where the element columns name them.
PdbElementMatch FindPdbElement(std::string_view name, std::string_view hint, bool strict) {
  auto first = [&](auto accept, int search) -> PdbElementMatch {
    for (int e = 0; e < kElementCount; ++e) {
      const bool guessed = e < kGuessedElementCount || e == kLonePairIndex || kElementSymbols[e] == hint;
      if (guessed && accept(kElementSymbols[e])) return {e, search};
    }
    return {};
  };
  // 0. Element columns that name no element: "LP" (or "EP") an extra point
  // or lone pair, whatever its name (EPW of a four-point water would
  // otherwise be phosphorus), "DU" a dummy atom: what the writer writes for
  // atoms of those kinds.
  if (hint == "LP" || hint == "EP") return {kLonePairIndex, kStandardSearch};
  if (hint == "DU") return {0, kStandardSearch};
  // 1. At the standard position (or an H in column 13), agreeing with the hint.
  if (PdbElementMatch m =
          first([&](std::string_view s) { return AcceptStandard(name, s, hint, strict); }, kStandardSearch);
      m.search) {
    return m;
  }
  // 2. Near the start of the name, when the element columns name it.
  if (!strict && !hint.empty()) {
    int e = ElementIndex(hint);
    if (e >= 0) {
      size_t at = name.find(hint);
      if (at != std::string_view::npos && at <= 1) return {e, kHintNearStartSearch};
    }
  }
  // 3. At the standard position, whatever the hint says.
  if (PdbElementMatch m =
          first([&](std::string_view s) { return SymbolAt(name, s, StandardPosition(s)); }, kStandardAloneSearch);
      m.search) {
    return m;
  }
  // 4. Shifted one column: a two-letter symbol in 14-15, a lone letter in 13.
  if (PdbElementMatch m = first([&](std::string_view s) { return AcceptShifted(name, s); }, kShiftedSearch); m.search) {
    return m;
  }
  // 5. Digit prefixes such as " 1H" or "12H": the letter in column 15.
  if (name.size() >= 3 && IsDigit(name[1]) && (IsDigit(name[0]) || name[0] == ' ')) {
    int e = ElementIndex(name.substr(2, 1));
    if (e >= 0) return {e, kDigitPrefixSearch};
  }
  return {};
}

std::string NormalizePdbAtomName(std::string_view name, const PdbElementMatch& match) {
  std::string normalized(name);
  const bool moved =
      match.search == kHintNearStartSearch || match.search == kShiftedSearch || match.search == kDigitPrefixSearch;
  if (!moved || normalized.empty()) return normalized;
  if (kElementSymbols[match.element].size() == 2) {
    // The symbol moves left into columns 13-14.
    normalized.erase(0, 1);
    normalized.push_back(' ');
  } else if (IsDigit(normalized[0])) {
    // Old hydrogen style: 1HB2 becomes HB21.
    normalized.push_back(normalized[0]);
    normalized.erase(0, 1);
  }
  return normalized;
}

bool DecodeHybrid36(std::string_view text, int width, int& value) {
  if (width < 1 || width > 6 || static_cast<int>(text.size()) != width) return false;
  const bool upper = text[0] >= 'A' && text[0] <= 'Z';
  const bool lower = text[0] >= 'a' && text[0] <= 'z';
  if (!upper && !lower) return false;
  long long digits = 0;
  for (char c : text) {
    int digit = 0;
    if (IsDigit(c)) {
      digit = c - '0';
    } else if (upper && c >= 'A' && c <= 'Z') {
      digit = c - 'A' + 10;
    } else if (lower && c >= 'a' && c <= 'z') {
      digit = c - 'a' + 10;
    } else {
      return false;
    }
    digits = digits * 36 + digit;
  }
  long long place = 1;
  long long decimal_limit = 1;
  for (int i = 0; i < width; ++i) decimal_limit *= 10;
  for (int i = 1; i < width; ++i) place *= 36;
  // "A000" follows 9999; the lower-case range follows "ZZZZ".
  const long long decoded = upper ? digits - 10 * place + decimal_limit : digits + 16 * place + decimal_limit;
  if (decoded > INT_MAX) return false;
  value = static_cast<int>(decoded);
  return true;
}

struct CPdbFile::ReadState {
  bool strict = false;
  int residues = 0;
  int previous_residue_number = 0;
  int last_serial = 0;
  // "****" residue numbers: the running number and the name of the atom that
  // started it (its recurrence starts the next residue).
  bool overflow = false;
  int overflow_number = 0;
  std::string overflow_name;
  // CONECT pairs of serials, resolved once every atom is known.
  std::vector<std::pair<int, int>> bonds;
  AtomNameCache names;
};

CPdbFile::CPdbFile() = default;
CPdbFile::CPdbFile(std::string name) { OpenInput(std::move(name)); }
CPdbFile::~CPdbFile() = default;

void CPdbFile::OpenInput(std::string name) { StoreNameAndOpenInput(name); }
void CPdbFile::OpenOutput(std::string name, bool open) { OpenOutputShared(name, open); }

void CPdbFile::RecordError(std::string_view what) {
  Fatal("Error: " + input_file_name_ + ", line " + std::to_string(input_.LineNumber()) + ": " + std::string(what) +
        ".");
}

// The whole file is one molecule, whatever its MODEL records say; records
// other than ATOM, HETATM, TER and CONECT are passed over. The read goes on
// from where the last one stopped, so a second Read finds the end of the file
// and gives an empty record: an analyzer stepping through structures sees one
// and stops.
void CPdbFile::Read(int) {
  ClearAtomAndResidueGroups();
  ter_list_.clear();
  connection_.clear();
  number_of_atoms_ = 0;
  number_of_residues_ = 0;
  if (!input_.IsOpen()) return;

  const size_t expected = static_cast<size_t>(std::min(input_.FileSize() / kTypicalRecordLength, kMostAtomsReserved));
  cartesian_.reserve(expected);
  atom_name_.reserve(expected);
  atom_type_.reserve(expected);
  atom_index_.reserve(expected);
  residue_name_.reserve(expected);
  residue_index_.reserve(expected);
  residue_number_.reserve(expected);

  ReadState state;
  state.strict = (file_flags_ & kFileStrict) != 0;
  std::string_view line;
  while (input_.ReadLine(line)) {
    if (StartsWith(line, "ATOM")) {
      ReadAtomRecord(line, false, state);
    } else if (StartsWith(line, "HETATM")) {
      ReadAtomRecord(line, true, state);
    } else if (StartsWith(line, "CONECT")) {
      ReadConectRecord(line, state);
    } else if (StartsWith(line, "TER")) {
      ter_list_.push_back(static_cast<int>(cartesian_.size()));
    }
  }
  number_of_atoms_ = static_cast<int>(cartesian_.size());
  head_atom_of_residue_.push_back(number_of_atoms_);
  number_of_residues_ = state.residues;
  ResolveConnections(state.bonds);
}

void CPdbFile::ReadAtomRecord(std::string_view line, bool hetatm, ReadState& state) {
  Point point{};
  if (!ReadCoordinates(line, point)) RecordError("the atom record has no x, y, z coordinates");
  if (!HoldablePoint(point))
    RefuseCoordinate(point, input_file_name_ + ", line " + std::to_string(input_.LineNumber()));
  if (cartesian_.size() >= static_cast<size_t>(INT_MAX - 1)) RecordError("too many atoms");
  ReadAtomName(line, hetatm, state);

  // The residue name is read from columns 18-20 only, so that it survives
  // the writer's three columns. The number starts at column 23 after a chain
  // letter, and also after CHARMM's four-letter names (TIP3, POPC), whose
  // last letter fills column 21 with column 22 left blank: read from column
  // 21, every TIP3 water would be residue 3.
  const char column21 = ColumnChar(line, 21);
  const char column22 = ColumnChar(line, 22);
  const std::string_view residue_name = Trim(Columns(line, 18, 20));
  const size_t first = IsAlpha(column22) || (column22 == ' ' && column21 != ' ') ? 23 : 21;
  // A five-digit number after a four-letter name runs on into column 27.
  const size_t last = IsDigit(ColumnChar(line, 26)) && IsDigit(ColumnChar(line, 27)) ? 27 : 26;
  const int number = ReadResidueNumber(Columns(line, first, last), state);

  const bool new_residue =
      residue_name_.empty() || number != state.previous_residue_number || residue_name != residue_name_.back();
  if (new_residue) {
    head_atom_of_residue_.push_back(static_cast<int>(cartesian_.size()));
    ++state.residues;
  }
  state.previous_residue_number = number;
  residue_name_.emplace_back(residue_name);
  residue_index_.push_back(number);
  residue_number_.push_back(state.residues - 1);
  cartesian_.push_back(point);
}

void CPdbFile::ReadAtomName(std::string_view line, bool hetatm, ReadState& state) {
  std::array<char, 2> hint_letters{};
  size_t hint_length = 0;
  if (line.size() >= 78) {
    for (size_t column = 77; column <= 78; ++column) {
      const char c = line[column - 1];
      if (IsAlpha(c)) hint_letters[hint_length++] = ToUpperChar(c);
    }
  }
  const std::string_view hint(hint_letters.data(), hint_length);
  const std::string_view field = Columns(line, 13, 16);
  std::array<char, 4> upper{};
  for (size_t i = 0; i < field.size(); ++i) upper[i] = ToUpperChar(field[i]);
  const std::string_view name(upper.data(), field.size());

  uint64_t key = 0;
  if (AtomNameCache::MakeKey(name, hint, state.strict, key)) {
    AtomNameCache::Entry& entry = state.names.Slot(key);
    if (entry.key != key) {
      const PdbElementMatch match = FindPdbElement(name, hint, state.strict);
      const std::string normalized = NormalizePdbAtomName(name, match);
      entry.key = key;
      entry.element = match.element;
      entry.length = static_cast<uint8_t>(normalized.size());
      std::copy(normalized.begin(), normalized.end(), entry.name.begin());
    }
    atom_name_.emplace_back(entry.name.data(), entry.length);
    atom_type_.emplace_back(kElementSymbols[entry.element]);
  } else {
    const PdbElementMatch match = FindPdbElement(name, hint, state.strict);
    atom_name_.push_back(NormalizePdbAtomName(name, match));
    atom_type_.emplace_back(kElementSymbols[match.element]);
  }

  // Programs that run out of serial columns write "*****" or other text; such
  // an atom continues the count of the one before it.
  int serial = 0;
  if (ParseIntPrefix(ColumnsFrom(line, hetatm ? 7 : 5), serial) == 0) {
    serial = state.last_serial < INT_MAX ? state.last_serial + 1 : INT_MAX;
  }
  state.last_serial = serial;
  atom_index_.push_back(serial);
}

// Residue numbers past 9999 come as "****" from some programs: they are
// numbered on from 10000, a new number each time the name of the atom that
// began the overflow comes round again (each water oxygen). Hybrid-36
// numbers ("A000" after 9999) are decoded; a blank field reads as 0.
int CPdbFile::ReadResidueNumber(std::string_view field, ReadState& state) {
  const std::string_view text = Trim(field);
  if (text.find("****") != std::string_view::npos) {
    if (!state.overflow) {
      state.overflow = true;
      state.overflow_number = 10000;
      state.overflow_name = atom_name_.back();
    } else if (atom_name_.back() == state.overflow_name && state.overflow_number < INT_MAX) {
      ++state.overflow_number;
    }
    return state.overflow_number;
  }
  int number = 0;
  if (ParseIntPrefix(field, number) > 0) return number;
  if (text.empty()) return 0;
  if (DecodeHybrid36(text, 4, number)) return number;
  RecordError("the residue number \"" + Printable(text) + "\" is not a number");
}

void CPdbFile::ReadConectRecord(std::string_view line, ReadState& state) {
  int serial = 0;
  if (ParseIntPrefix(Columns(line, 7, 11), serial) == 0) return;
  for (size_t column = 12; column <= 57; column += 5) {
    const std::string_view field = TrimLeft(Columns(line, column, column + 4));
    if (field.empty() || !IsDigit(field[0])) break;
    int bonded = 0;
    if (ParseIntPrefix(field, bonded) == 0) break;
    state.bonds.emplace_back(serial, bonded);
  }
}

// Serials name the first atom that carries them (AtomNumberToIndex). Each
// bond goes into the list of its first atom only, in the direction the file
// gives; pairs that name no atom of the file are dropped.
void CPdbFile::ResolveConnections(const std::vector<std::pair<int, int>>& pairs) {
  connection_.clear();
  if (pairs.empty() || atom_index_.empty()) return;
  for (const auto& [from, to] : pairs) {
    const int a = AtomNumberToIndex(from);
    const int b = AtomNumberToIndex(to);
    if (a >= 0 && b >= 0) connection_[a].push_back(b);
  }
}

void CPdbFile::Write() {
  RequireWholeStructure();
  if (file_flags_ & kFileCreateBonds) CreateConnection();
  std::string& out = output_.Buffer();
  WriteAtomRecords(out);
  WriteConectRecords(out);
  AppendRecordEnd(out, "END");
  output_.Commit();
  output_.Close();
}

// Every atom is written as ATOM with its position + 1 as serial; fields the
// record lacks take their defaults (DU, MOL, residue 1, the origin).
void CPdbFile::WriteAtomRecords(std::string& out) {
  const size_t n = static_cast<size_t>(number_of_atoms_ > 0 ? number_of_atoms_ : static_cast<int>(cartesian_.size()));
  const bool upper = (file_flags_ & kFileUpper) != 0;
  const bool numbering_as_read = (file_flags_ & kFileReadNumbering) != 0;
  std::vector<int> ter = ter_list_;
  std::sort(ter.begin(), ter.end());
  size_t next_ter = 0;
  for (size_t i = 0; i < n; ++i) {
    while (next_ter < ter.size() && ter[next_ter] < static_cast<long long>(i)) ++next_ter;
    if (next_ter < ter.size() && ter[next_ter] == static_cast<long long>(i)) AppendRecordEnd(out, "TER");

    const std::string_view name = i < atom_name_.size() ? std::string_view(atom_name_[i]) : "DU";
    const std::string_view residue = ResidueNameForWriting(residue_name_, i);
    long long residue_number = 1;
    if (numbering_as_read) {
      if (i < residue_index_.size()) residue_number = residue_index_[i];
    } else if (i < residue_number_.size()) {
      residue_number = static_cast<long long>(residue_number_[i]) + 1;
    }
    const std::string_view element = i < atom_type_.size() ? std::string_view(atom_type_[i]) : "DU";
    const Point point = i < cartesian_.size() ? cartesian_[i] : Point{0.0, 0.0, 0.0};

    out.append("ATOM");
    AppendInt(out, static_cast<long long>(i) + 1, 7);
    out.push_back(' ');
    AppendUpper(out, name, 4, upper);
    out.push_back(' ');
    AppendUpper(out, residue, 3, upper);
    if (residue_number > 99999) {
      out.append(" *****");
    } else {
      AppendInt(out, residue_number, 6);
    }
    out.append("    ");
    AppendFixed(out, point[0], 8, 3);
    AppendFixed(out, point[1], 8, 3);
    AppendFixed(out, point[2], 8, 3);
    out.append("  1.00  0.00          ");
    AppendUpper(out, element, 2, upper);
    out.append("  \n");
    output_.Commit();
  }
}

// Bonds of ligands, ions and unlisted solvents; the amino acids and waters
// are left to the reader's own templates.
void CPdbFile::WriteConectRecords(std::string& out) {
  const int n = number_of_atoms_ > 0 ? number_of_atoms_ : static_cast<int>(cartesian_.size());
  for (auto [atom, neighbours] : connection_) {
    if (atom >= n || neighbours.empty()) continue;
    const std::string residue(ResidueNameForWriting(residue_name_, static_cast<size_t>(atom)));
    if (IsStandardResidueName(residue) || IsSecondResidueName(residue)) continue;
    const size_t start = out.size();
    out.append("CONECT");
    AppendInt(out, atom + 1, 5);
    for (int bonded : neighbours) AppendInt(out, static_cast<long long>(bonded) + 1, 5);
    const size_t length = out.size() - start;
    if (length < 80) out.append(80 - length, ' ');
    out.push_back('\n');
    output_.Commit();
  }
}

}  // namespace tarvex
