// Writes a molecule as MOL2 with perceived bonds, bond orders, SYBYL types
// and formal charges (in the charge column): what "convert -c" will do, for
// the benchmark scripts until that analyzer exists.
//
//   chem_mol2 input.pdb|input.mol2 output.mol2 [gold]
//
// Built against the library by bench/chem_sybyl.sh.
#include <cstdio>
#include <string>

#include "common/exit.h"
#include "common/output_file.h"
#include "formats/file_types.h"
#include "formats/mol2_file.h"

int main(int argc, char** argv) {
  using namespace tarvex;
  if (argc < 3) {
    std::fprintf(stderr, "usage: chem_mol2 input output.mol2 [gold]\n");
    return 1;
  }
  try {
    std::unique_ptr<CDataFile> input = CreateInputFile(FileTypeOfName(argv[1]), argv[1]);
    CMol2File output;
    output.SetFileFlag(kFileNoMerge);
    input->Read(0);
    output.CopyState(*input);
    // A MOL2 input keeps its own bonds; anything else has them perceived.
    if (FileTypeOfName(argv[1]) != FileType::kMol2) output.CreateConnection();
    if (argc > 3 && std::string(argv[3]) == "gold") output.SetFileFlag(kFileGold);
    output.OpenOutput(argv[2], true);
    output.PerceiveBondTypes();
    std::vector<double> charges;
    for (int q : output.GetFormalCharges()) charges.push_back(q);
    output.SetCharge(charges);
    output.Write();
  } catch (const ExitRequest& exit) {
    DiscardOutputs();
    return exit.Status();
  }
  return CommitOutputs() ? 0 : 1;
}
