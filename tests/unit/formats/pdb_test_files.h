// Scratch files for the PDB and analyzer tests: each test writes under its
// own name, so that tests running in parallel never share a file.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "common/console.h"
#include "common/exit.h"
#include "common/output_file.h"
#include "common/text.h"

namespace tarvex::testing_files {

inline std::string ScratchPath(const std::string& suffix) {
  const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
  return ::testing::TempDir() + "tarvex_" + info->test_suite_name() + "_" + info->name() + "_" + suffix;
}

inline std::string WriteScratch(const std::string& suffix, const std::string& text) {
  const std::string path = ScratchPath(suffix);
  std::ofstream(path, std::ios::binary) << text;
  return path;
}

inline std::string ReadWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Runs `action`, which must end the program with an error, and returns what
// it printed on standard error.
template <typename Action>
std::string ErrorOf(Action&& action) {
  ConsoleCapture capture;
  try {
    action();
  } catch (const ExitRequest& request) {
    EXPECT_EQ(request.Status(), 1);
    DiscardOutputs();
    return capture.Err();
  }
  ADD_FAILURE() << "no error";
  return {};
}

inline bool CorpusPresent() { return std::ifstream(std::string(TARVEX_CORPUS) + "/MANIFEST.md").good(); }

}  // namespace tarvex::testing_files
