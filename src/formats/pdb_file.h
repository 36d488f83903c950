// CPdbFile: Protein Data Bank coordinate files.
//
// Reading takes every ATOM and HETATM record of the file as one molecule
// (MODEL records are not separated), with the TER records as chain breaks and
// the CONECT records as bonds. Writing gives fixed-column ATOM records, TER
// at the chain breaks, CONECT for the atoms outside the amino-acid and water
// residues, and END. pdb_file.cpp describes the columns.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "molecule/data_file.h"

namespace tarvex {

// The element found in a PDB atom name, and which of the five searches found
// it (0: none, the atom is a dummy "DU").
struct PdbElementMatch {
  int element = 0;  // index into kElementSymbols
  int search = 0;
};

// The element searches over the upper-cased four-column name field, with the
// element columns 77-78 as a hint (upper-case letters only, may be empty).
// STRICT leaves out the two relaxed rules. Plain data, so that the name rules
// can be tested without a file.
PdbElementMatch FindPdbElement(std::string_view name, std::string_view hint, bool strict);
// The stored name: element symbols found away from their standard columns
// are moved there (search 2, 4 or 5), everything else is kept as read.
std::string NormalizePdbAtomName(std::string_view name, const PdbElementMatch& match);
// Hybrid-36 numbers of a fixed width (the PDB's way past 9999 residues or
// 99999 atoms: "A000" follows 9999). False when the text is not one.
bool DecodeHybrid36(std::string_view text, int width, int& value);

class CPdbFile final : public CDataFile {
 public:
  CPdbFile();
  explicit CPdbFile(std::string name);
  ~CPdbFile() override;

  void OpenInput(std::string name) override;
  void OpenOutput(std::string name, bool open) override;
  void Read(int which) override;
  void Write() override;

 private:
  // What one Read carries from record to record.
  struct ReadState;

  void ReadAtomRecord(std::string_view line, bool hetatm, ReadState& state);
  // Name, element and serial of one atom record.
  void ReadAtomName(std::string_view line, bool hetatm, ReadState& state);
  int ReadResidueNumber(std::string_view field, ReadState& state);
  void ReadConectRecord(std::string_view line, ReadState& state);
  // Turns the kept CONECT serial pairs into bonds between atom positions.
  void ResolveConnections(const std::vector<std::pair<int, int>>& pairs);
  [[noreturn]] void RecordError(std::string_view what);

  void WriteAtomRecords(std::string& out);
  void WriteConectRecords(std::string& out);
};

}  // namespace tarvex
