// Text from a file made safe to print in a message.
//
// A title, a name or a line quoted in an error comes from a file that may
// hold anything: terminal escape codes that retitle or clear the terminal,
// carriage returns that overwrite the message, megabytes on one line. Every
// message that quotes a file shows it through Printable; Fatal and Warn pass
// their whole line through EscapeControls as well, so no control character
// reaches the terminal whatever a message holds.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tarvex {

// The most characters of a file's text that a message quotes.
inline constexpr size_t kQuotedCharacters = 200;

// The text with every control character written as an escape: \t, \r, \n,
// and \xNN for the others (the C0 codes, DEL, the C1 codes in UTF-8, and
// bytes that are not UTF-8). Other characters, UTF-8 letters included, stay.
std::string EscapeControls(std::string_view text);
// The length of the well-formed UTF-8 sequence that starts at text[at], or
// 0 when none does (an overlong form, a surrogate, a lone continuation
// byte, a sequence cut off).
size_t Utf8Length(std::string_view text, size_t at);
// EscapeControls of at most `limit` characters (an escape counts as one),
// with "..." after them when the text was longer.
std::string Printable(std::string_view text, size_t limit = kQuotedCharacters);

}  // namespace tarvex
