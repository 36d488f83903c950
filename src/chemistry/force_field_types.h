// Amber and GAFF atom types, and the elements they stand for.
//
// Force-field atom types name elements by convention, not by their letters.
// In Amber's protein and nucleic-acid force fields CA, CB, CC, CN, CR, CV,
// CW and C* are carbons, NA, NB and N* nitrogens, HO, HS and HP hydrogens,
// while IM, IP, MG and C0 are the chloride, sodium, magnesium and calcium
// ions. GAFF writes its types in lower case (ca an aromatic carbon, nb an
// aromatic nitrogen, cl chlorine, n4 an ammonium nitrogen). Reading the first
// two letters of such a type as a chemical symbol would turn every aromatic
// carbon into calcium and every aromatic nitrogen into sodium, and every later
// chemistry step would go wrong; hence one table of the types themselves,
// used by every reader of files that carry them (MOL2, PREP).
#pragma once

#include <span>
#include <string_view>

namespace tarvex {

// One force-field atom type and its element (a position in kElementSymbols:
// the atomic number, 0 for the dummy atom DU, kLonePair for lone pairs and
// extra points).
struct ForceFieldType {
  std::string_view type;
  int element;
};

// Every type of the table, Amber's then GAFF's, grouped by element.
std::span<const ForceFieldType> ForceFieldTypes();

// The element of a type in the table, compared exactly (CA is an Amber
// carbon, ca a GAFF carbon); an all-upper-case type that is not an Amber type
// is also tried in lower case, as LEaP and ParmEd write GAFF types upper-cased
// (CE, NF). -1 for a type the table does not know.
int ForceFieldTypeElement(std::string_view type);

// The element of an atom described by a file's atom type and atom name, or
// -1 when neither names one:
//   1. a force-field type of the table (above);
//   2. an ion type: an element symbol with its charge, Na+, Cl-, Mg2+, Zn2+;
//   3. a chemical symbol spelt as one, H, C, Cl, Na, Zn (SYBYL's element
//      types; Du is the dummy atom);
//   4. otherwise the atom name (ElementOfAtomName).
int ElementOfAtomType(std::string_view type, std::string_view atom_name);

// The element an atom name starts with, read the way force-field files name
// atoms: leading digits and blanks passed over (1HB2 is a hydrogen), a symbol
// spelt with a lower-case second letter first (Cl1, Na), then a one-letter
// symbol (C12, N1, W1), then a two-letter upper-case one (MG, ZN1). -1 when
// the name starts with no symbol.
int ElementOfAtomName(std::string_view name);

}  // namespace tarvex
