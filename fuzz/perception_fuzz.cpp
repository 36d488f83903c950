// charge's perception on a parsed record: a PDB file read, bonds perceived
// from its coordinates (or taken from its CONECT records), then bond orders,
// formal charges and types.
#include <cstddef>
#include <cstdint>

#include "formats/file_types.h"
#include "fuzz_support.h"
#include "molecule/data_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tarvex;
  const fuzz::InputFile input(data, size, ".pdb");
  if (input.Path().empty()) return 0;
  fuzz::RunQuietly([&] {
    std::unique_ptr<CDataFile> record = CreateUnopenedInput(FileType::kPdb);
    record->OpenInput(input.Path());
    record->Read(0);
    record->SetFileFlag(kFileNoMerge | kFileCreateBonds);
    record->CreateConnection();
    record->PerceiveBondTypes();
  });
  return 0;
}
