// tarvex_completion_gen: writes the bash completion script of tarvex
// (driver/completion.h) to the file named by its one argument, or to
// standard output without one. The build runs it to make tarvex.bash.
#include <cstdio>
#include <fstream>
#include <iostream>

#include "driver/completion.h"

int main(int argc, char** argv) {
  const std::string script = tarvex::BashCompletionScript();
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
