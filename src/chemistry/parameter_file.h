// The parameter file, tarvex_parm.dat: found once, read whole once and cut
// into its sections, which the registry and the readers of the later
// sections take from here instead of opening the file again (a parameter
// file given through a pipe can be read only once).
//
// The file is divided into sections by empty lines (a line of blanks counts
// as empty); each empty line ends a section, so two in a row leave an empty
// section between them:
//   1. bond lengths ("A B length", "SCALE = s", "* * length"): the registry;
//   2. atom-typing rows ("element suffix pattern [mark]"): every record;
//   3. radius types and 4. PARSE radii: pbsaprep.
// Lines starting with "#" are comments and are left out here.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarvex {

class LineReader;

enum class ParameterSection { kBondLengths, kTypingRows, kRadiusTypes, kParseRadii };
inline constexpr size_t kParameterSectionCount = 4;

struct ParameterLine {
  std::string text;
  uint64_t number = 0;  // in the file, from 1, for messages
};

struct ParameterFile {
  std::string path;  // empty: no parameter file was found
  std::array<std::vector<ParameterLine>, kParameterSectionCount> sections;

  bool Found() const { return !path.empty(); }
  const std::vector<ParameterLine>& Section(ParameterSection section) const {
    return sections[static_cast<size_t>(section)];
  }
  // The texts of a section's lines, viewing into this file.
  std::vector<std::string_view> Texts(ParameterSection section) const {
    std::vector<std::string_view> texts;
    for (const ParameterLine& line : Section(section)) texts.emplace_back(line.text);
    return texts;
  }
};

// A parameter file longer than this is refused: real ones are a few
// kilobytes, and the file is held in memory.
inline constexpr uint64_t kMaxParameterFileBytes = uint64_t{64} << 20;

// How the parameter file of a run was found: under the name -f gave, or by
// the search (the default name in the working folder, or any directory of
// the search path).
enum class ParameterSource { kNone, kNamed, kSearched };

// Opens the parameter file of this run into `file`: the name as given first
// (relative names resolve against the current directory), then each
// directory of the search path joined to it with "/".
ParameterSource OpenParameterFile(LineReader& file);
// The sections of an open parameter file, read to the end of the last
// section anything reads.
ParameterFile ReadParameterSections(LineReader& file);
// OpenParameterFile and ReadParameterSections; no path and no lines when no
// file is found. A file named with -f that cannot be found is an error; so
// is a file found by the search that could be another user's doing: one
// owned by someone other than the user (or root), or one that any user may
// write (a tarvex_parm.dat planted in a shared working folder would change
// every charge silently). A file named with -f is read as the user chose.
ParameterFile FindAndReadParameterFile();

}  // namespace tarvex
