#include "scratch_dir.h"

#include "chemistry/parameters.h"
#include "common/run_settings.h"

namespace tarvex::testing {

void UseParameterFile(const std::string& file) {
  Settings().parameter_file = file.empty() ? "/nonexistent/tarvex_parm.dat" : file;
  Settings().parameter_file_named = !file.empty();
  Settings().search_path.clear();
  ResetParameterRegistry();
}

}  // namespace tarvex::testing
