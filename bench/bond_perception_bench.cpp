// Times bond perception on a box of water whose residues are named SOL, so
// that every atom tests against every later atom (no residue-range shortcut).
// Usage: tarvex_bench_bonds <atoms> [repeats]. Prints the median in seconds.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "molecule/data_file.h"

namespace {

class Record final : public tarvex::CDataFile {
 public:
  void OpenInput(std::string) override {}
  void OpenOutput(std::string, bool) override {}
  void Read(int) override {}
  void Write() override {}
};

// Waters on a jittered cubic lattice at liquid density (one molecule per
// 29.9 cubic angstrom), each in random orientation.
void FillWaterBox(Record& record, int atoms) {
  const int waters = atoms / 3;
  const int side = static_cast<int>(std::ceil(std::cbrt(waters)));
  const double spacing = std::cbrt(29.9);
  std::mt19937 random(7);
  std::uniform_real_distribution<double> unit(-1.0, 1.0);
  tarvex::Frame points;
  std::vector<std::string> types, residues;
  std::vector<int> numbers, residue_numbers, heads;
  for (int w = 0; w < waters; ++w) {
    int x = w % side, y = (w / side) % side, z = w / (side * side);
    tarvex::Point o = {x * spacing + 0.2 * unit(random), y * spacing + 0.2 * unit(random),
                       z * spacing + 0.2 * unit(random)};
    // Two O-H bonds of 0.9572 A at 104.52 degrees in a random plane.
    tarvex::Point a = {unit(random), unit(random), unit(random)};
    double na = std::sqrt(a[0] * a[0] + a[1] * a[1] + a[2] * a[2]) + 1e-9;
    for (double& c : a) c /= na;
    tarvex::Point t = {a[1], -a[0], 0.0};
    double nt = std::sqrt(t[0] * t[0] + t[1] * t[1]) + 1e-9;
    for (double& c : t) c /= nt;
    const double half = 104.52 / 2 * M_PI / 180;
    heads.push_back(static_cast<int>(points.size()));
    points.push_back(o);
    for (int sign : {1, -1}) {
      tarvex::Point h;
      for (int k = 0; k < 3; ++k) h[k] = o[k] + 0.9572 * (std::cos(half) * a[k] + sign * std::sin(half) * t[k]);
      points.push_back(h);
    }
    for (const char* type : {"O", "H", "H"}) {
      types.emplace_back(type);
      residues.emplace_back("SOL");
      residue_numbers.push_back(w);
      numbers.push_back(static_cast<int>(numbers.size()) + 1);
    }
  }
  heads.push_back(static_cast<int>(points.size()));
  record.SetNumberOfAtoms(static_cast<int>(points.size()));
  record.SetNumberOfResidues(waters);
  record.SetCartesian(points);
  record.SetAtomType(types);
  record.SetAtomIndex(numbers);
  record.SetResidueName(residues);
  record.SetResidueNumber(residue_numbers);
  record.SetHeadAtomOfResidue(heads);
  record.SetFileFlag(tarvex::kFileNoMerge);
}

}  // namespace

int main(int argc, char** argv) {
  const int atoms = argc > 1 ? std::atoi(argv[1]) : 1000000;
  const int repeats = argc > 2 ? std::atoi(argv[2]) : 5;
  std::vector<double> seconds;
  size_t bonds = 0;
  for (int r = 0; r < repeats; ++r) {
    Record record;
    FillWaterBox(record, atoms);
    auto start = std::chrono::steady_clock::now();
    record.CreateConnection();
    auto stop = std::chrono::steady_clock::now();
    seconds.push_back(std::chrono::duration<double>(stop - start).count());
    bonds = 0;
    for (auto [atom, list] : record.GetConnection()) bonds += list.size();
    bonds /= 2;
  }
  std::sort(seconds.begin(), seconds.end());
  std::printf("atoms %d  bonds %zu  median %.3f s  (min %.3f, max %.3f, %d runs)\n", atoms, bonds,
              seconds[seconds.size() / 2], seconds.front(), seconds.back(), repeats);
  return 0;
}
