// CDataFile: the molecule record, and the base class of every file format.
//
// One record is made per file that a command reads or writes. A format's
// reader fills the field groups, analyzers and the chemistry operations read
// and change them, and a format's writer writes them out. The 128 virtual
// operations below keep their slot order (the number leading each line); the
// members are defined in the source file of their concern:
//   formats/<format>_file.cpp   the format operations (1-4, and 8 and 20 where
//                               a format has its own); formats/file_types.cpp
//                               chooses the class
//   molecule/data_file.cpp      construction, flag words and version (0, 14-22),
//                               record fields (23-65), residues (76-79),
//                               numbering (81-84)
//   molecule/state.cpp          CopyState, PrintStates, HasState (5, 12, 13) by
//                               the name table of molecule/state_names.h
//   molecule/file_frame.cpp     streams, ReadAll, WriteAll, file names (6-11)
//   chemistry/parameters.cpp    parameter registry and typing rows (66-75)
//   chemistry/geometry/bond_perception.cpp   CreateConnection (80)
//   chemistry/geometry/internal_coordinates.cpp   InternalToCartesian, CartesianToInternal (85, 86)
//   chemistry/lewis/bond_types.cpp    bond-type perception and its steps (87-91, 95)
//   chemistry/lewis/group_rules.cpp   cation and oxo groups (92-94)
//   chemistry/lewis/bond_order_tables.cpp   bond orders, MOL2 types, formal charges (96-118)
//   chemistry/geometry/superposition.cpp least-squares fitting (119-127)
//   chemistry/environment_patterns.cpp   MatchPattern
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "common/line_reader.h"
#include "common/output_file.h"
#include "molecule/atom_numbers.h"
#include "molecule/bond_map.h"
#include "molecule/state_names.h"

namespace tarvex {

// File-flag bits: reader and writer options of a record.
inline constexpr uint32_t kFileBase1 = 0x1;            // numbered outputs start at 1
inline constexpr uint32_t kFileStep0 = 0x2;            // first molecule written for every N-th step
inline constexpr uint32_t kFileCreateBonds = 0x4;      // perceive bonds before writing
inline constexpr uint32_t kFileCartesianRead = 0x8;    // Gaussian geometry read was Cartesian
inline constexpr uint32_t kFileInternal = 0x10;        // INT: Z-matrix geometry
inline constexpr uint32_t kFileNoMerge = 0x20;         // SetConnection replaces instead of merging
inline constexpr uint32_t kFileUseVar = 0x40;          // Gaussian Z-matrix with variables
inline constexpr uint32_t kFileStrict = 0x80;          // strict PDB element search
inline constexpr uint32_t kFileUpper = 0x100;          // PDB names in upper case
inline constexpr uint32_t kFileReadNumbering = 0x200;  // PDB residue numbers as read
inline constexpr uint32_t kFileNoConnect = 0x400;      // keep no bonds
inline constexpr uint32_t kFileNoAtomNumber = 0x800;   // Gaussian labels without numbers
inline constexpr uint32_t kFileNoType = 0x1000;        // MOL2 without atom and bond types
inline constexpr uint32_t kFileGold = 0x2000;          // MOL2 types after GOLD
inline constexpr uint32_t kFileReferenceFit = 0x4000;  // fit copied coordinates onto references
inline constexpr uint32_t kFileMol2Name = 0x8000;      // MOL2 name from the title
inline constexpr uint32_t kFileBox = 0x10000;          // BOX on CRD/RST; OVERWRITE in CopyState
inline constexpr uint32_t kFileOverwrite = 0x10000;
inline constexpr uint32_t kFileRestartVelocity = 0x20000;  // read restart velocities

// Fit-flag bits.
inline constexpr uint32_t kFitAll = 0x1;
inline constexpr uint32_t kFitHeavy = 0x2;

// The net charge and spin multiplicity a file states for its molecule. The
// multiplicity is 2S + 1: 1 for a closed shell, 2 for a doublet radical, so
// the molecule has multiplicity - 1 unpaired electrons.
struct ChargeAndMultiplicity {
  int charge = 0;
  int multiplicity = 1;
  int UnpairedElectrons() const { return multiplicity - 1; }
  bool operator==(const ChargeAndMultiplicity&) const = default;
};

inline constexpr const char* kDefaultInputName = "infile";
inline constexpr const char* kDefaultOutputName = "outfile";

class CDataFile {
 public:
  CDataFile();
  CDataFile(const CDataFile&) = delete;
  CDataFile& operator=(const CDataFile&) = delete;

  // ---- format operations, each format overrides them ------------------------
  /*  0 */ virtual ~CDataFile();
  /*  1 */ virtual void OpenInput(std::string name) = 0;
  /*  2 */ virtual void OpenOutput(std::string name, bool open) = 0;
  // Read goes on from where the last Read stopped and never rewinds; a read
  // with nothing left gives an empty cartesian, which is how an analyzer
  // stepping through structures knows it is done (every reader keeps to it:
  // tests/unit/formats/reader_stepping_test.cpp).
  /*  3 */ virtual void Read(int which) = 0;
  /*  4 */ virtual void Write() = 0;

  // ---- state lists and the file frame ---------------------------------------
  /*  5 */ virtual void CopyState(CDataFile& source);
  /*  6 */ virtual void OpenInputStream();
  /*  7 */ virtual void OpenOutputStream();
  /*  8 */ virtual void ReadAll(int frame);
  /*  9 */ virtual void WriteAll(int step);
  /* 10 */ virtual std::string GetInputFileName() const;
  /* 11 */ virtual std::string GetOutputFileName() const;
  /* 12 */ virtual void PrintStates();
  /* 13 */ virtual bool HasState(const std::string& state_name);

  // ---- flag words and format version -----------------------------------------
  /* 14 */ virtual void SetFileFlag(uint32_t bits);
  /* 15 */ virtual void ClearFileFlag(uint32_t bits);
  /* 16 */ virtual uint32_t GetFileFlags() const;
  /* 17 */ virtual void SetFitFlag(uint32_t bits);
  /* 18 */ virtual void ClearFitFlag(uint32_t bits);
  /* 19 */ virtual uint32_t GetFitFlags() const;
  /* 20 */ virtual void DetectVersion();
  /* 21 */ virtual void SetVersion(const std::string& version);
  /* 22 */ virtual std::string& GetVersion();

  // ---- record fields: setters --------------------------------------------------
  /* 23 */ virtual void SetNumberOfAtoms(int count);
  /* 24 */ virtual void SetNumberOfResidues(int count);
  /* 25 */ virtual void SetNumberOfMolecules(int count);
  /* 26 */ virtual void SetTitle(const std::string& title);
  /* 27 */ virtual void SetCartesian(const Frame& points);
  /* 28 */ virtual void SetInternal(const std::vector<Point>& values, const std::vector<ReferenceTriple>& references);
  /* 29 */ virtual void SetCartesianAll(const std::vector<Frame>& frames);
  /* 30 */ virtual void SetInternalAll(const std::vector<std::vector<Point>>& values,
                                       const std::vector<std::vector<ReferenceTriple>>& references);
  /* 31 */ virtual void SetForce(const Frame& forces);
  /* 32 */ virtual void SetCharge(const std::vector<double>& charges);
  /* 33 */ virtual void SetConnection(const BondMap& bonds);
  /* 34 */ virtual void SetAtomName(const std::vector<std::string>& names);
  /* 35 */ virtual void SetAtomType(const std::vector<std::string>& types);
  /* 36 */ virtual void SetAtomIndex(const std::vector<int>& numbers);
  /* 37 */ virtual void SetResidueName(const std::vector<std::string>& names);
  /* 38 */ virtual void SetResidueType(const std::vector<std::string>& types);
  /* 39 */ virtual void SetResidueIndex(const std::vector<int>& numbers);
  /* 40 */ virtual void SetResidueNumber(const std::vector<int>& ordinals);
  /* 41 */ virtual void SetHeadAtomOfResidue(const std::vector<int>& heads);

  // ---- record fields: getters (references hand out the member itself) --------
  /* 42 */ virtual int GetNumberOfAtoms();
  /* 43 */ virtual int GetNumberOfResidues();
  /* 44 */ virtual int GetNumberOfMolecules();  // 1 when 0 and cartesian is held
  /* 45 */ virtual std::string GetTitle() const;
  /* 46 */ virtual Frame& GetCartesian();
  /* 47 */ virtual std::vector<Point>& GetInternal();
  /* 48 */ virtual std::vector<ReferenceTriple>& GetInternalReference();
  /* 49 */ virtual std::vector<Frame>& GetCartesianAll();  // cartesian as the only frame when empty
  /* 50 */ virtual std::vector<std::vector<Point>>& GetInternalAll();
  /* 51 */ virtual std::vector<std::vector<ReferenceTriple>>& GetInternalAllReference();
  /* 52 */ virtual Frame& GetForce();
  /* 53 */ virtual std::vector<double>& GetCharge();
  /* 54 */ virtual BondMap& GetConnection();
  /* 55 */ virtual std::vector<std::string>& GetAtomName();
  /* 56 */ virtual std::vector<std::string>& GetAtomType();
  /* 57 */ virtual std::vector<int>& GetAtomIndex();
  /* 58 */ virtual std::vector<std::string>& GetResidueName();
  /* 59 */ virtual std::vector<std::string>& GetResidueType();
  /* 60 */ virtual std::vector<int>& GetResidueIndex();
  /* 61 */ virtual std::vector<int>& GetResidueNumber();
  /* 62 */ virtual std::vector<int>& GetHeadAtomOfResidue();
  /* 63 */ virtual void ClearConnection();
  /* 64 */ virtual void SetTerList(const std::vector<int>& ter_list);
  /* 65 */ virtual std::vector<int>& GetTerList();

  // ---- parameter registry (process-wide) ---------------------------------------
  /* 66 */ virtual void SetPairParameterByIndex(int element_i, int element_j, double length);
  /* 67 */ virtual void SetPairParameter(const std::string& a, const std::string& b, double length);
  /* 68 */ virtual double GetPairParameterByIndex(int element_i, int element_j);
  /* 69 */ virtual double GetPairParameter(const std::string& a, const std::string& b);
  /* 70 */ virtual void AddParameterList(const std::string& symbol, int valence);
  /* 71 */ virtual std::vector<int>& GetParameterList(const std::string& symbol);
  /* 72 */ virtual void AddParameterList2(const std::string& symbol, int ion_charge);
  /* 73 */ virtual std::vector<int>& GetParameterList2(const std::string& symbol);
  /* 74 */ virtual void SetParameterValue(const std::string& symbol, int max_neighbours);
  /* 75 */ virtual int GetParameterValue(const std::string& symbol);

  // ---- residues ------------------------------------------------------------------
  /* 76 */ virtual bool IsStandardResidueAt(int atom);
  /* 77 */ virtual bool IsStandardResidueName(const std::string& name);
  /* 78 */ virtual bool IsSecondResidueAt(int atom);
  /* 79 */ virtual bool IsSecondResidueName(const std::string& name);
  /* 80 */ virtual void CreateConnection();

  // ---- numbering -------------------------------------------------------------------
  /* 81 */ virtual int IndexToAtomNumber(int position);
  /* 82 */ virtual int AtomNumberToIndex(int atom_number);
  /* 83 */ virtual int ResidueIndexOfHead(int residue);
  /* 84 */ virtual int ResidueNumberOfIndex(int residue_index);

  // ---- coordinates -----------------------------------------------------------------
  /* 85 */ virtual void InternalToCartesian();
  /* 86 */ virtual void CartesianToInternal();

  // ---- bond types, MOL2 types and formal charges -----------------------------------
  /* 87 */ virtual void PerceiveBondTypes();
  /* 88 */ virtual void AssignMol2AtomTypes();
  /* 89 */ virtual void RefineAtomTypes();
  /* 90 */ virtual bool SearchBondOrders(int start, int level);
  /* 91 */ virtual void AssignMol2BondTypes();
  /* 92 */ virtual void MarkCationGroups();
  /* 93 */ virtual void ReservedBondStep();  // does nothing
  /* 94 */ virtual void MarkOxoGroups();
  /* 95 */ virtual void AssignFallbackBondOrders();
  /* 96 */ virtual BondOrderMap& GetFixedBondOrders();
  /* 97 */ virtual int GetBondOrder(int i, int j);
  /* 98 */ virtual bool HasBondOrder(int i, int j);
  /* 99 */ virtual void SetInitialBondOrder(int i, int j, int order);  // rule orders every pass starts from
  /*100 */ virtual int BondOrderSum(int atom);
  /*101 */ virtual int UnorderedBondCount(int atom);
  /*102 */ virtual void MarkAtomAssigned(int atom);
  /*103 */ virtual int NextUnassignedAtom();
  /*104 */ virtual std::string GetMol2AtomType(int atom);
  /*105 */ virtual void SetMol2AtomType(int atom, const std::string& type);
  /*106 */ virtual std::vector<int>& GetFormalCharges();
  /*107 */ virtual int GetFormalCharge(int atom);
  /*108 */ virtual void SetFormalCharges(const std::vector<int>& charges);
  /*109 */ virtual void SetFormalCharge(int atom, int charge);
  /*110 */ virtual std::string GetMol2BondType(int i, int j);
  /*111 */ virtual void SetMol2BondType(int i, int j, const std::string& type);
  /*112 */ virtual void ClearBondOrders();
  /*113 */ virtual void SetFixedBondOrders(const BondOrderMap& orders);
  /*114 */ virtual void SetBondOrder(int i, int j, int order);
  /*115 */ virtual void ClearAllBondOrders();
  /*116 */ virtual void ResetAtomLinks();
  /*117 */ virtual void GetBondOrders(BondOrderMap& out);
  /*118 */ virtual void SetBondOrders(const BondOrderMap& orders);

  // ---- least-squares fitting ---------------------------------------------------------
  /*119 */ virtual void SetFitReference(const Frame& reference);
  /*120 */ virtual void FitToReference();
  /*121 */ virtual void FitAllFrames();
  /*122 */ virtual void SetFitAtoms(const std::vector<int>& positions);
  /*123 */ virtual std::vector<int>& GetFitAtoms();
  /*124 */ virtual void SetFitExcludedAtoms(const std::vector<int>& positions);
  /*125 */ virtual std::vector<int>& GetFitExcludedAtoms();
  /*126 */ virtual void SetFitAtomNames(const std::vector<std::string>& names);
  /*127 */ virtual std::vector<std::string>& GetFitAtomNames();

  // ---- not virtual ---------------------------------------------------------------------
  // CopyState that moves the groups it takes instead of copying them, for a
  // source that is read once and not used again (convert's inputs): a
  // million-atom structure is then held once, not twice.
  void TakeState(CDataFile& source);
  // WriteAll's numbered files for frames handed out one at a time: `next`
  // fills its argument with the next frame and returns false when none is
  // left, so a trajectory can be written without holding it. `expected` is
  // the number of frames if known (it sets the counter width; the files are
  // renamed at the end when the frames were more). With `fit`, each frame
  // is fitted onto the reference before it is written.
  // A format that holds every frame in one file (NetCDF) writes them there
  // instead.
  virtual void WriteFrames(int step, long long expected, const std::function<bool(Frame&)>& next, bool fit);
  // The charge and multiplicity the file states (the charge and
  // multiplicity line of a Gaussian input, the "Charge = q Multiplicity = m"
  // line of a Gaussian log); empty where the file states none. CopyState
  // hands it to a record that has none, as it does the TER list.
  void SetStatedChargeAndMultiplicity(const std::optional<ChargeAndMultiplicity>& stated) {
    stated_charge_and_multiplicity_ = stated;
  }
  const std::optional<ChargeAndMultiplicity>& GetStatedChargeAndMultiplicity() const {
    return stated_charge_and_multiplicity_;
  }
  // Whether the group holds data: HasState without the name.
  bool Holds(State state) const;
  // Fills the process-wide parameter registry; run by the first record.
  void LoadParameters();
  // Grows whenever atom_index may have changed: positions found with
  // AtomNumberToIndex hold while it and number_of_atoms stay the same.
  uint64_t AtomNumberingGeneration() const { return atom_index_.Generation(); }
  // The bond scale and fallback length of the parameter registry (1.15 and
  // 0.0 unless the parameter file sets them), the same for every record.
  double GetBondScale() const;
  double GetFallbackLength() const;
  // The record's atom-typing tables (element -> suffixes, element -> patterns,
  // suffix -> mark), seeded from the built-in rows or the parameter file.
  const std::map<std::string, std::vector<std::string>>& TypeSuffixes() const { return type_suffixes_; }
  const std::map<std::string, std::vector<std::string>>& TypePatterns() const { return type_patterns_; }
  const std::map<std::string, std::string>& TypeMarks() const { return type_marks_; }

  // A partial copy of the structure kept beside the fields; the environment
  // pattern matcher works on its atom types and connection copy.
  struct Snapshot {
    int number_of_atoms = 0;
    std::vector<std::string> atom_types;
    BondMap connection;
    Frame cartesian;
    BondOrderMap bond_orders;
    std::vector<int> formal_charges;
  };
  Snapshot& GetSnapshot() { return snapshot_; }
  bool TypesAssigned() const { return types_assigned_ != 0; }
  // Whether the atom sits in the environment the pattern describes (the
  // notation is in chemistry/environment_patterns.h), read on the snapshot's
  // atom types and connection copy; alternatives before `first_alternative`
  // are skipped.
  bool MatchPattern(int atom, const std::string& pattern, int first_alternative = 0);

  // The atoms whose coordinates the caller will use, 0-based positions; a
  // trajectory reader converts only their numbers (it still checks every
  // number of every frame) and the other points of `cartesian` hold no
  // meaningful value (NaN in a frame it lays out). Empty, the default: every
  // atom. Set it before reading; readers of single structures ignore it.
  void SetNeededAtoms(std::vector<int> positions);
  const std::vector<int>& GetNeededAtoms() const { return needed_atoms_; }

  // How far the reading of the input has come, for a progress line: the
  // bytes read so far and the input's size (0 when unknown: a pipe, a
  // compressed file). Cheap enough to ask after every frame.
  struct InputPosition {
    uint64_t read = 0;
    uint64_t size = 0;
  };
  InputPosition GetInputPosition() const;

 protected:
  // Shared bodies of the format operations. A file that is not text ends
  // the program (LineReader::RequireText) unless the format refuses it with
  // a message of its own.
  void StoreNameAndOpenInput(const std::string& name, bool require_text = true);
  void OpenOutputShared(const std::string& name, bool open);
  // Writers of coordinates call it first: a record with more atoms than
  // points (a Z-matrix whose conversion stopped, a topology without
  // coordinates) cannot be written whole, and is refused rather than padded.
  void RequireWholeStructure() const;
  // The frames that WriteFrames writes (every step-th, from the first with
  // STEP0), each moved into `cartesian`, fitted when asked, then handed to
  // `write` with its place among the frames `next` gave (1, 2, ...).
  // Returns the number of frames `next` gave.
  long long ForEachKeptFrame(int step, const std::function<bool(Frame&)>& next, bool fit,
                             const std::function<void(long long)>& write);
  // The reader of the typing section of the parameter file.
  void LoadTypingRows();
  // Empties the per-atom and per-residue groups that every reader fills:
  // coordinates, atom names, types and numbers, and the residue groups.
  void ClearAtomAndResidueGroups();
  void TransferState(CDataFile& source, bool move);
  // SetConnection taking over the handed lists where it can.
  void AdoptConnection(BondMap&& bonds);
  void SnapshotConnection();

  // Field groups. Three per-atom numberings are easily swapped:
  //   atom_index_      the atom's number as the file writes it (a PDB serial,
  //                    which may skip or repeat); IndexToAtomNumber and
  //                    AtomNumberToIndex translate between it and the 0-based
  //                    position in the per-atom lists
  //   residue_index_   the number of the atom's residue as the file writes it
  //                    (a PDB residue sequence number, which may skip, repeat
  //                    or restart)
  //   residue_number_  the 0-based ordinal of the atom's residue in the record:
  //                    an index into head_atom_of_residue_
  std::string title_;
  int number_of_atoms_ = 0;
  int number_of_residues_ = 0;
  int number_of_molecules_ = 0;
  Frame cartesian_;
  std::vector<Frame> cartesian_all_;
  std::vector<Point> internal_;
  std::vector<ReferenceTriple> internal_reference_;
  std::vector<std::vector<Point>> internal_all_;
  std::vector<std::vector<ReferenceTriple>> internal_all_reference_;
  Frame force_;
  std::vector<double> charge_;
  BondMap connection_;
  std::vector<std::string> atom_name_;
  std::vector<std::string> atom_type_;
  AtomNumbers atom_index_;  // with the look-up of AtomNumberToIndex
  std::vector<std::string> residue_name_;
  std::vector<std::string> residue_type_;
  std::vector<int> residue_index_;
  std::vector<int> residue_number_;
  std::vector<int> head_atom_of_residue_;
  std::vector<int> ter_list_;
  std::optional<ChargeAndMultiplicity> stated_charge_and_multiplicity_;

  // File frame.
  std::string input_file_name_ = kDefaultInputName;
  std::string output_file_name_ = kDefaultOutputName;
  LineReader input_;
  OutputFile output_;
  uint32_t file_flags_ = 0;
  uint32_t fit_flags_ = 0;
  std::string version_;
  std::vector<int> needed_atoms_;  // sorted, unique; empty: every atom
  // Where a reader that does not read through input_ (NetCDF) has come to.
  InputPosition binary_position_;

  // Chemistry state.
  Snapshot snapshot_;
  uint8_t types_assigned_ = 0;
  std::map<std::string, std::vector<std::string>> type_suffixes_;
  std::map<std::string, std::vector<std::string>> type_patterns_;
  std::map<std::string, std::string> type_marks_;
  std::vector<std::string> mol2_atom_types_;
  // MOL2 bond types as indices into mol2_bond_type_names_ (a handful of
  // distinct texts for a million bonds).
  PairMap<uint8_t> mol2_bond_types_;
  std::vector<std::string> mol2_bond_type_names_;
  std::vector<int> formal_charges_;
  BondOrderMap initial_bond_orders_;
  BondOrderMap fixed_bond_orders_;
  BondOrderMap bond_orders_;
  // Atoms the bond-order search has settled in the current pass; the first
  // unsettled one is at or after next_unassigned_.
  std::vector<char> atom_assigned_;
  size_t next_unassigned_ = 0;

  // Fit reference and selection.
  Frame fit_reference_;
  std::vector<int> fit_atoms_;
  std::vector<int> fit_excluded_atoms_;
  std::vector<std::string> fit_atom_names_;
};

}  // namespace tarvex
