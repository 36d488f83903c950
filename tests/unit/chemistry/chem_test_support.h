// Records for the chemistry tests: built from elements, bonds and points, or
// read from a PDB file and perceived as the charge analyzer does.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "formats/mol2_file.h"
#include "formats/pdb_file.h"

namespace tarvex::chem_test {

// A record built from elements, bonds and (optionally) coordinates.
inline std::unique_ptr<CMol2File> Build(const std::vector<std::string>& types,
                                        const std::vector<std::pair<int, int>>& bonds, const Frame& points = {}) {
  auto record = std::make_unique<CMol2File>();
  const int n = static_cast<int>(types.size());
  record->SetNumberOfAtoms(n);
  record->SetAtomType(types);
  std::vector<int> index(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) index[i] = i + 1;
  record->SetAtomIndex(index);
  record->SetCartesian(points.empty() ? Frame(static_cast<size_t>(n), Point{0.0, 0.0, 0.0}) : points);
  BondMap map;
  for (auto [a, b] : bonds) {
    map[a].push_back(b);
    map[b].push_back(a);
  }
  record->SetConnection(map);
  return record;
}

inline int NetCharge(CDataFile& record) {
  int net = 0;
  for (int q : record.GetFormalCharges()) net += q;
  return net;
}

// Reads a PDB file, perceives bonds and everything else, as charge does.
inline std::unique_ptr<CMol2File> Perceive(const std::string& path, uint32_t flags = 0) {
  CPdbFile input(path);
  input.Read(0);
  auto record = std::make_unique<CMol2File>();
  record->SetFileFlag(kFileNoMerge | flags);
  record->CopyState(input);
  record->CreateConnection();
  record->PerceiveBondTypes();
  return record;
}

}  // namespace tarvex::chem_test
