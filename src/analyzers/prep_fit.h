// prepfit: renames and reorders the atoms of chosen PDB residues after an
// Amber PREP residue template, matching atoms by types and bonds.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "analyzers/prep_fit_matching.h"
#include "driver/analyzer.h"
#include "molecule/data_file.h"

namespace tarvex {

// The order in which -a walks a residue: depth first from `start`, each atom
// followed by its bonded atoms in the order of its bond list. Atoms not
// connected to the start atom are left out.
std::vector<int> DepthFirstOrder(const BondMap& bonds, int count, int start);

class CPrepfit final : public CAnalyzer {
 public:
  enum Flag : uint32_t {
    kInput = 0x1,
    kOutput = 0x2,
    kTemplate = 0x100,
    kKeepPositions = 0x200,
    kCreateBonds = 0x400,
    kKeepBonds = 0x800,
    kNoRelaxed = 0x1000,
    kReverse = 0x2000,
    kRearrange = 0x4000,
  };

  CPrepfit();
  ~CPrepfit() override;
  void Run() override;

 private:
  // One residue of the template file, with its bonds perceived from its
  // coordinates as the target's are.
  struct ResidueTemplate {
    std::string name;
    std::vector<std::string> atom_names;
    std::vector<std::string> atom_types;
    std::vector<std::string> written_names;  // as Amber writes them
    BondMap bonds;
    MatchTemplate graph;
  };
  // The residue being adjusted: its atoms' positions in the target as
  // gathered (ascending), the working order (indices into `positions`), and
  // its template.
  struct TargetResidue {
    std::vector<int> positions;
    std::vector<int> order;
    int residue_index = 0;
    const ResidueTemplate* templ = nullptr;
    ResidueMatch match;
  };

  void ReadTemplates();
  bool IsTargetAtom(size_t atom) const;
  bool GatherResidue(TargetResidue& residue);
  const ResidueTemplate& TemplateFor(const TargetResidue& residue) const;
  // Fills the work record with the residue's atoms in working order and
  // perceives their bonds.
  void FillWorkRecord(const TargetResidue& residue);
  void ArrangeResidue(TargetResidue& residue);
  void Match(TargetResidue& residue);
  void MatchAndReport(TargetResidue& residue);
  void ReportTargetAtoms(const TargetResidue& residue, std::string& out) const;
  void PrintCorrespondence(const TargetResidue& residue) const;
  void CommitResidue(const TargetResidue& residue);
  void WriteOutput();

  std::unique_ptr<CDataFile> target_;
  std::unique_ptr<CDataFile> output_;
  std::unique_ptr<CDataFile> template_;
  std::unique_ptr<CDataFile> work_;
  BondMap stretched_;  // the work record's pairs within the looser cut-off
  std::vector<int> target_numbers_;
  std::vector<std::string> target_names_;
  int start_atom_ = 1;
  std::vector<ResidueTemplate> templates_;
  // Where the search for the next target residue resumes; a target without
  // any target residue (an empty file too) is an error.
  size_t cursor_ = 0;
  int residues_adjusted_ = 0;
  // The adjusted atoms: coordinates, names, types and residue names, and
  // where each atom of the target went.
  Frame cartesian_;
  std::vector<std::string> atom_name_;
  std::vector<std::string> atom_type_;
  std::vector<std::string> residue_name_;
  std::vector<int> new_position_;
};

}  // namespace tarvex
