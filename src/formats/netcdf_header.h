// The header of a NetCDF file, walked before the NetCDF library reads it.
//
// The library trusts the counts of a header: a classic header declaring
// 2^31 dimensions, or an attribute larger than the file, makes it allocate
// without end or crash inside it. So the classic header (CDF-1, the 64-bit
// offset CDF-2 and the 64-bit data CDF-5) is walked here first, every count
// checked against the bytes left in the file and every variable's data
// against the file's size; of an HDF5 (NetCDF-4) file the superblock is
// read, whose end-of-file address must lie within the file. Nothing here
// needs the library, and nothing is allocated beyond what the file holds.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tarvex {

struct NetcdfVariableLayout {
  std::string name;
  int type = 0;  // nc_type: 1 byte ... 6 double, 7 ... 11 the CDF-5 types
  uint64_t type_size = 0;
  // The lengths of its dimensions; a record variable's first is the record
  // count of the file.
  std::vector<uint64_t> shape;
  bool record = false;
  uint64_t begin = 0;  // offset of its data (of its first record's)
  uint64_t bytes = 0;  // of one record (a record variable) or of all of it, unpadded
};

struct NetcdfHeader {
  enum class Kind { kUnknown, kClassic, kOffset64, kData64, kHdf5 };
  Kind kind = Kind::kUnknown;
  bool regular_file = true;
  uint64_t file_bytes = 0;
  // The bytes the file must hold for everything its header describes (for
  // HDF5, the superblock's end of file); 0 when not known.
  uint64_t described_bytes = 0;
  uint64_t records = 0;                         // classic: the record count (frames)
  uint64_t record_stride = 0;                   // classic: bytes from one record to the next
  std::vector<NetcdfVariableLayout> variables;  // classic only
  // Empty for a sound header, else what is wrong as the rest of a sentence
  // after the file name: "has a damaged NetCDF header: ...".
  std::string damage;

  const NetcdfVariableLayout* Find(const std::string& name) const;
  // Where a variable's data stops short of the end of the file: the first
  // record (0-based; 0 for a fixed variable) not stored whole and, in it,
  // the first item of `item_bytes` bytes cut off. False when the variable
  // is stored whole (or is not in the header).
  bool CutInside(const std::string& name, uint64_t item_bytes, uint64_t& record, uint64_t& item) const;
};

// a * b, or the largest uint64_t when that overflows: a size that cannot be
// counted is larger than any file.
uint64_t SaturatingProduct(uint64_t a, uint64_t b);

// Reads and checks the header of the file at `path`; a file that cannot be
// opened, or is neither classic NetCDF nor HDF5, gives kind kUnknown and
// is left to the library to refuse.
NetcdfHeader ReadNetcdfHeader(const std::string& path);

}  // namespace tarvex
