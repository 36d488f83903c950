#include "molecule/tables.h"

#include <cmath>
#include <string>

#include "common/console.h"
#include "common/printable.h"

namespace tarvex {

const std::array<std::string_view, kElementCount> kElementSymbols = {
    "DU", "H",  "HE", "LI", "BE", "B",  "C",  "N",  "O",  "F",  "NE", "NA", "MG", "AL", "SI", "P",  "S",  "CL",
    "AR", "K",  "CA", "SC", "TI", "V",  "CR", "MN", "FE", "CO", "NI", "CU", "ZN", "GA", "GE", "AS", "SE", "BR",
    "KR", "RB", "SR", "Y",  "ZR", "NB", "MO", "TC", "RU", "RH", "PD", "AG", "CD", "IN", "SN", "SB", "TE", "I",
    "XE", "CS", "BA", "LA", "CE", "PR", "ND", "PM", "SM", "EU", "GD", "TB", "DY", "HO", "ER", "TM", "YB", "LU",
    "HF", "TA", "W",  "RE", "OS", "IR", "PT", "AU", "HG", "TL", "PB", "BI", "PO", "AT", "RN", "FR", "RA", "AC",
    "TH", "PA", "U",  "NP", "PU", "AM", "CM", "BK", "CF", "ES", "FM", "MD", "NO", "LR", "RF", "DB", "SG", "BH",
    "HS", "MT", "DS", "RG", "CN", "NH", "FL", "MC", "LV", "TS", "OG", "LP"};

const std::array<double, kElementCount> kAtomicMasses = {
    0.0, 1.00794, 4.002602, 6.941, 9.012182, 10.811, 12.0107, 14.0067, 15.9994, 18.9984032, 20.1797, 22.98977, 24.305,
    26.981538, 28.0855, 30.973761, 32.065, 35.453, 39.948, 39.0983, 40.078, 44.95591, 47.867, 50.9415, 51.9961,
    54.938049, 55.845, 58.9332, 58.6934, 63.546, 65.39, 69.723, 72.64, 74.9216, 78.96, 79.904, 83.8, 85.4678, 87.62,
    88.90585, 91.224, 92.90638, 95.94, 99.0, 101.07, 102.9055, 106.42, 107.8682, 112.411, 114.818, 118.71, 121.76,
    127.6, 126.90447, 131.293, 132.90545, 137.327, 138.9055, 140.116, 140.90765, 144.24, 145.0, 150.36, 151.964, 157.25,
    158.92534, 162.5, 164.93032, 167.259, 168.93421, 173.04, 174.967, 178.49, 180.9479, 183.84, 186.207, 190.23,
    192.217, 195.078, 196.96655, 200.59, 204.3833, 207.2, 208.98038, 210.0, 210.0, 222.0,
    // Francium to oganesson: the standard atomic weights of thorium,
    // protactinium and uranium (CIAAW 2021), for the others the mass number
    // of the longest-lived isotope, as the IUPAC periodic table gives it.
    223.0, 226.0, 227.0, 232.0377, 231.03588, 238.02891, 237.0, 244.0, 243.0, 247.0, 247.0, 251.0, 252.0, 257.0, 258.0,
    259.0, 266.0, 267.0, 268.0, 269.0, 270.0, 269.0, 278.0, 281.0, 282.0, 285.0, 286.0, 289.0, 290.0, 293.0, 294.0,
    294.0,
    // the lone pair
    0.0};

const std::array<std::string_view, kStandardResidueCount> kStandardResidueNames = {
    "ALA", "ILE", "LEU", "MET", "PHE", "PRO", "VAL", "ARG", "ASP", "GLU", "LYS", "ASN", "CYS", "GLN", "HIS",
    "SER", "THR", "TRP", "TYR", "GLY", "ASX", "GLX", "HID", "HIE", "HIP", "CYX", "ASH", "GLH", "LYH"};

const std::array<std::string_view, kWaterResidueCount> kWaterResidueNames = {"WAT", "HOH", "H2O"};

const std::array<TypingRow, kTypingRowCount> kTypingRows = {{
    {"C", "cat", "(3C(3N(C,H,*),3N(C,H,*),*))", ""},
    {"C", "ar",
     "(3C(C,C,*),3C(C,N,*),3C(N,N,*),3C(C,S,*),3C(N,S,*),3C(C,O,*),3C(N,O,*),2C(C,C),2C(C,N),"
     "2C(N,N),2C(C,S),2C(N,S))",
     "?"},
    {"C", "3", "(4C)", ""},
    {"C", "2", "(3C)", ""},
    {"C", "1", "(2C,1C(2N))", ""},
    {"N", "am", "(3N(3C(1O(C),N,*),H,*),3N(3C(1O(C),N,*),C,*))", ""},
    {"N", "pl3", "(3N)", "?"},
    {"N", "ar", "(2N(C,C),2N(C,N),2N(N,N),2N(C,S),2N(N,S),3N(C,C,*),3N(C,N,*),3N(N,N,*),3N(C,S,*),3N(N,S,*))", "?"},
    {"N", "2", "(2N,3N(1O(N),1O(N),*))", ""},
    {"N", "4", "(4N)", ""},
    {"N", "3", "(3N)", ""},
    {"N", "1", "(1N)", ""},
    {"O", "co2",
     "(1O(3C(1O(C),1O(C),*)),1O(4P(1O(P),1O(P),1O(P),2O(P,*))),1O(4P(1O(P),1O(P),2O(P,*),2O(P,*))),"
     "1O(4S(1O(S),1O(S),1O(S),*)))",
     ""},
    {"O", "3", "(2O)", ""},
    {"O", "2", "(1O)", ""},
    {"S", "O", "(3S(O,*,*))", ""},
    {"S", "O2", "(4S(O,O,*,*))", ""},
    {"S", "2", "(1S)", ""},
    {"S", "3", "(2S,3S,4S)", ""},
    {"P", "3", "(4P)", ""},
}};

int ElementIndex(std::string_view symbol) {
  for (int i = 0; i < kElementCount; ++i) {
    if (kElementSymbols[i] == symbol) return i;
  }
  return -1;
}

double AtomicMass(std::string_view symbol) {
  int index = ElementIndex(symbol);
  if (index < 0) {
    Warn("Warning: unknown atom type: " + Printable(symbol) + ".");
    return 0.0;
  }
  return kAtomicMasses[index];
}

namespace {

struct IonCharge {
  int z;
  int charge;
};

// Most common oxidation states of the elements Rb to Ra, as the charge of
// their bare ions in water and in metal sites, after N. N. Greenwood and
// A. Earnshaw, Chemistry of the Elements, 2nd ed. (Butterworth-Heinemann,
// 1997), the chapters of each group: Ag+, Cd2+, Hg2+, Sn2+, Pb2+, Tl+, the
// platinum metals Pd2+ and Pt2+ of their square-planar complexes, Ru2+ of
// its polypyridyl and arene complexes, Rh3+ and Ir3+, gold as Au+, and every lanthanide +3 (Eu2+ and Yb2+ are
// the reduced exceptions). Tellurium is a chalcogen like selenium, and the
// early transition metals take their group oxidation state (ZrO2, Nb2O5,
// MoO4 2-, WO4 2-, TcO4-, ReO4-), which their rare bare ions would carry.
constexpr IonCharge kHeavyIonCharges[] = {
    {37, 1}, {38, 2}, {39, 3}, {40, 4},  {41, 5}, {42, 6}, {43, 7}, {44, 2}, {45, 3}, {46, 2}, {47, 1},  {48, 2},
    {49, 3}, {50, 2}, {51, 3}, {52, -2}, {55, 1}, {56, 2}, {57, 3}, {58, 3}, {59, 3}, {60, 3}, {61, 3},  {62, 3},
    {63, 3}, {64, 3}, {65, 3}, {66, 3},  {67, 3}, {68, 3}, {69, 3}, {70, 3}, {71, 3}, {72, 4}, {73, 5},  {74, 6},
    {75, 7}, {76, 4}, {77, 3}, {78, 2},  {79, 1}, {80, 2}, {81, 1}, {82, 2}, {83, 3}, {84, 2}, {85, -1}, {88, 2},
};

}  // namespace

int HeavyIonCharge(int z) {
  for (const IonCharge& ion : kHeavyIonCharges) {
    if (ion.z == z) return ion.charge;
  }
  return 0;
}

int ElementOfMass(double mass) {
  if (!(mass >= 0.5) || !std::isfinite(mass)) return -1;
  constexpr int kHydrogen = 1;
  if (mass < 3.6) return kHydrogen;
  int nearest = kHydrogen;
  for (int z = kHydrogen; z < kElementCount; ++z) {
    if (IsElementNumber(z) && std::fabs(kAtomicMasses[z] - mass) < std::fabs(kAtomicMasses[nearest] - mass)) {
      nearest = z;
    }
  }
  return nearest;
}

bool IsStandardResidue(std::string_view name) {
  for (std::string_view known : kStandardResidueNames) {
    if (known == name) return true;
  }
  return false;
}

bool IsWaterResidue(std::string_view name) {
  for (std::string_view known : kWaterResidueNames) {
    if (known == name) return true;
  }
  return false;
}

}  // namespace tarvex
