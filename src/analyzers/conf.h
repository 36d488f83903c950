// conf: backbone phi and psi dihedrals of peptides, per structure of a data
// file.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "common/output_file.h"
#include "driver/analyzer.h"
#include "molecule/data_file.h"

namespace tarvex {

// One residue of the backbone walk, in file order: an amino acid gives its
// N, CA and C, an ACE cap its C only, an NME cap its N only (-1: absent).
struct BackboneResidue {
  int n = -1;
  int ca = -1;
  int c = -1;
  std::string name;  // the first three characters of the residue name
  int index = 0;     // the residue number as written in the file
  // Continuous with the entry before: same chain, nothing passed over
  // between them, no TER, no OXT, no cap ending or starting a chain.
  bool joined = false;
};

// A residue whose phi and psi are reported: the carbonyl carbon of the
// residue before, its own N, CA and C, and the N of the residue after.
struct ReportedResidue {
  std::array<int, 5> atoms{};
  std::string name;
  int index = 0;
  bool ends_chain = false;  // the next reported residue is on another chain
};

// What the walk reads of a record: per-atom names (four columns, " CA "),
// per-atom residue names and numbers, the first atom of each residue (with
// the closing entry) and the TER list (atom counts before each TER).
struct BackboneSource {
  const std::vector<std::string>& atom_names;
  const std::vector<std::string>& residue_names;
  const std::vector<int>& residue_index;
  const std::vector<int>& heads;
  const std::vector<int>& ter_list;
};

std::vector<BackboneResidue> WalkBackbone(const BackboneSource& source);
// A C-N peptide bond longer than this in the first structure is a gap in
// the chain (missing residues) that no TER marks.
inline constexpr double kPeptideBondLimit = 3.0;
void CutBackboneGaps(std::vector<BackboneResidue>& residues, const Frame& frame);
// The residues that have all five atoms of their two angles on one chain.
std::vector<ReportedResidue> ReportedResidues(const std::vector<BackboneResidue>& residues);

// phi and psi of one residue; -200.0 for a dihedral whose atoms leave a
// plane undefined.
inline constexpr double kUndefinedAngle = -200.0;
std::array<double, 2> PhiPsi(const Frame& frame, const std::array<int, 5>& atoms);

class CConf final : public CAnalyzer {
 public:
  enum Flag : uint32_t {
    kOutput = 0x2,
    kBox = 0x100,
    kTab = 0x200,
    kDataFile = 0x400,
    kReference = 0x800,
    kDetail = 0x1000,
    kRowStyle = 0x2000,
    kNoTitle = 0x4000,
  };

  CConf();
  ~CConf() override;
  void Run() override;

 private:
  void OpenFiles();
  // Reads the next structure to analyse (the skip count's k-th); false at
  // the end of the data.
  bool ReadStructure();
  // The reported residues, from the record's names as soon as it holds
  // them; the first structure then cuts the chains at gaps.
  void PlanBackbone();
  void FinishPlan(const Frame& frame);
  void PrintStructure(std::string& out);
  void PrintTitle(std::string& out);

  int skip_ = 1;
  std::unique_ptr<CDataFile> data_;
  std::unique_ptr<CDataFile> reference_;
  std::string data_file_name_;
  std::string reference_file_name_;
  std::string output_file_name_;
  OutputFile output_;
  // Only trajectories are read structure after structure; every other
  // format holds one structure.
  bool trajectory_ = false;
  int structures_read_ = 0;
  int analysed_ = 0;
  bool planned_ = false;
  std::vector<BackboneResidue> backbone_;
  std::vector<ReportedResidue> reported_;
  std::vector<std::array<double, 2>> angles_;
  std::vector<double> row_;  // the angles of a row, phi and psi of each residue in turn
};

}  // namespace tarvex
