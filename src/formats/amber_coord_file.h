// CAmberCoordFile: Amber trajectories (CRD, "mdcrd"): a title line, then
// frames of bare coordinates, ten numbers per line, each frame optionally
// followed by its periodic box.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "formats/amber_numbers.h"
#include "molecule/data_file.h"

namespace tarvex {

// ReadAll of the trajectory formats: `read_next` reads the next frame into
// `cartesian` (empty when none is left); every frame to the end of the file
// goes into `all`, and frame `frame` (0-based, negative for the last) becomes
// `cartesian`. A frame the file does not hold ends the program.
void CollectFrames(const std::function<void()>& read_next, Frame& cartesian, std::vector<Frame>& all, int& molecules,
                   int frame, const std::string& file_name);

class CAmberCoordFile final : public CDataFile {
 public:
  CAmberCoordFile();
  explicit CAmberCoordFile(std::string name);
  ~CAmberCoordFile() override;

  void OpenInput(std::string name) override;
  void OpenOutput(std::string name, bool open) override;
  void Read(int which) override;
  void Write() override;
  void ReadAll(int frame) override;

  // The box lengths of the last frame read (with BOX), or those to write.
  const std::vector<double>& Box() const { return box_; }
  void SetBox(const std::vector<double>& box) { box_ = box; }

 private:
  // Reads the next whole frame into scratch_ (and the box with BOX). On a
  // frame that ends early the reading stops for good, with a warning.
  bool ReadFrame();

  std::vector<double> box_;
  // The frame being read; swapped with cartesian_ when complete, so that
  // streaming a trajectory allocates nothing after its first frame.
  Frame scratch_;
  // The numbers of the needed atoms (all when empty), and the needed-atom
  // list they were made from. When it changes, the next two frames are laid
  // out anew, so that neither buffer keeps points of atoms no longer read.
  std::vector<NumberRange> wanted_;
  std::vector<int> wanted_atoms_;
  int fresh_layouts_ = 0;
  int64_t frames_read_ = 0;
  bool stopped_ = false;
};

}  // namespace tarvex
