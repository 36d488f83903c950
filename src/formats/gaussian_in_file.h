// CGaussianInFile: Gaussian input (COM) files, with Cartesian coordinates or
// a Z-matrix (optionally with named variables).
#pragma once

#include <string>
#include <vector>

#include "formats/gaussian_geometry.h"
#include "molecule/data_file.h"

namespace tarvex {

class CGaussianInFile final : public CDataFile {
 public:
  CGaussianInFile();
  explicit CGaussianInFile(std::string name);
  ~CGaussianInFile() override;

  void OpenInput(std::string name) override;
  void OpenOutput(std::string name, bool open) override;
  void Read(int which) override;
  void Write() override;

 private:
  [[noreturn]] void Incorrect() const;
  void ReadMolecule(const std::vector<std::string>& lines, const GaussianVariables& variables);
  void WriteCartesian(std::string& out, size_t atoms);
  void WriteZMatrix(std::string& out, size_t atoms);
  std::string Label(size_t atom, bool zmatrix) const;
  std::string ChargeLine();

  // The file holds one structure (its first job's): set once it is read.
  bool job_read_ = false;
  // The charge line perceived for a record that states none, once.
  std::string perceived_charge_line_;
};

}  // namespace tarvex
