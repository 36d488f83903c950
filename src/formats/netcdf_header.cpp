// The classic layout (the NetCDF format document), big-endian throughout:
//
//   magic      'C' 'D' 'F' and the version byte: 1 classic, 2 64-bit
//              offsets, 5 64-bit data (CDF-5)
//   numrecs    the record count; all bits set: a file being streamed,
//              whose count comes from its size
//   dim_list   ABSENT | 0x0A nelems (name length)*
//   gatt_list  ABSENT | 0x0C nelems (name nc_type nelems values)*
//   var_list   ABSENT | 0x0B nelems (name rank dimid* vatt_list nc_type
//              vsize begin)*
//   ABSENT     a zero tag and a zero count
//
// A name is its length and its bytes padded to 4; attribute values are
// padded to 4. Counts, lengths, dimension ids and vsize take 4 bytes (8 in
// CDF-5), nc_type 4, begin 4 in CDF-1 and 8 in the others. The record
// dimension is the one of length 0; a record variable has it first, and
// its records lie one after another, each holding one record of every
// record variable, padded to 4 unless there is only one record variable.
//
// The HDF5 superblock (the HDF5 file format document), little-endian: the
// signature \211HDF\r\n\032\n at byte 0 (or 512, 1024, ... after a user
// block), the superblock version, the sizes of addresses and lengths, and
// the base address and end-of-file address of the file.
#include "formats/netcdf_header.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>

namespace tarvex {

uint64_t SaturatingProduct(uint64_t a, uint64_t b) {
  uint64_t result = 0;
  return __builtin_mul_overflow(a, b, &result) ? std::numeric_limits<uint64_t>::max() : result;
}

namespace {

constexpr uint64_t kDimensionTag = 0x0A;
constexpr uint64_t kVariableTag = 0x0B;
constexpr uint64_t kAttributeTag = 0x0C;
constexpr uint64_t kMaxName = 256;   // NC_MAX_NAME
constexpr uint64_t kMaxRank = 1024;  // NC_MAX_VAR_DIMS
constexpr uint64_t kNoValue = std::numeric_limits<uint64_t>::max();
constexpr size_t kBlock = 1 << 16;

uint64_t Pad4(uint64_t bytes) { return (bytes + 3) & ~uint64_t{3}; }

uint64_t Sum(uint64_t a, uint64_t b) {
  uint64_t result = 0;
  return __builtin_add_overflow(a, b, &result) ? kNoValue : result;
}

uint64_t TypeSize(uint64_t type, bool cdf5) {
  switch (type) {
    case 1:  // byte
    case 2:  // char
      return 1;
    case 3:  // short
      return 2;
    case 4:  // int
    case 5:  // float
      return 4;
    case 6:  // double
      return 8;
    default:
      break;
  }
  if (!cdf5) return 0;
  switch (type) {
    case 7:  // unsigned byte
      return 1;
    case 8:  // unsigned short
      return 2;
    case 9:  // unsigned int
      return 4;
    case 10:  // int64
    case 11:  // unsigned int64
      return 8;
    default:
      return 0;
  }
}

struct Damage {
  std::string text;
};

Damage Damaged(const std::string& what) { return {"has a damaged NetCDF header: " + what}; }

// The file read through pread, a block at a time, from a position that only
// moves forward.
class Bytes {
 public:
  Bytes(int fd, uint64_t size) : fd_(fd), size_(size) {}
  uint64_t Position() const { return position_; }
  uint64_t Left() const { return size_ - position_; }
  uint64_t Size() const { return size_; }
  void Seek(uint64_t position) { position_ = std::min(position, size_); }
  void Skip(uint64_t bytes) {
    if (bytes > Left()) throw Damage{"is cut short inside its header"};
    position_ += bytes;
  }
  // `count` (at most a block) bytes from here.
  const unsigned char* Take(size_t count) {
    if (count > Left()) throw Damage{"is cut short inside its header"};
    if (position_ < start_ || position_ + count > start_ + block_.size()) Load();
    const unsigned char* bytes = block_.data() + (position_ - start_);
    position_ += count;
    return bytes;
  }
  uint64_t BigEndian(size_t width) {
    const unsigned char* bytes = Take(width);
    uint64_t value = 0;
    for (size_t k = 0; k < width; ++k) value = (value << 8) | bytes[k];
    return value;
  }
  uint64_t LittleEndian(size_t width) {
    const unsigned char* bytes = Take(width);
    uint64_t value = 0;
    for (size_t k = width; k-- > 0;) value = (value << 8) | bytes[k];
    return value;
  }

 private:
  void Load() {
    block_.resize(static_cast<size_t>(std::min<uint64_t>(kBlock, Left())));
    size_t done = 0;
    while (done < block_.size()) {
      const ssize_t n = ::pread(fd_, block_.data() + done, block_.size() - done, static_cast<off_t>(position_ + done));
      if (n <= 0) throw Damage{"cannot be read to the end of its header"};
      done += static_cast<size_t>(n);
    }
    start_ = position_;
  }

  int fd_;
  uint64_t size_;
  uint64_t position_ = 0;
  uint64_t start_ = 0;
  std::vector<unsigned char> block_;
};

class ClassicWalker {
 public:
  ClassicWalker(Bytes& bytes, unsigned version, NetcdfHeader& header)
      : bytes_(bytes),
        header_(header),
        cdf5_(version == 5),
        count_width_(version == 5 ? 8 : 4),
        offset_width_(version == 1 ? 4 : 8) {}

  void Walk() {
    const uint64_t records = Count();
    Dimensions();
    Attributes();
    Variables();
    Layout(records);
  }

 private:
  uint64_t Count() { return bytes_.BigEndian(count_width_); }
  std::string At() const { return " (at byte " + std::to_string(bytes_.Position()) + ")"; }

  // A list's tag and element count (0 for an absent list). Each element
  // takes at least `smallest` bytes, so a count beyond what is left is a lie.
  uint64_t ListHead(uint64_t tag, uint64_t smallest, const std::string& what) {
    const uint64_t found = bytes_.BigEndian(4);
    const uint64_t count = Count();
    if (found == 0 && count == 0) return 0;
    if (found != tag) throw Damaged("no list of " + what + "s where one must begin" + At());
    if (count > bytes_.Left() / smallest) {
      throw Damaged("it declares " + std::to_string(count) + " " + what + "s, more than its " +
                    std::to_string(bytes_.Size()) + " bytes can hold");
    }
    return count;
  }

  std::string Name() {
    const uint64_t length = Count();
    if (length > kMaxName) throw Damaged("a name of " + std::to_string(length) + " characters" + At());
    if (length == 0) return {};
    const unsigned char* text = bytes_.Take(static_cast<size_t>(length));
    std::string name(reinterpret_cast<const char*>(text), static_cast<size_t>(length));
    bytes_.Skip(Pad4(length) - length);
    return name;
  }

  uint64_t Type(const std::string& owner) {
    const uint64_t type = bytes_.BigEndian(4);
    const uint64_t size = TypeSize(type, cdf5_);
    if (size == 0) throw Damaged(owner + " has the unknown type " + std::to_string(type));
    return type;
  }

  void Dimensions() {
    const uint64_t count = ListHead(kDimensionTag, 2 * count_width_, "dimension");
    lengths_.reserve(static_cast<size_t>(count));
    for (uint64_t d = 0; d < count; ++d) {
      const std::string name = Name();
      lengths_.push_back(Count());
      if (lengths_.back() != 0) continue;
      if (record_dimension_ >= 0) throw Damaged("a second unlimited dimension, " + name);
      record_dimension_ = static_cast<int64_t>(d);
    }
  }

  void Attributes() {
    const uint64_t count = ListHead(kAttributeTag, 2 * count_width_ + 4, "attribute");
    for (uint64_t k = 0; k < count; ++k) {
      const std::string name = Name();
      const uint64_t size = TypeSize(Type("attribute " + name), cdf5_);
      const uint64_t values = Count();
      if (values > bytes_.Left() / size) {
        throw Damaged("attribute " + name + " declares " + std::to_string(values) + " values, more than its " +
                      std::to_string(bytes_.Size()) + " bytes can hold");
      }
      bytes_.Skip(Pad4(values * size));
    }
  }

  void Variables() {
    const uint64_t smallest = 4 * count_width_ + 8 + offset_width_;
    const uint64_t count = ListHead(kVariableTag, smallest, "variable");
    header_.variables.reserve(static_cast<size_t>(count));
    for (uint64_t v = 0; v < count; ++v) {
      NetcdfVariableLayout variable;
      variable.name = Name();
      const uint64_t rank = Count();
      if (rank > kMaxRank) {
        throw Damaged("variable " + variable.name + " has " + std::to_string(rank) + " dimensions" + At());
      }
      for (uint64_t k = 0; k < rank; ++k) {
        const uint64_t id = Count();
        if (id >= lengths_.size()) {
          throw Damaged("variable " + variable.name + " names dimension " + std::to_string(id) + " of " +
                        std::to_string(lengths_.size()));
        }
        const bool unlimited = static_cast<int64_t>(id) == record_dimension_;
        if (unlimited && k != 0) throw Damaged("variable " + variable.name + " has the unlimited dimension inside");
        variable.record = variable.record || unlimited;
        variable.shape.push_back(lengths_[static_cast<size_t>(id)]);
      }
      Attributes();
      variable.type = static_cast<int>(Type("variable " + variable.name));
      variable.type_size = TypeSize(static_cast<uint64_t>(variable.type), cdf5_);
      Count();  // vsize: the library counts the size itself, and so do we
      variable.begin = bytes_.BigEndian(offset_width_);
      variable.bytes = variable.type_size;
      for (size_t k = variable.record ? 1 : 0; k < variable.shape.size(); ++k) {
        variable.bytes = SaturatingProduct(variable.bytes, variable.shape[k]);
      }
      if (variable.bytes == kNoValue) throw Damaged("variable " + variable.name + " is larger than can be counted");
      header_.variables.push_back(std::move(variable));
    }
  }

  // Where the data of every variable ends, the farthest of which the file
  // must reach.
  void Layout(uint64_t records) {
    const uint64_t header_end = bytes_.Position();
    uint64_t stride = 0;
    uint64_t record_begin = kNoValue;
    int record_variables = 0;
    for (const NetcdfVariableLayout& variable : header_.variables) {
      if (variable.begin < header_end) throw Damaged("variable " + variable.name + " begins inside the header");
      if (!variable.record) continue;
      stride = Sum(stride, Pad4(variable.bytes));
      record_begin = std::min(record_begin, variable.begin);
      ++record_variables;
    }
    if (record_variables == 1) {
      for (const NetcdfVariableLayout& variable : header_.variables) stride = variable.record ? variable.bytes : stride;
    }
    const uint64_t streaming = count_width_ == 8 ? kNoValue : 0xFFFFFFFFu;
    if (records == streaming) {
      records = stride > 0 && record_begin < bytes_.Size() ? (bytes_.Size() - record_begin) / stride : 0;
    }
    header_.records = records;
    header_.record_stride = stride;
    header_.described_bytes = header_end;
    for (NetcdfVariableLayout& variable : header_.variables) {
      uint64_t end = Sum(variable.begin, variable.bytes);
      if (variable.record) {
        variable.shape[0] = records;
        end = records == 0 ? variable.begin
                           : Sum(Sum(variable.begin, SaturatingProduct(records - 1, stride)), variable.bytes);
      }
      header_.described_bytes = std::max(header_.described_bytes, end);
    }
  }

  Bytes& bytes_;
  NetcdfHeader& header_;
  bool cdf5_;
  size_t count_width_;
  size_t offset_width_;
  std::vector<uint64_t> lengths_;
  int64_t record_dimension_ = -1;
};

// The superblock versions 0 and 1 keep the sizes at bytes 13 and 14 and
// the addresses from byte 24 (28 in version 1): base, free space, end of
// file; versions 2 and 3 keep the sizes at 9 and 10 and the addresses from
// 12: base, superblock extension, end of file.
void ReadSuperblock(Bytes& bytes, uint64_t at, NetcdfHeader& header) {
  header.kind = NetcdfHeader::Kind::kHdf5;
  bytes.Seek(at + 8);
  const unsigned version = *bytes.Take(1);
  if (version > 3) return;
  const bool old = version < 2;
  bytes.Seek(at + (old ? 13 : 9));
  const size_t offsets = *bytes.Take(1);
  if (offsets != 2 && offsets != 4 && offsets != 8) return;
  bytes.Seek(at + (version == 0 ? 24 : version == 1 ? 28 : 12));
  const uint64_t base = bytes.LittleEndian(offsets);
  bytes.LittleEndian(offsets);
  const uint64_t end = bytes.LittleEndian(offsets);
  const uint64_t undefined = offsets == 8 ? kNoValue : (uint64_t{1} << (8 * offsets)) - 1;
  if (end != undefined) header.described_bytes = Sum(base, end);
}

bool Hdf5SignatureAt(Bytes& bytes, uint64_t at) {
  static constexpr std::array<unsigned char, 8> kSignature = {0x89, 'H', 'D', 'F', '\r', '\n', 0x1a, '\n'};
  if (at >= bytes.Size() || bytes.Size() - at < kSignature.size()) return false;
  bytes.Seek(at);
  return std::memcmp(bytes.Take(kSignature.size()), kSignature.data(), kSignature.size()) == 0;
}

void Walk(Bytes& bytes, NetcdfHeader& header) {
  if (bytes.Size() < 4) return;
  const unsigned char* magic = bytes.Take(4);
  if (magic[0] == 'C' && magic[1] == 'D' && magic[2] == 'F' && (magic[3] == 1 || magic[3] == 2 || magic[3] == 5)) {
    const unsigned version = magic[3];
    header.kind = version == 1   ? NetcdfHeader::Kind::kClassic
                  : version == 2 ? NetcdfHeader::Kind::kOffset64
                                 : NetcdfHeader::Kind::kData64;
    ClassicWalker(bytes, version, header).Walk();
    return;
  }
  for (uint64_t at = 0; at < bytes.Size(); at = at == 0 ? 512 : 2 * at) {
    if (Hdf5SignatureAt(bytes, at)) {
      ReadSuperblock(bytes, at, header);
      return;
    }
  }
}

}  // namespace

const NetcdfVariableLayout* NetcdfHeader::Find(const std::string& name) const {
  for (const NetcdfVariableLayout& variable : variables) {
    if (variable.name == name) return &variable;
  }
  return nullptr;
}

bool NetcdfHeader::CutInside(const std::string& name, uint64_t item_bytes, uint64_t& record, uint64_t& item) const {
  const NetcdfVariableLayout* variable = Find(name);
  if (!variable || item_bytes == 0) return false;
  const auto whole_from = [&](uint64_t start) { return Sum(start, variable->bytes) <= file_bytes; };
  record = 0;
  if (variable->record && whole_from(variable->begin) && record_stride > 0) {
    record = (file_bytes - variable->begin - variable->bytes) / record_stride + 1;
  }
  if (variable->record ? record >= records : whole_from(variable->begin)) return false;
  const uint64_t start = Sum(variable->begin, SaturatingProduct(record, record_stride));
  item = start < file_bytes ? (file_bytes - start) / item_bytes : 0;
  return true;
}

NetcdfHeader ReadNetcdfHeader(const std::string& path) {
  NetcdfHeader header;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return header;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    header.regular_file = false;
    ::close(fd);
    return header;
  }
  header.file_bytes = static_cast<uint64_t>(info.st_size);
  Bytes bytes(fd, header.file_bytes);
  try {
    Walk(bytes, header);
  } catch (const Damage& damage) {
    header.damage = damage.text;
  }
  ::close(fd);
  return header;
}

}  // namespace tarvex
