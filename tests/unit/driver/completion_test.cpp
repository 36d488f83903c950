#include "driver/completion.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/text.h"
#include "formats/file_types.h"

namespace tarvex {
namespace {

// The value of a line name="value" of the script.
std::string Assignment(const std::string& script, const std::string& name) {
  const std::string head = "\n" + name + "=\"";
  const size_t start = script.find(head);
  if (start == std::string::npos) return {};
  const size_t first = start + head.size();
  return script.substr(first, script.find('"', first) - first);
}

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return lower;
}

// Every keyword offered after "-it file" is one the program accepts, in
// either case, and every format is offered.
TEST(Completion, TypeKeywordsAreTheAcceptedOnes) {
  const std::string types = Assignment(BashCompletionScript(), "_tarvex_types");
  ASSERT_FALSE(types.empty());
  std::vector<FileType> offered;
  for (std::string_view keyword : SplitWhite(types)) {
    const FileType type = LookupFileType(keyword);
    EXPECT_NE(type, FileType::kUnknown) << keyword;
    EXPECT_EQ(LookupFileType(Lower(keyword)), type) << keyword;
    offered.push_back(type);
  }
  for (const FileFormat& format : FileFormats()) {
    EXPECT_NE(std::find(offered.begin(), offered.end(), format.type), offered.end()) << format.name;
  }
}

}  // namespace
}  // namespace tarvex
