// Paths of the Amber test files. Scratch files, reading a file whole and
// catching an error exit come from the shared helpers of pdb_test_files.h.
#pragma once

#include <string>

#include "pdb_test_files.h"

namespace tarvex::amber_test {

inline std::string DataPath(const std::string& name) { return std::string(TARVEX_TEST_DATA) + "/amber/" + name; }
inline std::string CorpusPath(const std::string& name) { return std::string(TARVEX_CORPUS) + "/" + name; }
using testing_files::ErrorOf;
using testing_files::ReadWhole;
using testing_files::WriteScratch;

}  // namespace tarvex::amber_test

#define SKIP_WITHOUT_CORPUS() \
  if (!::tarvex::testing_files::CorpusPresent()) GTEST_SKIP() << "corpus not found"
