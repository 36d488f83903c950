#include "driver/completion.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <string>
#include <vector>

#include "common/text.h"
#include "formats/file_types.h"

namespace tarvex {
namespace {

std::string Assignment(const std::string& script, const std::string& name) {
  std::smatch match;
  const std::regex line("\n" + name + "=\"([^\"]*)\"\n");
  return std::regex_search(script, match, line) ? match[1].str() : std::string();
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
