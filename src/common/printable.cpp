#include "common/printable.h"

#include <algorithm>

namespace tarvex {

size_t Utf8Length(std::string_view text, size_t at) {
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(at);
  size_t length = 0;
  unsigned char low = 0x80, high = 0xbf;  // the allowed range of the second byte
  if (lead >= 0xc2 && lead <= 0xdf) {
    length = 2;
  } else if (lead >= 0xe0 && lead <= 0xef) {
    length = 3;
    if (lead == 0xe0) low = 0xa0;
    if (lead == 0xed) high = 0x9f;
  } else if (lead >= 0xf0 && lead <= 0xf4) {
    length = 4;
    if (lead == 0xf0) low = 0x90;
    if (lead == 0xf4) high = 0x8f;
  } else {
    return 0;
  }
  if (text.size() - at < length || byte(at + 1) < low || byte(at + 1) > high) return 0;
  for (size_t k = 2; k < length; ++k) {
    if ((byte(at + k) & 0xc0) != 0x80) return 0;
  }
  return length;
}

namespace {

void AppendHex(std::string& out, unsigned char c) {
  static constexpr char kDigits[] = "0123456789abcdef";
  out += "\\x";
  out += kDigits[c >> 4];
  out += kDigits[c & 0xf];
}

// Appends the character at text[at] and returns the bytes it took.
size_t AppendCharacter(std::string& out, std::string_view text, size_t at) {
  const unsigned char c = static_cast<unsigned char>(text[at]);
  if (c >= 0x20 && c < 0x7f) {
    out += static_cast<char>(c);
    return 1;
  }
  if (c == '\t' || c == '\r' || c == '\n') {
    out += c == '\t' ? "\\t" : c == '\r' ? "\\r" : "\\n";
    return 1;
  }
  const size_t length = c >= 0x80 ? Utf8Length(text, at) : 0;
  // U+0080 to U+009F, the C1 codes (a CSI among them), are C2 80 to C2 9F.
  const bool c1 = length == 2 && c == 0xc2 && static_cast<unsigned char>(text[at + 1]) < 0xa0;
  if (length == 0 || c1) {
    AppendHex(out, c);
    return 1;
  }
  out.append(text.substr(at, length));
  return length;
}

}  // namespace

std::string EscapeControls(std::string_view text) { return Printable(text, text.size()); }

std::string Printable(std::string_view text, size_t limit) {
  std::string out;
  out.reserve(std::min(text.size(), limit) + 8);
  size_t at = 0;
  for (size_t shown = 0; at < text.size() && shown < limit; ++shown) at += AppendCharacter(out, text, at);
  if (at < text.size()) out += "...";
  return out;
}

}  // namespace tarvex
