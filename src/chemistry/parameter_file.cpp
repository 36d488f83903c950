#include "chemistry/parameter_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include "common/exit.h"
#include "common/line_reader.h"
#include "common/run_settings.h"
#include "common/text.h"

namespace tarvex {

ParameterSource OpenParameterFile(LineReader& file) {
  const RunSettings& settings = Settings();
  if (settings.parameter_file.empty()) return ParameterSource::kNone;
  if (file.Open(settings.parameter_file)) {
    return settings.parameter_file_named ? ParameterSource::kNamed : ParameterSource::kSearched;
  }
  for (const std::string& directory : settings.search_path) {
    if (file.Open(directory + "/" + settings.parameter_file)) return ParameterSource::kSearched;
  }
  return ParameterSource::kNone;
}

namespace {

// A file the search found must be the user's own (or root's, as a file
// installed for everyone is) and writable by no one else.
void RequireTrusted(const LineReader& file) {
  unsigned owner = 0, mode = 0;
  if (!file.OwnerAndMode(owner, mode)) return;
  const std::string head = "Error: the parameter file " + file.Path() + ", found by the search, ";
  const std::string tail = ": it is not read (name it with -f to use it).";
  if (owner != ::geteuid() && owner != 0)
    Fatal(head + "belongs to another user (uid " + std::to_string(owner) + ")" + tail);
  if (mode & S_IWOTH) Fatal(head + "can be written by any user" + tail);
}

}  // namespace

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
  const ParameterSource source = OpenParameterFile(file);
  if (source == ParameterSource::kNone) {
    if (Settings().parameter_file_named) {
      Fatal("Error: the parameter file " + Settings().parameter_file + " given with -f cannot be opened.");
    }
    return {};
  }
  if (source == ParameterSource::kSearched) RequireTrusted(file);
  file.RequireText();
  return ReadParameterSections(file);
}

}  // namespace tarvex
