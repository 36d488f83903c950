// The program's version, printed by -v and stamped into the files that
// record the program that wrote them (NetCDF trajectories).
#pragma once

#include <string_view>

namespace tarvex {

constexpr std::string_view kProgramVersion = "1.12";
constexpr std::string_view kProgramRevision = "C";

}  // namespace tarvex
