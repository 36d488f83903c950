#include "formats/netcdf_header.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "amber_test_support.h"

namespace tarvex {
namespace {

using namespace amber_test;

std::string NetcdfPath(const std::string& name) { return std::string(TARVEX_TEST_DATA) + "/netcdf/" + name; }

// A classic header written field by field, big-endian, as the format
// document lays it out.
class Classic {
 public:
  explicit Classic(char version = 1) : bytes_("CDF") {
    bytes_ += version;
    wide_ = version == 5;
  }
  Classic& Word(uint64_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) bytes_ += static_cast<char>((value >> shift) & 0xff);
    return *this;
  }
  Classic& Count(uint64_t value) {
    if (wide_) Word(value >> 32);
    return Word(value & 0xffffffff);
  }
  Classic& Name(const std::string& name) {
    Count(name.size());
    bytes_ += name;
    bytes_.append((4 - name.size() % 4) % 4, '\0');
    return *this;
  }
  Classic& Absent() { return Word(0).Count(0); }
  Classic& Raw(const std::string& text) {
    bytes_ += text;
    return *this;
  }
  std::string Write(const std::string& file) const { return WriteScratch(file, bytes_); }
  size_t Size() const { return bytes_.size(); }

 private:
  std::string bytes_;
  bool wide_ = false;
};

NetcdfHeader Walk(const Classic& header) { return ReadNetcdfHeader(header.Write("walk.nc")); }

// tiny.nc (64-bit offsets, 3 frames of 4 atoms with a box per frame), as
// ncdump -h shows it.
TEST(NetcdfHeader, WalksARealClassicFile) {
  const NetcdfHeader header = ReadNetcdfHeader(NetcdfPath("tiny.nc"));
  EXPECT_EQ(header.damage, "");
  EXPECT_EQ(header.kind, NetcdfHeader::Kind::kOffset64);
  EXPECT_EQ(header.records, 3u);
  EXPECT_EQ(header.described_bytes, 876u);
  EXPECT_EQ(header.file_bytes, 876u);
  const NetcdfVariableLayout* coordinates = header.Find("coordinates");
  ASSERT_NE(coordinates, nullptr);
  EXPECT_TRUE(coordinates->record);
  EXPECT_EQ(coordinates->shape, (std::vector<uint64_t>{3, 4, 3}));
  EXPECT_EQ(coordinates->bytes, 48u);
  // One record: time (4), coordinates (48), cell_lengths and cell_angles (24 each).
  EXPECT_EQ(header.record_stride, 100u);
  uint64_t record = 0, atom = 0;
  EXPECT_FALSE(header.CutInside("coordinates", 12, record, atom));
  EXPECT_FALSE(header.Find("velocities"));
}

// Cut short inside frame 3 (byte 700 of 876): where the coordinates stop.
TEST(NetcdfHeader, NamesTheRecordAndItemWhereAVariableIsCut) {
  const std::string cut = WriteScratch("cut.nc", ReadWhole(NetcdfPath("tiny.nc")).substr(0, 700));
  const NetcdfHeader header = ReadNetcdfHeader(cut);
  EXPECT_EQ(header.damage, "");
  EXPECT_EQ(header.described_bytes, 876u);
  const NetcdfVariableLayout* coordinates = header.Find("coordinates");
  ASSERT_NE(coordinates, nullptr);
  uint64_t record = 0, atom = 0;
  ASSERT_TRUE(header.CutInside("coordinates", 12, record, atom));
  EXPECT_EQ(record, (700 - coordinates->begin - 48) / 100 + 1);
  EXPECT_EQ(atom, (700 - coordinates->begin - record * 100) / 12);
  // A record count of ten million in the same header: the coordinates stop
  // at the first record the file does not hold.
  std::string lying = ReadWhole(NetcdfPath("tiny.nc"));
  lying.replace(4, 4, std::string("\x00\x98\x96\x80", 4));
  const NetcdfHeader many = ReadNetcdfHeader(WriteScratch("many.nc", lying));
  EXPECT_EQ(many.records, 10000000u);
  EXPECT_GT(many.described_bytes, 999999999u);
  ASSERT_TRUE(many.CutInside("coordinates", 12, record, atom));
  EXPECT_EQ(record, 3u);
  EXPECT_EQ(atom, 0u);
}

// Counts no file of that size could hold end the walk at once, each with
// its own line; nothing of their size is allocated.
TEST(NetcdfHeader, RefusesCountsTheFileCannotHold) {
  const std::string bytes = " bytes can hold";
  struct Case {
    Classic header;
    std::string damage;
  };
  const Case cases[] = {
      {Classic().Word(0).Word(0x0A).Word(0x7fffffff),
       "has a damaged NetCDF header: it declares 2147483647 dimensions, more than its 16" + bytes},
      {Classic().Word(0).Absent().Word(0x0C).Word(0xffffffff).Raw(std::string(64, '\0')),
       "has a damaged NetCDF header: it declares 4294967295 attributes, more than its 88" + bytes},
      {Classic().Word(0).Word(0x0A).Word(1).Word(100000).Raw("atom"),
       "has a damaged NetCDF header: a name of 100000 characters (at byte 20)"},
      {Classic().Word(0).Absent().Word(0x0C).Word(1).Name("title").Word(6).Word(0x40000000),
       "has a damaged NetCDF header: attribute title declares 1073741824 values, more than its 44" + bytes},
      {Classic().Word(0).Absent().Word(0x0C).Word(1).Name("title").Word(99).Word(1),
       "has a damaged NetCDF header: attribute title has the unknown type 99"},
      {Classic().Word(0).Word(0x0A).Word(2).Name("a").Word(0).Name("b").Word(0),
       "has a damaged NetCDF header: a second unlimited dimension, b"},
      {Classic()
           .Word(0)
           .Word(0x0A)
           .Word(1)
           .Name("atom")
           .Word(4)
           .Absent()
           .Word(0x0B)
           .Word(1)
           .Name("x")
           .Word(1)
           .Word(7)
           .Raw(std::string(40, '\0')),
       "has a damaged NetCDF header: variable x names dimension 7 of 1"},
      {Classic().Word(0).Absent().Absent().Word(0x0B).Word(1).Name("x").Word(5000).Raw(std::string(40, '\0')),
       "has a damaged NetCDF header: variable x has 5000 dimensions (at byte 44)"},
      {Classic()
           .Word(0)
           .Word(0x0A)
           .Word(2)
           .Name("frame")
           .Word(0)
           .Name("atom")
           .Word(2)
           .Absent()
           .Word(0x0B)
           .Word(1)
           .Name("x")
           .Word(2)
           .Word(1)
           .Word(0)
           .Raw(std::string(40, '\0')),
       "has a damaged NetCDF header: variable x has the unlimited dimension inside"},
      {Classic().Word(0).Word(0x0B).Word(0),
       "has a damaged NetCDF header: no list of dimensions where one must begin (at byte 16)"},
      {Classic().Word(0).Word(0x0A).Word(1).Word(4).Raw("atom"), "is cut short inside its header"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Walk(c.header).damage, c.damage);
  }
}

// A fixed variable placed past the end of the file, or inside the header.
TEST(NetcdfHeader, ChecksWhereTheDataLies) {
  const auto one_variable = [](char version, uint64_t begin) {
    Classic header(version);
    header.Count(0).Word(0x0A).Count(1).Name("atom").Count(1000).Absent().Word(0x0B).Count(1).Name("x").Count(1).Count(
        0);
    header.Absent().Word(6).Count(8000);
    if (version != 1) header.Word(begin >> 32);
    return header.Word(begin & 0xffffffff);
  };
  const NetcdfHeader far = Walk(one_variable(2, 1u << 20));
  EXPECT_EQ(far.damage, "");
  EXPECT_EQ(far.described_bytes, (1u << 20) + 8000u);
  EXPECT_EQ(far.file_bytes, one_variable(2, 0).Size());
  uint64_t record = 9, atom = 0;
  ASSERT_TRUE(far.CutInside("x", 8, record, atom));
  EXPECT_EQ(record, 0u);
  EXPECT_EQ(atom, 0u);
  EXPECT_EQ(Walk(one_variable(1, 8)).damage, "has a damaged NetCDF header: variable x begins inside the header");
  // The 64-bit data layout (CDF-5) counts in eight bytes.
  const NetcdfHeader cdf5 = Walk(one_variable(5, 200));
  EXPECT_EQ(cdf5.damage, "");
  EXPECT_EQ(cdf5.kind, NetcdfHeader::Kind::kData64);
  EXPECT_EQ(cdf5.described_bytes, 8200u);
}

// A record count of all ones is a file being streamed: the library counts
// the records that the file holds whole.
TEST(NetcdfHeader, StreamedRecordCountComesFromTheSize) {
  std::string streamed = ReadWhole(NetcdfPath("tiny.nc"));
  streamed.replace(4, 4, std::string(4, '\xff'));
  const NetcdfHeader header = ReadNetcdfHeader(WriteScratch("streamed.nc", streamed.substr(0, 800)));
  EXPECT_EQ(header.damage, "");
  EXPECT_EQ(header.records, 2u);
  EXPECT_LE(header.described_bytes, 800u);
}

// The HDF5 superblock's end of file against the file's size.
TEST(NetcdfHeader, ReadsTheHdf5EndOfFile) {
  const NetcdfHeader whole = ReadNetcdfHeader(NetcdfPath("tiny_scaled.nc"));
  EXPECT_EQ(whole.kind, NetcdfHeader::Kind::kHdf5);
  EXPECT_EQ(whole.damage, "");
  EXPECT_EQ(whole.described_bytes, whole.file_bytes);
  const NetcdfHeader cut =
      ReadNetcdfHeader(WriteScratch("cut4.nc", ReadWhole(NetcdfPath("tiny_scaled.nc")).substr(0, 5000)));
  EXPECT_EQ(cut.file_bytes, 5000u);
  EXPECT_EQ(cut.described_bytes, whole.file_bytes);
  const NetcdfHeader text = ReadNetcdfHeader(NetcdfPath("not_netcdf.nc"));
  EXPECT_EQ(text.kind, NetcdfHeader::Kind::kUnknown);
  EXPECT_EQ(text.damage, "");
}

}  // namespace
}  // namespace tarvex
