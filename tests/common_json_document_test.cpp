// Reading JSON documents: every problem is one line saying what and where.
#include <gtest/gtest.h>

#include <string>

#include "common/json_document.h"

namespace vmk {
namespace {

TEST(ParseJsonDocument, RefusesWithOneLine) {
  struct Case {
    std::string text;
    std::string says;
  };
  const Case cases[] = {
      {"{\"a\": 1, \"a\": 2}", "key \"a\" appears twice in one object"},
      {"{\"a\": {\"b\": 1, \"b\": 1}}", "key \"b\" appears twice"},
      {"{\"a\": 1,}", "not valid JSON at line 1, column 9 (byte 9)"},
      {std::string(65, '[') + std::string(65, ']'), "nested deeper than 64 levels at byte 65"},
      {"8e4888", "a number beyond the range"},  // found by the fuzzer: raised apart from syntax
      {"[-1e99999]", "a number beyond the range"},
      {"\"\xff\"", "(a test file is UTF-8 text)"},
  };
  for (const Case& c : cases) {
    try {
      (void)ParseJsonDocument(c.text, "a test file");
      ADD_FAILURE() << "accepted: " << c.text;
    } catch (const JsonFileError& e) {
      const std::string what = e.what();
      EXPECT_NE(what.find(c.says), std::string::npos) << what;
      EXPECT_EQ(what.find('\n'), std::string::npos) << what;
    }
  }
  EXPECT_EQ(ParseJsonDocument("{\"a\": [1, {\"a\": 2}]}", "a test file")["a"][1]["a"], 2);
}

}  // namespace
}  // namespace vmk
