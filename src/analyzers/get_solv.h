// getsolv: the solvent molecules within a radius of chosen atoms or residues,
// written with the whole solute as a PDB file.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "driver/analyzer.h"
#include "molecule/data_file.h"

namespace tarvex {

// The molecule as the shell search sees it: atoms with their residue
// ordinals, residues as ranges of atoms (head[r] .. head[r + 1]) and a
// solvent mark per residue.
struct ShellSystem {
  const Point* points = nullptr;
  int atom_count = 0;
  const int* residue_of_atom = nullptr;
  const int* head = nullptr;
  int residue_count = 0;
  const uint8_t* solvent = nullptr;
};

// The cube test of the shell (its other test is the distance to an atom),
// shared by the search and its checks.
inline bool InCube(const Point& center, const Point& p, double radius) {
  for (size_t axis = 0; axis < 3; ++axis) {
    if (!(center[axis] - radius <= p[axis] && p[axis] <= center[axis] + radius)) return false;
  }
  return true;
}

// Residues (ascending) with an atom inside the cube of half-edge `radius`
// around some selected atom.
std::vector<int> FindCubeCandidates(const ShellSystem& system, const std::vector<int>& selected, double radius);
// The solvent residues among the candidates (ascending) with an atom within
// `radius` of some selected atom.
std::vector<int> FindSolventWithin(const ShellSystem& system, const std::vector<int>& selected,
                                   const std::vector<int>& candidates, double radius);
// The extracted residues ordered nearest first (their closest atom pair to
// the selection; equal distances keep ascending order), cut to `count`.
std::vector<int> OrderNearestFirst(const ShellSystem& system, const std::vector<int>& selected,
                                   const std::vector<int>& extracted, double radius, int count);

class CGetSolv final : public CAnalyzer {
 public:
  enum Flag : uint32_t { kInput = 0x1, kOutput = 0x2, kBox = 0x100, kSelectSolute = 0x200 };

  CGetSolv();
  ~CGetSolv() override;
  void Run() override;

 private:
  void CheckMolecule();
  std::vector<int> SelectAtoms(const std::vector<uint8_t>& solvent);
  void PrintReport(const std::vector<int>& extracted);
  void WriteShell(const std::vector<uint8_t>& solvent, const std::vector<int>& extracted);

  std::unique_ptr<CDataFile> molecule_;
  std::unique_ptr<CDataFile> output_;
  std::vector<std::unique_ptr<CDataFile>> inputs_;
  std::vector<int> atoms_;     // -a atom numbers
  std::vector<int> residues_;  // -b residue numbers minus 1
  std::vector<std::string> residue_names_;
  std::vector<std::string> solvent_names_ = {"WAT", "HOH", "H2O"};
  double radius_ = 10.0;
  int closest_ = 0;
};

}  // namespace tarvex
