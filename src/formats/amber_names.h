// Atom names of the Amber files (topologies, PREP templates) in the four
// columns of PDB names, so that every reader hands the writers the same
// alignment.
#pragma once

#include <string>
#include <string_view>

namespace tarvex {

// The four-column alignment of PDB names for a name padded to four columns:
// one-letter elements start in the second column (" OG1"); hydrogens named
// with a fourth digit move it to the front ("HB21" -> "1HB2"); two-letter
// elements fill the field as read. Other names of four characters ("H31H"
// of AMOEBA water models, "HO5'") fill the field too: shifting them would
// cut off their last character.
std::string AlignAmberName(const std::string& name, std::string_view element);
// The name as an Amber file writes it, from the aligned form: for a
// one-letter element a first column that is a blank or a digit moves behind
// the other three (" C1 " is "C1", "1HB2" is "HB21"); trailing blanks go. A
// name that is not in the aligned form ("C1", "HO5'") stays as it is.
std::string AmberNameAsWritten(const std::string& name, std::string_view element);

}  // namespace tarvex
