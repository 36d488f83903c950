// getdun's measurement file, line by line.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "analyzers/get_dun.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tarvex;
  std::string_view text(reinterpret_cast<const char*>(data), size);
  std::vector<std::vector<int>> groups;
  fuzz::RunQuietly([&] {
    while (!text.empty()) {
      const size_t end = text.find('\n');
      ParseMeasurementLine(text.substr(0, end), groups);
      text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
  });
  return 0;
}
