#include "chemistry/parameter_file.h"

#include "common/exit.h"
#include "common/line_reader.h"
#include "common/run_settings.h"
#include "common/text.h"

namespace tarvex {

bool OpenParameterFile(LineReader& file) {
  const RunSettings& settings = Settings();
  if (settings.parameter_file.empty()) return false;
  if (file.Open(settings.parameter_file)) return true;
  for (const std::string& directory : settings.search_path) {
    if (file.Open(directory + "/" + settings.parameter_file)) return true;
  }
  return false;
}

// Lines after the fourth section are read by nobody: the reading stops
// there, so that a file or pipe that never ends has an end here.
ParameterFile ReadParameterSections(LineReader& file) {
  ParameterFile parameters;
  parameters.path = file.Path();
  size_t section = 0;
  uint64_t bytes = 0;
  std::string_view line;
  while (section < kParameterSectionCount && file.ReadLine(line)) {
    bytes += line.size() + 1;
    if (bytes > kMaxParameterFileBytes) {
      Fatal("Error: " + parameters.path + ": a parameter file longer than " +
            std::to_string(kMaxParameterFileBytes >> 20) + " MB is not read.");
    }
    if (Trim(line).empty()) {
      ++section;
    } else if (line.front() != '#') {
      parameters.sections[section].push_back({std::string(line), file.LineNumber()});
    }
  }
  return parameters;
}

ParameterFile FindAndReadParameterFile() {
  LineReader file;
  if (!OpenParameterFile(file)) return {};
  return ReadParameterSections(file);
}

}  // namespace tarvex
