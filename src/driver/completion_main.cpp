// tarvex_completion_gen: writes the bash completion script of tarvex
// (driver/completion.h) to the file named by its one argument, or to
// standard output without one. The build runs it to make tarvex.bash.
#include <fstream>
#include <iostream>
#include <string>

#include "common/exit.h"
#include "driver/completion.h"

int main(int argc, char** argv) {
  std::string script;
  try {
    // Analyzers that keep a record from construction load the parameter
    // file, whose reader may end the program on an unreadable file.
    script = tarvex::BashCompletionScript();
  } catch (const tarvex::ExitRequest& request) {
    return request.Status();
  }
  if (argc > 2) {
    std::cerr << "Usage: " << argv[0] << " [output-file]\n";
    return 1;
  }
  if (argc == 2) {
    std::ofstream out(argv[1], std::ios::binary);
    out << script;
    out.close();
    if (out) return 0;
    std::cerr << "Error: cannot write " << argv[1] << "\n";
    return 1;
  }
  std::cout << script << std::flush;
  return std::cout ? 0 : 1;
}
