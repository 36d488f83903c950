// Helpers of the Amber format and getdun tests: small files written on the
// fly, the shared test files, and errors caught with their message.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "common/console.h"
#include "common/exit.h"
#include "common/output_file.h"

namespace tarvex::amber_test {

inline std::string DataPath(const std::string& name) { return std::string(TARVEX_TEST_DATA) + "/amber/" + name; }
inline std::string CorpusPath(const std::string& name) { return std::string(TARVEX_CORPUS) + "/" + name; }
inline bool HaveCorpus() { return std::filesystem::is_directory(TARVEX_CORPUS); }

// A file of this process's scratch directory, holding `text`.
inline std::string WriteFile(const std::string& name, const std::string& text) {
  static const std::filesystem::path directory = [] {
    auto path = std::filesystem::temp_directory_path() / ("tarvex_amber_" + std::to_string(::getpid()));
    std::filesystem::create_directories(path);
    return path;
  }();
  const std::string path = (directory / name).string();
  std::ofstream(path, std::ios::binary) << text;
  return path;
}

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Runs `action`, which must end the command with status 1; returns what it
// printed on standard error.
template <class Action>
std::string FatalMessage(Action action) {
  ConsoleCapture console;
  try {
    action();
  } catch (const ExitRequest& request) {
    EXPECT_EQ(request.Status(), 1);
    DiscardOutputs();
    return console.Err();
  }
  ADD_FAILURE() << "no error; standard error: " << console.Err();
  return {};
}

}  // namespace tarvex::amber_test

#define SKIP_WITHOUT_CORPUS() \
  if (!::tarvex::amber_test::HaveCorpus()) GTEST_SKIP() << "no corpus at " << TARVEX_CORPUS
