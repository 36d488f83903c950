// CAmberTopologyFile: Amber topology (parm) files, in the old fixed layout
// ("amber6") and the %FLAG layout of Amber 7 and later ("amber8"). Only the
// atom and residue description is read: names, charges, elements, residue
// labels and boundaries; the force-field parameters are not.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "molecule/data_file.h"

namespace tarvex {

// What the readers of both layouts collect before the record is filled.
struct TopologySections;

class CAmberTopologyFile final : public CDataFile {
 public:
  // Amber stores charges in units that make Coulomb's constant 1: the
  // electron charge times 18.2223.
  static constexpr double kChargeScale = 18.2223;

  CAmberTopologyFile();
  explicit CAmberTopologyFile(std::string name);
  ~CAmberTopologyFile() override;

  void OpenInput(std::string name) override;
  void OpenOutput(std::string name, bool open) override;
  void Read(int which) override;
  void Write() override;
  void DetectVersion() override;

  // The POINTERS integers after NATOM, in file order.
  const std::vector<int>& Pointers() const { return pointers_; }

 private:
  void ReadFixedLayout(TopologySections& sections);
  void ReadFlaggedLayout(TopologySections& sections);
  // Checks the counts of the POINTERS section against the file.
  void CheckCounts(const TopologySections& sections, bool uses_types);
  void FillRecord(TopologySections& sections);

  std::vector<int> pointers_;
};

}  // namespace tarvex
