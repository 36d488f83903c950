// Built-in tables shared by every record: element symbols and masses, the
// residue names that mark amino acids and water, and the default atom-typing
// rows. They are constant for the whole run.
#pragma once

#include <array>
#include <string_view>

namespace tarvex {

// Symbols indexed by atomic number, hydrogen (1) to oganesson (118); 0 is
// the dummy atom DU and the last entry, after the elements, the lone pair
// LP. Upper case, as the patterns and parameter tables spell them.
inline constexpr int kElementCount = 120;
inline constexpr int kLonePairIndex = kElementCount - 1;
// Elements a name or type written without its element is read as: up to
// radium. The symbols after it (OG, SG, NH, CN ...) begin amino-acid atom
// names and ion types (NH4+) far more often than they name an element.
inline constexpr int kGuessedElementCount = 89;
// Whether z is the atomic number of an element of the table (not DU or LP).
constexpr bool IsElementNumber(int z) { return z > 0 && z < kElementCount && z != kLonePairIndex; }
extern const std::array<std::string_view, kElementCount> kElementSymbols;
extern const std::array<double, kElementCount> kAtomicMasses;

// Position of a symbol in kElementSymbols (exact comparison), or -1.
int ElementIndex(std::string_view symbol);
// The mass of the element, or 0.0 with a warning line for an unknown symbol.
double AtomicMass(std::string_view symbol);
// The element (1 to 118) whose mass is nearest `mass`; masses of 0.5 to 3.6
// are hydrogen (deuterium 2.014, tritium 3.016, and the 3.024 of hydrogen
// mass repartitioning, which would otherwise come nearer helium). -1 for a
// mass below 0.5 (extra points, lone pairs) or not finite.
int ElementOfMass(double mass);

// The usual charge of the bare ion of an element past krypton (Rb to Ra):
// its most common oxidation state, 0 where the element forms no simple ion
// (noble gases) or where no single state prevails. The lighter elements'
// ion charges are in the parameter registry.
int HeavyIonCharge(int z);

// Amino-acid residue names (Amber variants included) and water names.
inline constexpr int kStandardResidueCount = 29;
extern const std::array<std::string_view, kStandardResidueCount> kStandardResidueNames;
inline constexpr int kWaterResidueCount = 3;
extern const std::array<std::string_view, kWaterResidueCount> kWaterResidueNames;
bool IsStandardResidue(std::string_view name);
bool IsWaterResidue(std::string_view name);

// The default MOL2 typing rows: element, type suffix, environment patterns
// (tried in order, first match wins) and mark ("?" for a provisional type).
struct TypingRow {
  std::string_view element;
  std::string_view suffix;
  std::string_view patterns;
  std::string_view mark;
};
inline constexpr int kTypingRowCount = 20;
extern const std::array<TypingRow, kTypingRowCount> kTypingRows;

inline constexpr double kDegreesToRadians = 0.017453292519943295;

}  // namespace tarvex
