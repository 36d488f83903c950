#include "common/line_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "common/exit.h"
#include "common/printable.h"

#if TARVEX_HAVE_ZLIB
#include <zlib.h>
#endif

namespace tarvex {
namespace {

constexpr size_t kBlockSize = size_t{1} << 20;
// Deflate packs at most 1032 bytes into one: a bound on what a compressed
// file of a given size can give.
constexpr uint64_t kMostDeflateRatio = 1032;

[[noreturn]] void LineTooLong(const std::string& path) {
  Fatal("Error: " + path + " holds a line longer than " + std::to_string(LineReader::kMaxLineLength >> 20) +
        " MB; it is not a text file of this kind.");
}

}  // namespace

bool IsCompressedName(std::string_view path) {
  return path.size() > 3 && path[path.size() - 3] == '.' && (path[path.size() - 2] | 0x20) == 'g' &&
         (path[path.size() - 1] | 0x20) == 'z';
}

LineReader::~LineReader() { Close(); }

bool LineReader::Open(const std::string& path) {
  Close();
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
    ::close(fd);
    return false;
  }
  fd_ = fd;
  path_ = path;
  file_size_ = S_ISREG(info.st_mode) ? static_cast<uint64_t>(info.st_size) : 0;
  seekable_ = S_ISREG(info.st_mode) || S_ISBLK(info.st_mode);
  keep_all_ = false;
  if (IsCompressedName(path)) {
    OpenCompressed();
    file_size_ *= kMostDeflateRatio;
  }
  // A small file gets a buffer of its own size (the block is zero-filled
  // when allocated, which would cost more than reading a small file); the
  // buffer grows when a read fills it.
  size_t want = kBlockSize;
  if (file_size_ > 0 && file_size_ + 1 < want) want = std::max<size_t>(static_cast<size_t>(file_size_) + 1, 4096);
  if (buffer_.size() < want) buffer_.resize(want);
  pos_ = end_ = 0;
  buffer_offset_ = 0;
  line_number_ = 0;
  eof_ = false;
  return true;
}

#if TARVEX_HAVE_ZLIB
bool LineReader::ReadsCompressed() { return true; }

void LineReader::OpenCompressed() {
  gz_ = gzdopen(fd_, "rb");
  if (!gz_) Fatal("Error: " + path_ + " cannot be read through zlib.");
  gzbuffer(gz_, static_cast<unsigned>(kBlockSize / 4));
}

#else
bool LineReader::ReadsCompressed() { return false; }

void LineReader::OpenCompressed() {
  Fatal("Error: " + path_ + " is gzip-compressed, and gzip support was not built in (see README: zlib).");
}

#endif

size_t LineReader::ReadBlock(char* into, size_t size) {
#if TARVEX_HAVE_ZLIB
  if (gz_) {
    const int n = gzread(gz_, into, static_cast<unsigned>(std::min(size, kBlockSize)));
    int code = Z_OK;
    std::string_view message = gzerror(gz_, &code);
    if (n < 0 || (code != Z_OK && code != Z_STREAM_END)) {
      // zlib names the stream "<fd:N>: "; the file's own name is given.
      if (const size_t colon = message.find(": "); colon != std::string_view::npos) message.remove_prefix(colon + 2);
      Fatal("Error: " + path_ + " is a damaged or cut-short gzip file (" + std::string(message) + ").");
    }
    return static_cast<size_t>(n);
  }
#endif
  for (;;) {
    const ssize_t n = ::read(fd_, into, size);
    if (n < 0 && errno == EINTR) continue;
    return n > 0 ? static_cast<size_t>(n) : 0;
  }
}

void LineReader::Close() {
#if TARVEX_HAVE_ZLIB
  if (gz_) {
    gzclose(gz_);  // closes fd_ too
    gz_ = nullptr;
    fd_ = -1;
  }
#endif
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  pos_ = end_ = 0;
  buffer_offset_ = 0;
  eof_ = true;
}

bool LineReader::Fill() {
  if (fd_ < 0 || eof_) return false;
  if (pos_ > 0 && !keep_all_) {
    std::memmove(buffer_.data(), buffer_.data() + pos_, end_ - pos_);
    end_ -= pos_;
    buffer_offset_ += pos_;
    pos_ = 0;
  }
  if (end_ == buffer_.size()) {
    if (buffer_.size() - pos_ >= kMaxLineLength + kBlockSize) LineTooLong(path_);
    buffer_.resize(buffer_.size() * 2);
  }
  const size_t n = ReadBlock(buffer_.data() + end_, buffer_.size() - end_);
  if (n == 0) {
    eof_ = true;
    return false;
  }
  end_ += n;
  return true;
}

bool LineReader::ReadLine(std::string_view& line) {
  size_t scanned = pos_;
  for (;;) {
    const char* start = buffer_.data() + scanned;
    const void* hit = end_ > scanned ? std::memchr(start, '\n', end_ - scanned) : nullptr;
    if (hit) {
      size_t nl = static_cast<size_t>(static_cast<const char*>(hit) - buffer_.data());
      size_t stop = nl;
      if (stop > pos_ && buffer_[stop - 1] == '\r') --stop;
      line = std::string_view(buffer_.data() + pos_, stop - pos_);
      pos_ = nl + 1;
      ++line_number_;
      return true;
    }
    size_t keep = end_ - pos_;
    if (keep > kMaxLineLength) LineTooLong(path_);
    if (!Fill()) {
      if (end_ == pos_) return false;
      size_t stop = end_;
      if (stop > pos_ && buffer_[stop - 1] == '\r') --stop;
      line = std::string_view(buffer_.data() + pos_, stop - pos_);
      pos_ = end_;
      ++line_number_;
      return true;
    }
    scanned = pos_ + keep;
  }
}

bool LineReader::ReadToken(std::string_view& token) {
  for (;;) {
    while (pos_ < end_) {
      char c = buffer_[pos_];
      if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f') {
        if (c == '\n') ++line_number_;
        ++pos_;
      } else {
        break;
      }
    }
    if (pos_ < end_) break;
    if (!Fill()) return false;
  }
  size_t scanned = pos_;
  for (;;) {
    size_t i = scanned;
    while (i < end_) {
      char c = buffer_[i];
      if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f') break;
      ++i;
    }
    if (i < end_ || eof_) {
      token = std::string_view(buffer_.data() + pos_, i - pos_);
      pos_ = i;
      return true;
    }
    size_t keep = end_ - pos_;
    if (keep > kMaxLineLength) LineTooLong(path_);
    if (!Fill()) {
      token = std::string_view(buffer_.data() + pos_, end_ - pos_);
      pos_ = end_;
      return true;
    }
    scanned = pos_ + keep;
  }
}

bool LineReader::AtEnd() {
  if (pos_ < end_) return false;
  return !Fill();
}

void LineReader::Seek(uint64_t offset) {
  if (fd_ < 0) return;
  if (offset >= buffer_offset_ && offset <= buffer_offset_ + end_) {
    pos_ = static_cast<size_t>(offset - buffer_offset_);
  } else {
    if (!seekable_)
      Fatal("Error: " + path_ + " cannot be read again from an earlier point; give it as a file, not a pipe.");
#if TARVEX_HAVE_ZLIB
    if (gz_ && gzseek(gz_, static_cast<z_off_t>(offset), SEEK_SET) < 0) {
      Fatal("Error: " + path_ + " is a damaged or cut-short gzip file.");
    }
#endif
    if (!gz_) ::lseek(fd_, static_cast<off_t>(offset), SEEK_SET);
    buffer_offset_ = offset;
    pos_ = end_ = 0;
    eof_ = false;
  }
  if (offset == 0) line_number_ = 0;
  if (pos_ == end_) eof_ = false;
}

bool LineReader::LooksLikeText(std::string& reason) {
  constexpr size_t kProbe = size_t{1} << 16;
  if (buffer_offset_ > 0) return true;  // judged at the start only
  if (end_ == 0) Fill();
  const std::string_view head(buffer_.data(), std::min(end_, kProbe));
  size_t odd = 0;
  for (size_t k = 0; k < head.size();) {
    const unsigned char c = static_cast<unsigned char>(head[k]);
    if (c == 0) {
      reason = "it holds a NUL byte (byte " + std::to_string(k + 1) + ")";
      return false;
    }
    size_t length = 1;
    if (c >= 0x80) {
      length = std::max<size_t>(Utf8Length(head, k), 1);
      odd += length == 1;
    } else if (c == 0x7f || (c < 0x20 && c != '\t' && c != '\n' && c != '\v' && c != '\f' && c != '\r')) {
      ++odd;
    }
    k += length;
  }
  if (4 * odd <= head.size()) return true;
  reason = std::to_string(odd) + " of its first " + std::to_string(head.size()) + " bytes are not text";
  return false;
}

bool LineReader::OwnerAndMode(unsigned& uid, unsigned& mode) const {
  struct stat info {};
  if (fd_ < 0 || ::fstat(fd_, &info) != 0) return false;
  uid = info.st_uid;
  mode = info.st_mode & 07777;
  return true;
}

void LineReader::RequireText() {
  std::string reason;
  if (!LooksLikeText(reason)) Fatal("Error: " + path_ + " is not a text file: " + reason + ".");
}

std::string_view LineReader::Available(size_t want) {
  while (end_ - pos_ < want) {
    if (!Fill()) break;
  }
  return std::string_view(buffer_.data() + pos_, end_ - pos_);
}

}  // namespace tarvex
