// CAmberPrepFile: Amber PREP residue templates (prepin, prepi, the .in
// libraries of LEaP).
//
// A PREP file is a header, then residues, each ending in DONE, and STOP:
//
//   header      IDBGEN IREST ITYPF ("    0    0    2"), then the name of the
//               database the library came from (usually empty)
//   residue     title line
//               residue file name (may be empty)
//               NAME  INT|XYZ  KFORM      the residue name, the coordinate type
//               CORRECT OMIT DU BEG       (CORR in old libraries)
//               CUT                       a cut-off, 0.0
//               atom lines, up to an empty line:
//                 number name type tree NA NB NC R THETA PHI [charge]
//               sections up to DONE: LOOP (ring-closing bonds, two names a
//               line), IMPROPER (four names a line), CHARGE (the charges of
//               the real atoms, when the atom lines carry none)
//   STOP
//
// The atom lines are a Z-matrix: R is the distance to atom NA, THETA the
// angle with NA-NB, PHI the dihedral with NA-NB-NC (with XYZ, the three are
// x, y and z). The first three atoms are dummy atoms (DUMM, type DU) that
// place the residue in space. The tree type says where the atom hangs in the
// residue's tree: M main chain, S one branch below, B two, 3 three, E an end.
// The types are Amber or GAFF atom types; the element of each atom comes from
// the force-field type table.
//
// The record holds the real atoms only: names, elements, charges,
// coordinates, one residue and the template's bonds (tree and LOOP). The
// Z-matrix in `internal` keeps the dummy atoms in front, as the references
// of the first atoms need them.
#pragma once

#include <array>
#include <stdexcept>
#include <string>
#include <vector>

#include "molecule/data_file.h"

namespace tarvex {

// One atom line of a template, as written.
struct PrepAtom {
  int number = 0;
  std::string name;
  std::string type;
  std::string tree;
  std::array<int, 3> references{};  // NA NB NC, atom numbers as written
  Point values{};                   // R THETA PHI, or x y z
  double charge = 0.0;
  int line = 0;  // line number in the file, for messages
};

// One residue of a template file, as written.
struct PrepResidue {
  std::string title;
  std::string name;
  bool cartesian = false;  // XYZ instead of INT
  std::vector<PrepAtom> atoms;
  bool charged = false;  // the atom lines carry charges
  std::vector<std::array<std::string, 2>> loops;
  std::vector<double> charges;  // the CHARGE section
};

// A residue of a template file that cannot be read; the message ("Error:
// ...") names the file, the line and what is wrong.
class PrepResidueError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Reads the next residue of an open template file into `residue`; the file
// header first while `header_pending` is set. False at STOP or the end of
// the file, before a residue begins. A bad atom line, line of charges or
// residue line throws PrepResidueError after the rest of the residue (up to
// its DONE) has been passed over, so that the next call reads the next one.
bool ReadPrepResidue(LineReader& input, const std::string& file, bool& header_pending, PrepResidue& residue);

// The reference atoms of every atom as 0-based positions in the residue's
// line order (the first atoms, which need fewer than three, take -1, -2, -3
// for the ones they lack). Where the written references cannot be used (0,
// as LEaP writes them, an atom that does not come earlier, or repeated),
// they are derived from the tree types: an atom hangs from the last main-
// chain atom, or from the last branching atom that still has a branch open;
// its references are its parent, its parent's parent and the one above.
// A residue whose tree does not give them either throws PrepResidueError.
std::vector<ReferenceTriple> PrepReferences(const PrepResidue& residue, const std::string& file);

class CAmberPrepFile final : public CDataFile {
 public:
  CAmberPrepFile();
  explicit CAmberPrepFile(std::string name);
  ~CAmberPrepFile() override;

  void OpenInput(std::string name) override;
  void OpenOutput(std::string name, bool open) override;
  void Read(int which) override;
  void Write() override;

  // Reads the next residue as Read does, except that a residue that cannot
  // be read is passed over: the record is left empty and `problem` says
  // why, in one line naming the file and the residue. With `geometry` false a Z-matrix that places no atom (references
  // to no earlier atom, absurd values) is no problem: the residue keeps its
  // names, types and charges, without coordinates or bonds. False at the
  // end of the file.
  bool ReadOrPassOver(bool geometry, std::string& problem);

 private:
  bool ReadResidue(bool geometry, std::string& problem, std::string& residue_name);
  void ClearRecord();
  void FillAtoms(const PrepResidue& residue, size_t dummies);
  void FillGeometry(const PrepResidue& residue, size_t dummies);
  void ConnectTemplate(const PrepResidue& residue, const std::vector<ReferenceTriple>& references, size_t dummies);
  void BuildCartesian(size_t dummies, const std::string& residue_name);

  // The file header is passed over only before the first residue, so that
  // later reads continue with the next residue of a library file.
  bool header_pending_ = true;
};

}  // namespace tarvex
