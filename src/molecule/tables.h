// Built-in tables shared by every record: element symbols and masses, the
// residue names that mark amino acids and water, and the default atom-typing
// rows. They are constant for the whole run.
#pragma once

#include <array>
#include <string_view>

namespace tarvex {

// 88 symbols indexed by atomic number; 0 is the dummy atom DU and 87 the lone
// pair LP. Upper case, as the patterns and parameter tables spell them.
inline constexpr int kElementCount = 88;
extern const std::array<std::string_view, kElementCount> kElementSymbols;
extern const std::array<double, kElementCount> kAtomicMasses;

// Position of a symbol in kElementSymbols (exact comparison), or -1.
int ElementIndex(std::string_view symbol);
// The mass of the element, or 0.0 with a warning line for an unknown symbol.
double AtomicMass(std::string_view symbol);

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
