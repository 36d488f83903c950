#include "molecule/coordinate_limit.h"

#include <charconv>
#include <string>

#include "common/exit.h"

namespace tarvex {

std::string CoordinateRefusal(const Point& p, std::string_view where) {
  double value = p[0];
  for (double c : p) {
    if (!HoldableCoordinate(c)) {
      value = c;
      break;
    }
  }
  char digits[32];
  const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  return "Error: " + std::string(where) + ": the coordinate " + std::string(digits, end) +
         (std::isfinite(value) ? " is beyond what any molecule file can hold." : " is not a finite number.");
}

void RefuseCoordinate(const Point& p, std::string_view where) { Fatal(CoordinateRefusal(p, where)); }

}  // namespace tarvex
