// Process-wide settings fixed by the command line and the environment before
// any analyzer runs: the names printed in every text, the parameter-file name
// and the directories searched for it. The driver sets them; every floor
// reads them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarvex {

inline constexpr const char* kDefaultParameterFile = "tarvex_parm.dat";

struct RunSettings {
  std::string program_name = "tarvex";
  std::string analyzer_name;
  std::string parameter_file = kDefaultParameterFile;
  // Whether -f named the parameter file: then a file that cannot be found
  // is an error, and the file opened under that very name is trusted
  // (a file found by the search must be the user's own, written by no one
  // else).
  bool parameter_file_named = false;
  std::vector<std::string> search_path;
};

RunSettings& Settings();

// Splits a TARVEXPATH value into directories: at ":" and ";", or at ";" alone
// when the value holds a backslash (Windows paths). Empty pieces are kept.
std::vector<std::string> SplitSearchPath(std::string_view value);
// The program name: the first command-line word without its directory part.
std::string ProgramNameFrom(std::string_view argv0);

}  // namespace tarvex
