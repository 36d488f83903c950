// The Amber writers' process-wide switches.
//
// A run that writes several trajectory files (one per frame through WriteAll,
// or several outputs) puts the CRD title line only at the head of the first
// of them, and likewise the topology title; each switch records that its
// title has been written. They live for the whole run, in this one place.
#pragma once

#include <string>

namespace tarvex {

struct AmberTitleSwitches {
  bool coord_title_written = false;
  bool topology_title_written = false;
};

AmberTitleSwitches& AmberTitlesWritten();

// Appends the title line unless `written` says it is already out, and sets it.
void AppendTitleOnce(std::string& out, const std::string& title, bool& written);

}  // namespace tarvex
