// CMol2File: Tripos MOL2 files.
//
// A MOL2 file is a series of sections, each opened by a "@<TRIPOS>NAME"
// line. Three are read:
//   MOLECULE  the molecule name; the counts line; the molecule type (SMALL,
//             PROTEIN, BIOPOLYMER ...); the charge type (NO_CHARGES means the
//             charge column carries nothing);
//   ATOM      id name x y z type [substructure-id [substructure-name [charge]]]
//   BOND      id origin-atom-id target-atom-id type
// The SYBYL atom type is an element and a hybridisation suffix joined by a
// "." (C.ar, N.pl3, S.o2); Amber and GAFF types (CT, ca, hn) and metals (Zn)
// have no "."; the reader takes each atom's element from the type,
// force-field types through their table (CT and ca are carbons, not
// calcium; force_field_types.h). The writer produces MOLECULE, ATOM, BOND
// and SUBSTRUCTURE.
#pragma once

#include <string>
#include <vector>

#include "molecule/data_file.h"

namespace tarvex {

class CMol2File final : public CDataFile {
 public:
  CMol2File();
  explicit CMol2File(std::string name);
  ~CMol2File() override;

  void OpenInput(std::string name) override;
  void OpenOutput(std::string name, bool open) override;
  void Read(int which) override;
  void Write() override;

  // The part of each atom's MOL2 type after its "." (empty without one);
  // `atom_type` holds the element of the part before it.
  const std::vector<std::string>& Mol2TypeSuffixes() const { return type_suffix_; }

 private:
  // What one Read carries from line to line.
  struct ReadState;

  bool EnterSection(std::string_view name, ReadState& state);
  void ReadSectionLine(std::string_view line, ReadState& state);
  void FinishMolecule(const ReadState& state);
  void ReadAtomLine(std::string_view line, ReadState& state);
  void AssignElements(const ReadState& state);
  void WriteAtoms(std::string& out);
  void WriteBonds(std::string& out, const std::vector<std::pair<int, int>>& bonds);
  std::vector<std::pair<int, int>> BondPairs() const;
  void WriteSubstructures(std::string& out);
  std::string SubstructureName(size_t atom) const;

  std::vector<std::string> type_suffix_;
};

}  // namespace tarvex
