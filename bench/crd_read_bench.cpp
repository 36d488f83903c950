// Reading Amber trajectories without the analyzers around it.
//
//   tarvex_bench_crd read FILE ATOMS [box]     every atom of every frame, as
//                                              convert -a reads them; prints
//                                              frames, seconds and MB/s
//   tarvex_bench_crd compare FILE ATOMS [box]  the fast reader against the
//                                              stream reader, frame by frame,
//                                              every number bit for bit
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "common/line_reader.h"
#include "formats/amber_coord_file.h"
#include "formats/amber_numbers.h"

namespace {

using tarvex::Frame;

int Read(const std::string& path, int atoms, bool box) {
  const auto start = std::chrono::steady_clock::now();
  tarvex::CAmberCoordFile crd(path);
  crd.SetNumberOfAtoms(atoms);
  if (box) crd.SetFileFlag(tarvex::kFileBox);
  long long frames = 0;
  double sum = 0.0;
  for (;;) {
    crd.Read(1);
    if (crd.GetCartesian().empty()) break;
    sum += crd.GetCartesian().back()[2];
    ++frames;
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  tarvex::LineReader sizer;
  sizer.Open(path);
  const double mb = static_cast<double>(sizer.FileSize()) / 1e6;
  std::printf("%lld frames in %.3f s: %.0f MB/s (check %.3f)\n", frames, seconds, mb / seconds, sum);
  return 0;
}

// Both readers frame by frame: a scanner per frame, the frame, the box.
int Compare(const std::string& path, int atoms, bool box) {
  tarvex::LineReader stream_input;
  tarvex::LineReader fast_input;
  std::string_view title;
  if (!stream_input.Open(path) || !fast_input.Open(path)) return 2;
  stream_input.ReadLine(title);
  fast_input.ReadLine(title);
  const size_t points = static_cast<size_t>(atoms);
  const std::vector<tarvex::NumberRange> all;
  Frame stream_frame;
  Frame fast_frame;
  for (long long frame = 0;; ++frame) {
    tarvex::NumberScanner stream(stream_input);
    tarvex::CoordinateScanner fast(fast_input);
    double stream_box[3] = {0, 0, 0};
    double fast_box[3] = {0, 0, 0};
    size_t stream_read = tarvex::ReadFrame(stream, stream_frame, points);
    size_t fast_read = fast.ReadFrame(fast_frame, points, all);
    if (box && stream_read == 3 * points) stream_read += stream.Read(stream_box, 3);
    if (box && fast_read == 3 * points) fast_read += fast.Read(fast_box, 3);
    const bool whole = stream_read == 3 * points + (box ? 3 : 0);
    const bool same_frame =
        !whole || std::memcmp(stream_frame.data(), fast_frame.data(), points * sizeof(tarvex::Point)) == 0;
    const bool same = stream_read == fast_read && stream.Stop() == fast.Stop() && stream.BadWord() == fast.BadWord() &&
                      same_frame && std::memcmp(stream_box, fast_box, sizeof stream_box) == 0;
    if (!same) {
      std::printf("frame %lld differs: %zu and %zu numbers read\n", frame + 1, stream_read, fast_read);
      return 1;
    }
    if (!whole) {
      std::printf("identical: %lld whole frames, then %zu numbers, stop %d \"%s\"\n", frame, stream_read,
                  static_cast<int>(stream.Stop()), stream.BadWord().c_str());
      return 0;
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: %s read|compare FILE ATOMS [box]\n", argv[0]);
    return 2;
  }
  const std::string mode = argv[1];
  const bool box = argc > 4 && std::strcmp(argv[4], "box") == 0;
  const int atoms = std::stoi(argv[3]);
  return mode == "compare" ? Compare(argv[2], atoms, box) : Read(argv[2], atoms, box);
}
