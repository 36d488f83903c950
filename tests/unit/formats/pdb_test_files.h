// Helpers of the PDB and analyzer tests: error capture, the corpus files and
// running an analyzer in-process.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "common/console.h"
#include "common/exit.h"
#include "common/output_file.h"
#include "common/run_settings.h"

namespace tarvex::testing_files {

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

// The files of one folder of the corpus, sorted.
inline std::vector<std::string> CorpusFiles(const std::string& folder) {
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(std::string(TARVEX_CORPUS) + "/" + folder)) {
    files.push_back(entry.path().string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

// Runs an analyzer in-process as its command line would (the analyzer name
// first) and returns what it printed on standard output and standard error;
// an error exit fails the test.
template <typename Analyzer>
std::pair<std::string, std::string> RunAnalyzer(const std::vector<std::string>& words) {
  Settings().analyzer_name = words.at(0);
  std::vector<const char*> argv;
  for (const std::string& word : words) argv.push_back(word.c_str());
  ConsoleCapture capture;
  try {
    Analyzer analyzer;
    analyzer.ParseArguments(static_cast<int>(argv.size()), argv.data());
    analyzer.Run();
  } catch (const ExitRequest& request) {
    ADD_FAILURE() << "status " << request.Status() << ": " << capture.Err();
  }
  EXPECT_TRUE(CommitOutputs());
  return {capture.Out(), capture.Err()};
}

}  // namespace tarvex::testing_files
