// One reader, chosen when built (TARVEX_FUZZ_FORMAT, TARVEX_FUZZ_SUFFIX): the
// input is opened and read structure by structure until the reader gives no
// more, as a trajectory loop does; a reader that keeps giving structures is
// stopped after a few hundred.
#include <cstddef>
#include <cstdint>

#include "formats/file_types.h"
#include "fuzz_support.h"
#include "molecule/data_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tarvex;
  const fuzz::InputFile input(data, size, TARVEX_FUZZ_SUFFIX);
  if (input.Path().empty()) return 0;
  fuzz::RunQuietly([&] {
    std::unique_ptr<CDataFile> record = CreateUnopenedInput(FileType::TARVEX_FUZZ_FORMAT);
    record->OpenInput(input.Path());
    record->Read(0);
    for (int k = 0; k < 300 && !record->GetCartesian().empty(); ++k) record->Read(1);
  });
  return 0;
}
