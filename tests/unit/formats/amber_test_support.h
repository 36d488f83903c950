// Paths of the Amber test files, scratch files and reading a file whole;
// catching an error exit comes from the shared helpers of pdb_test_files.h.
#pragma once

#include <fstream>
#include <iterator>
#include <string>

#include "../support/scratch_dir.h"
#include "pdb_test_files.h"

namespace tarvex::amber_test {

inline std::string DataPath(const std::string& name) { return std::string(TARVEX_TEST_DATA) + "/amber/" + name; }
inline std::string CorpusPath(const std::string& name) { return std::string(TARVEX_CORPUS) + "/" + name; }
using testing_files::ErrorOf;

// One scratch directory for the whole test run, removed at exit.
inline testing::ScratchDir& Scratch() {
  static testing::ScratchDir dir;
  return dir;
}
inline std::string WriteScratch(const std::string& name, const std::string& text) {
  return Scratch().Write(name, text);
}
inline std::string ReadWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace tarvex::amber_test

#define SKIP_WITHOUT_CORPUS() \
  if (!::tarvex::testing_files::CorpusPresent()) GTEST_SKIP() << "corpus not found"
