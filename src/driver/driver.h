// CDriver: the program's entry. It builds the parameter-file search path from
// the environment, reads the global options before the analyzer name, prints
// the program's own texts, and creates, parses and runs the named analyzer.
#pragma once

#include <memory>
#include <string_view>

#include "driver/analyzer.h"

namespace tarvex {

// One row per analyzer: its name, its line in the program help, its class.
struct AnalyzerEntry {
  std::string_view name;
  std::string_view summary;
  std::unique_ptr<CAnalyzer> (*create)();
};
const std::vector<AnalyzerEntry>& AnalyzerTable();

class CDriver {
 public:
  CDriver();
  ~CDriver();
  CDriver(const CDriver&) = delete;
  CDriver& operator=(const CDriver&) = delete;

  // Global options, analyzer creation and its argument parsing; the program's
  // texts and an unknown analyzer name end the process here.
  bool Dispatch(int argc, const char* const* argv);
  CAnalyzer* Analyzer() { return analyzer_.get(); }
  void DestroyAnalyzer() { analyzer_.reset(); }

  [[noreturn]] static void Usage();
  [[noreturn]] static void Version();
  [[noreturn]] static void Help();

 private:
  std::unique_ptr<CAnalyzer> analyzer_;
};

// The whole command: dispatch, run, clean-up. Returns the exit status.
int RunCommand(int argc, const char* const* argv);

}  // namespace tarvex
