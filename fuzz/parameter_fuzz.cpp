// The parameter file: bond lengths, typing rows (environment patterns) and
// radii, used on a small fixed molecule so that every section is read and
// every pattern matched.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "common/run_settings.h"
#include "formats/mol2_file.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tarvex;
  const fuzz::InputFile input(data, size, ".dat");
  if (input.Path().empty()) return 0;
  fuzz::RunQuietly([&] {
    Settings().parameter_file = input.Path();
    Settings().parameter_file_named = true;
    // Formic acid with its hydrogens, 1.2 angstrom apart in a row: enough
    // bonds for the patterns to look at.
    CMol2File record;
    const std::vector<std::string> types{"C", "O", "O", "H", "H"};
    record.SetNumberOfAtoms(5);
    record.SetAtomType(types);
    record.SetAtomIndex({1, 2, 3, 4, 5});
    record.SetCartesian({{0, 0, 0}, {1.2, 0, 0}, {-0.6, 1.0, 0}, {-0.6, -1.0, 0}, {-1.2, 1.9, 0}});
    record.SetFileFlag(kFileNoMerge | kFileCreateBonds);
    record.CreateConnection();
    record.PerceiveBondTypes();
  });
  return 0;
}
