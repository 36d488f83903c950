// Force-field atom types, and the elements they stand for.
//
// Force-field atom types name elements by convention, not by their letters.
// In Amber's protein and nucleic-acid force fields CA, CB, CC, CN, CR, CV,
// CW and C* are carbons, NA, NB and N* nitrogens, HO, HS and HP hydrogens,
// while IM, IP, MG and C0 are the chloride, sodium, magnesium and calcium
// ions. GAFF writes its types in lower case (ca an aromatic carbon, nb an
// aromatic nitrogen, cl chlorine, n4 an ammonium nitrogen), GLYCAM in mixed
// case (Os a ring oxygen, Ho a hydroxyl hydrogen, Sm a thioether sulfur), the
// Amber lipid force fields with a lower-case first letter (cA, oS, pA), and
// CHARMM with longer names (CTL2, HAL2, OSL, SOD, CLA). Reading the letters
// of such a type as a chemical symbol would turn every aromatic carbon into
// calcium, every sugar's ring oxygen into osmium and every sodium ion into
// sulfur, and every later chemistry step would go wrong; hence one table of
// the types themselves, used by every reader of files that carry them (MOL2,
// PREP, topologies).
//
// A few type names mean different atoms in different force fields: CL is
// chlorine in Amber's and a carbonyl carbon in CHARMM's lipids, C1 to C4 are
// carbons in Amber's nucleic-acid force fields and base beads of the
// coarse-grained RNA model, SO is sulfur in the modified-RNA set and sodium
// in old ion libraries. The file around such a type tells which is meant
// (TypeContext): the mass where the file gives one (a topology), the other
// types of the file (a MOL2 file with CTL2 and OSL is a CHARMM file), and an
// atom that is a residue of its own (an ion). Without any hint the first
// meaning holds: Amber's.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tarvex {

// The force fields whose types the table holds, as bits of a word.
enum ForceField : uint32_t {
  kAmberTypes = 0x1,    // parm91 to parm15ipq and their frcmods, OPLS, ions, waters
  kGaffTypes = 0x2,     // GAFF and GAFF2
  kGlycamTypes = 0x4,   // GLYCAM_06
  kLipidTypes = 0x8,    // lipid11, lipid14
  kToyRnaTypes = 0x10,  // the coarse-grained RNA model's beads
  kCharmmTypes = 0x20,  // CHARMM36 proteins, lipids and ions
  kOldIonTypes = 0x40,  // ions of old residue libraries
  // Not a force field: the file writes SYBYL types (C.3, N.ar, or element
  // symbols alone), so a type spelt as a symbol (Cl, Na, W) is that element.
  kSybylTypes = 0x80,
};

// One meaning of a force-field atom type: its element (a position in
// kElementSymbols: the atomic number, 0 for the dummy atom DU, kLonePair for
// lone pairs and extra points), the mass its force field gives it, and the force
// field. A type with several meanings has several entries, the usual one
// first.
struct ForceFieldType {
  std::string_view type;
  int element;
  float mass;
  ForceField field;
  bool ion;  // a monatomic ion
};

// Every entry of the table, sorted by type (meanings of one type in the
// order of preference).
std::span<const ForceFieldType> ForceFieldTypes();

// What the file around an atom says about its type.
struct TypeContext {
  uint32_t fields = 0;     // ForceField bits of the file's types (FieldsOfTypes)
  double mass = 0.0;       // the atom's mass where the file gives one, else 0
  bool lone_atom = false;  // the atom is a residue of its own
};

// The force fields that the given types show: a field counts when some type
// belongs to it alone (CTL2 to CHARMM, Cg to GLYCAM, A1 to the RNA model).
// SYBYL counts when some type has a "." (C.3) or every type is spelt as a
// chemical symbol.
uint32_t FieldsOfTypes(std::span<const std::string> types);
uint32_t FieldsOfTypes(std::span<const std::string_view> types);

// The element of a type of the table, or -1 for a type the table does not
// know. The type is compared exactly (CA is an Amber carbon, ca a GAFF
// carbon); an all-upper-case type that is not an Amber type is also tried in
// lower case, as LEaP and ParmEd write GAFF types upper-cased (CE, NF). Of
// several meanings: the one whose mass is nearest the context's mass, else
// one of a force field the file shows, else an ion for a lone atom, else the
// first.
int ForceFieldTypeElement(std::string_view type, const TypeContext& context = {});

// The element of an atom described by a file's atom type and atom name, or
// -1 when neither names one:
//   1. in a SYBYL file, a chemical symbol spelt as one (C, Cl, Na, W);
//   2. a force-field type of the table (above);
//   3. an ion type: an element symbol with its charge, Na+, Cl-, Mg2+, Zn2+;
//   4. a chemical symbol spelt as one, H, C, Cl, Na, Zn (SYBYL's element
//      types; Du is the dummy atom, Lp a lone pair);
//   5. a two-letter type that spells an element symbol in one case, SE, YB,
//      ZN, fe: types no force field defines, written by tools that type
//      metals and selenium by their symbols;
//   6. otherwise the atom name (ElementOfAtomName).
int ElementOfAtomType(std::string_view type, std::string_view atom_name, const TypeContext& context = {});

// The element an atom name starts with, read the way force-field files name
// atoms: leading digits and blanks passed over (1HB2 is a hydrogen), a symbol
// spelt with a lower-case second letter first (Cl1, Na), then a one-letter
// symbol (C12, N1, W1), then a two-letter upper-case one (MG, ZN1). -1 when
// the name starts with no symbol.
int ElementOfAtomName(std::string_view name);

}  // namespace tarvex
