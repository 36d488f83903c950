// The bash completion script of the program, written from the tables the
// command line is read by: the analyzer table (driver.h), each analyzer's
// option table (options.h) and the file-type table (formats/file_types.h).
// So a new analyzer, option, flag word or file type completes without any
// change here. The build writes it with tarvex_completion_gen
// (completion_main.cpp) and installs it as share/bash-completion/completions/tarvex.
#pragma once

#include <string>
#include <string_view>

#include "driver/options.h"

namespace tarvex {

// What the words after an option are, for completing them:
//   switch   nothing: options follow
//   word     one file name (or other word), then options
//   words    file names
//   typed    a file name, then its type keyword, then options
//   typeds   file name and type keyword pairs
//   number   one value that no list can offer, then options
//   numbers  values that no list can offer
//   flags    the option's flag words
std::string_view CompletionKind(const Option& option, bool typed_form);

// The whole script: the tables, the _tarvex function and its registration.
std::string BashCompletionScript();

}  // namespace tarvex
