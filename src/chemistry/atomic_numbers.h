// The atomic numbers and periodic-table groups the chemistry rules name.
// An atomic number is also the element's index in kElementSymbols
// (molecule/tables.h), where 0 is the dummy atom DU and the entry after
// oganesson (118) the lone pair LP.
#pragma once

namespace tarvex {

inline constexpr int kDummyAtom = 0;
inline constexpr int kHydrogen = 1;
inline constexpr int kHelium = 2;
inline constexpr int kLithium = 3;
inline constexpr int kBoron = 5;
inline constexpr int kCarbon = 6;
inline constexpr int kNitrogen = 7;
inline constexpr int kOxygen = 8;
inline constexpr int kFluorine = 9;
inline constexpr int kNeon = 10;
inline constexpr int kSodium = 11;
inline constexpr int kMagnesium = 12;
inline constexpr int kSilicon = 14;
inline constexpr int kPhosphorus = 15;
inline constexpr int kSulfur = 16;
inline constexpr int kChlorine = 17;
inline constexpr int kArgon = 18;
inline constexpr int kPotassium = 19;
inline constexpr int kCalcium = 20;
inline constexpr int kIron = 26;
inline constexpr int kCopper = 29;
inline constexpr int kZinc = 30;
inline constexpr int kGermanium = 32;
inline constexpr int kArsenic = 33;
inline constexpr int kSelenium = 34;
inline constexpr int kBromine = 35;
inline constexpr int kKrypton = 36;
inline constexpr int kRubidium = 37;
inline constexpr int kCadmium = 48;
inline constexpr int kAntimony = 51;
inline constexpr int kTellurium = 52;
inline constexpr int kIodine = 53;
inline constexpr int kXenon = 54;
inline constexpr int kCaesium = 55;
inline constexpr int kBarium = 56;
inline constexpr int kAstatine = 85;
inline constexpr int kRadon = 86;
inline constexpr int kLonePair = 119;  // kLonePairIndex of molecule/tables.h

// Main groups of the covalent elements (ElementChemistry::group).
inline constexpr int kBoronGroup = 13;
inline constexpr int kCarbonGroup = 14;
inline constexpr int kNitrogenGroup = 15;
inline constexpr int kOxygenGroup = 16;  // the chalcogens
inline constexpr int kHalogenGroup = 17;

}  // namespace tarvex
