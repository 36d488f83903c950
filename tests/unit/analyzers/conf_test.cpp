#include "analyzers/conf.h"

#include <gtest/gtest.h>

#include "../formats/pdb_test_files.h"

namespace tarvex {
namespace {

// A record's residues in the plain form the walk reads: each residue is a
// name and its atom names, numbered from `first_index` on.
struct Residues {
  std::vector<std::string> atom_names;
  std::vector<std::string> residue_names;
  std::vector<int> residue_index;
  std::vector<int> heads;
  std::vector<int> ter_list;

  Residues& Add(const std::string& name, int index, const std::vector<std::string>& atoms) {
    heads.push_back(static_cast<int>(atom_names.size()));
    for (const std::string& atom : atoms) {
      atom_names.push_back(atom);
      residue_names.push_back(name);
      residue_index.push_back(index);
    }
    return *this;
  }
  Residues& Ter() {
    ter_list.push_back(static_cast<int>(atom_names.size()));
    return *this;
  }
  std::vector<BackboneResidue> Walk() {
    std::vector<int> closed = heads;
    closed.push_back(static_cast<int>(atom_names.size()));
    return WalkBackbone({atom_names, residue_names, residue_index, closed, ter_list});
  }
};

const std::vector<std::string> kAmino = {" N  ", " H  ", " CA ", " CB ", " C  ", " O  "};

// The labels of the reported residues, "|" where a chain ends.
std::string Labels(const std::vector<ReportedResidue>& reported) {
  std::string text;
  for (const ReportedResidue& r : reported) text += r.name + std::to_string(r.index) + (r.ends_chain ? "| " : " ");
  return text;
}

TEST(ConfBackbone, CapsGiveTheEndResiduesTheirAngles) {
  Residues capped;
  capped.Add("ACE", 1, {" CH3", " C  ", " O  "})
      .Add("ALA", 2, kAmino)
      .Add("GLY", 3, kAmino)
      .Add("NME", 4, {" N  ", " H  ", " CH3"});
  const std::vector<BackboneResidue> walked = capped.Walk();
  ASSERT_EQ(walked.size(), 4u);
  EXPECT_EQ(walked[0].c, 1);
  EXPECT_EQ(walked[0].n, -1) << "a cap gives one atom";
  EXPECT_EQ(walked[3].n, 15);
  EXPECT_EQ(walked[3].c, -1);
  const std::vector<ReportedResidue> reported = ReportedResidues(walked);
  EXPECT_EQ(Labels(reported), "ALA2 GLY3 ");
  EXPECT_EQ(reported[0].atoms, (std::array<int, 5>{1, 3, 5, 7, 9}));

  Residues bare;
  bare.Add("ALA", 1, kAmino).Add("GLY", 2, kAmino).Add("SER", 3, kAmino);
  EXPECT_EQ(Labels(ReportedResidues(bare.Walk())), "GLY2 ") << "no caps: the end residues lack phi or psi";
}

// Chains end at OXT and TER, at a residue that is no amino acid and at the
// caps: no angle takes an atom across the break, and a chain too short for
// angles leaves no label behind.
TEST(ConfBackbone, BreaksEndChains) {
  std::vector<std::string> with_oxt = kAmino;
  with_oxt.push_back(" OXT");
  Residues r;
  r.Add("ALA", 1, kAmino).Add("ALA", 2, kAmino).Add("ALA", 3, with_oxt);      // chain 1: ALA2
  r.Add("GLY", 4, kAmino).Add("GLY", 5, with_oxt);                            // too short
  r.Add("SER", 6, kAmino).Add("SER", 7, kAmino).Add("SER", 8, kAmino).Ter();  // chain 3: SER7
  r.Add("THR", 9, kAmino).Add("THR", 10, kAmino).Add("LIG", 11, {" C  ", " N  "});
  r.Add("VAL", 12, kAmino).Add("VAL", 13, kAmino).Add("NME", 14, {" N  "});
  r.Add("ACE", 15, {" C  "}).Add("LEU", 16, kAmino).Add("LEU", 17, kAmino);
  EXPECT_EQ(Labels(ReportedResidues(r.Walk())), "ALA2| SER7| VAL13| LEU16 ");
}

// A numbering gap on a continuous chain is no break; a residue without its
// CA gives no angles but leaves its neighbours theirs. A name counts
// wherever it stands in its columns ("CA  " as CHARMM writes it from column
// 13, "CA" from a MOL2 file); the first atom of a name is the one taken.
TEST(ConfBackbone, NumberingGapsAndMissingAtoms) {
  Residues r;
  r.Add("ALA", 1, kAmino).Add("ALA", 2, kAmino).Add("ALA", 52, kAmino).Add("GLY", 53, {" N  ", " C  "});
  r.Add("GLY", 54, kAmino).Add("GLY", 55, {"N   ", "CA  ", " CA", "C"}).Add("GLY", 56, kAmino);
  const std::vector<BackboneResidue> walked = r.Walk();
  EXPECT_EQ(Labels(ReportedResidues(walked)), "ALA2 ALA52 GLY54 GLY55 ");
  EXPECT_EQ(walked[5].ca, 27);
}

// Caps at either end besides ACE and NME: formyl (FOR) before the chain,
// Amber's amide NHE and the PDB's NH2 after it, each ending its chain.
TEST(ConfBackbone, FormylAndAmideCaps) {
  Residues r;
  r.Add("FOR", 1, {" C  ", " O  "}).Add("ALA", 2, kAmino).Add("NHE", 3, {" N  ", " HN1", " HN2"});
  r.Add("FOR", 4, {" C  ", " O  "}).Add("GLY", 5, kAmino).Add("NH2", 6, {" N  "});
  r.Add("ACE", 7, {" C  "}).Add("SER", 8, kAmino).Add("NH2", 9, {" N  "});
  EXPECT_EQ(Labels(ReportedResidues(r.Walk())), "ALA2| GLY5| SER8 ");
}

// A residue that is no standard amino acid but carries N, CA and C (MSE,
// SEP, CHARMM's HSD) keeps the chain and is reported under its own name; a
// residue without all three (a ligand, a water) breaks it.
TEST(ConfBackbone, ModifiedAminoAcidsKeepTheChain) {
  Residues r;
  r.Add("ALA", 1, kAmino).Add("MSE", 2, {" N  ", " CA ", " C  ", " O  ", " CB ", " CG ", "SE  ", " CE "});
  r.Add("HSD", 3, {"N   ", "HN  ", "CA  ", "CB  ", "ND1 ", "C   ", "O   "}).Add("SEP", 4, kAmino);
  r.Add("ALA", 5, kAmino).Add("LIG", 6, {" CA ", " C  ", " O  "}).Add("ALA", 7, kAmino);
  r.Add("ALA", 8, kAmino).Add("ALA", 9, kAmino);
  EXPECT_EQ(Labels(ReportedResidues(r.Walk())), "MSE2 HSD3 SEP4| ALA8 ");
}

TEST(ConfBackbone, LongPeptideBondsAreGaps) {
  Residues r;
  r.Add("ALA", 1, kAmino).Add("ALA", 2, kAmino).Add("ALA", 3, kAmino).Add("ALA", 4, kAmino);
  std::vector<BackboneResidue> walked = r.Walk();
  Frame frame(24, Point{0, 0, 0});
  frame[12] = {1.3, 0, 0};                       // N of residue 3: bonded to C of 2 (atom 10)
  frame[22] = {0, 0, 2.5};                       // C of residue 4, far from nothing
  frame[16] = {kPeptideBondLimit + 0.01, 0, 0};  // C of residue 3, too far from N of 4 (atom 18)
  CutBackboneGaps(walked, frame);
  EXPECT_TRUE(walked[1].joined);
  EXPECT_TRUE(walked[2].joined);
  EXPECT_FALSE(walked[3].joined);
  EXPECT_EQ(Labels(ReportedResidues(walked)), "ALA2 ");
}

// phi turns about N-CA, psi about CA-C: a cis phi and a trans psi tell the
// two apart.
TEST(ConfBackbone, PhiAndPsiTakeTheirFourAtoms) {
  const Frame frame = {{0, 1, 0}, {0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {2, 1, 0}};
  const std::array<double, 2> angles = PhiPsi(frame, {0, 1, 2, 3, 4});
  EXPECT_NEAR(angles[0], 0.0, 1e-12);
  EXPECT_NEAR(angles[1], 180.0, 1e-12);
  const Frame straight = {{0, 1, 0}, {0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {2, 1, 1}};
  EXPECT_EQ(PhiPsi(straight, {0, 1, 2, 3, 4}), (std::array<double, 2>{kUndefinedAngle, kUndefinedAngle}));
}

}  // namespace
}  // namespace tarvex
