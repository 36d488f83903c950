// The line reader on gzip-compressed files: the same lines, tokens and
// offsets as the plain file, and one error for a damaged or cut-short one.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "../formats/pdb_test_files.h"
#include "../support/scratch_dir.h"
#include "common/line_reader.h"

#if TARVEX_HAVE_ZLIB
#include <zlib.h>
#endif

namespace tarvex {
namespace {

using testing::ScratchDir;

std::string Whole(LineReader& reader) {
  std::string text;
  std::string_view line;
  while (reader.ReadLine(line)) {
    text.append(line);
    text.push_back('\n');
  }
  return text;
}

#if TARVEX_HAVE_ZLIB

std::string Gzip(const std::string& text) {
  uLongf size = compressBound(static_cast<uLong>(text.size())) + 64;
  std::string packed(size, '\0');
  z_stream stream{};
  deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY);
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
  stream.avail_in = static_cast<uInt>(text.size());
  stream.next_out = reinterpret_cast<Bytef*>(packed.data());
  stream.avail_out = static_cast<uInt>(packed.size());
  EXPECT_EQ(deflate(&stream, Z_FINISH), Z_STREAM_END);
  packed.resize(stream.total_out);
  deflateEnd(&stream);
  return packed;
}

std::string SomeText() {
  std::string text = "title line\r\n";
  for (int k = 0; k < 300000; ++k) text += "  " + std::to_string(k % 977) + ".125" + (k % 10 == 9 ? "\n" : "");
  return text;
}

TEST(GzipReader, ReadsAsThePlainFile) {
  ScratchDir dir;
  const std::string text = SomeText();
  LineReader plain;
  LineReader packed;
  ASSERT_TRUE(plain.Open(dir.Write("a.crd", text)));
  ASSERT_TRUE(packed.Open(dir.Write("a.crd.gz", Gzip(text))));
  EXPECT_GE(packed.FileSize(), text.size()) << "a bound on what the file can give";
  EXPECT_EQ(Whole(packed), Whole(plain));
  // Offsets are those of the text: a remembered place far back is found again.
  packed.Rewind();
  std::string_view line;
  packed.ReadLine(line);
  const uint64_t second = packed.Tell();
  std::string_view token;
  for (int k = 0; k < 200000; ++k) packed.ReadToken(token);
  packed.Seek(second);
  ASSERT_TRUE(packed.ReadToken(token));
  EXPECT_EQ(token, "0.125");
  // Two members one after the other are one text; a plain file named .gz
  // is read as it is.
  LineReader twice;
  ASSERT_TRUE(twice.Open(dir.Write("b.gz", Gzip("one\n") + Gzip("two\n"))));
  EXPECT_EQ(Whole(twice), "one\ntwo\n");
  LineReader unpacked;
  ASSERT_TRUE(unpacked.Open(dir.Write("c.gz", "plain\n")));
  EXPECT_EQ(Whole(unpacked), "plain\n");
}

TEST(GzipReader, DamagedOrCutShortFilesEndWithAnError) {
  ScratchDir dir;
  const std::string packed = Gzip(SomeText());
  const std::string cut = dir.Write("cut.crd.gz", packed.substr(0, packed.size() / 2));
  std::string flipped = packed;
  flipped[packed.size() / 3] = static_cast<char>(flipped[packed.size() / 3] ^ 0x55);
  const std::string damaged = dir.Write("damaged.crd.gz", flipped);
  for (const std::string& path : {cut, damaged}) {
    const std::string error = testing_files::ErrorOf([&] {
      LineReader reader;
      ASSERT_TRUE(reader.Open(path));
      Whole(reader);
    });
    EXPECT_EQ(error.rfind("Error: " + path + " is a damaged or cut-short gzip file (", 0), 0u) << error;
  }
}

TEST(GzipReader, CorpusFilesReadAsTheirPlainCopies) {
  if (!testing_files::CorpusPresent()) GTEST_SKIP() << "corpus not found";
  const std::string corpus = TARVEX_CORPUS;
  LineReader plain;
  LineReader packed;
  ASSERT_TRUE(plain.Open(corpus + "/crd/tz2.crd"));
  ASSERT_TRUE(packed.Open(corpus + "/gz/tz2.crd.gz"));
  EXPECT_EQ(Whole(packed), Whole(plain));
}

#else

TEST(GzipReader, RefusedWhenNotBuiltIn) {
  ScratchDir dir;
  const std::string path = dir.Write("a.crd.gz", "x\n");
  EXPECT_EQ(testing_files::ErrorOf([&] {
              LineReader reader;
              reader.Open(path);
            }),
            "Error: " + path + " is gzip-compressed, and gzip support was not built in (see README: zlib).\n");
}

#endif

}  // namespace
}  // namespace tarvex
