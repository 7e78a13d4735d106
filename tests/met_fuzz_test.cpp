// Hourly files cut short anywhere give counts or one error line. (Endless streams:
// cli_posix_endless_input_test.cpp.) Any other bytes are the fuzz targets' (tests/fuzz/fuzz_hourly.cpp,
// whose corpora every test run replays).
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>

#include "fuzz/hourly_count_identities.h"
#include "met/hourly_reader.h"
#include "scratch_files.h"

namespace vmk {
namespace {

const std::string kSourceDir = VMK_SOURCE_DIR;

// Reads the bytes: an error must be one line, a result must hold the identities.
void ReadAnything(const std::string& bytes, const std::string& label) {
  std::istringstream in(bytes);
  try {
    EXPECT_EQ(BrokenHourlyIdentity(ReadHourlyObservations(in, {})), "") << label;
  } catch (const HourlyFileError& e) {
    const std::string what = e.what();
    EXPECT_FALSE(what.empty()) << label;
    EXPECT_EQ(what.find('\n'), std::string::npos) << label << ": " << what;
  }
}

// The real files of both forms cut short after every byte (the plain one within its first
// lines): in the middle of a header row, of a multi-byte character, of a field, of a line end.
TEST(MetFuzz, EveryCutOfARealFile) {
  struct File {
    const char* Name;
    std::size_t CutsUpTo;
  };
  for (const File f : {File{"/tests/met/agency-sample.csv", std::string::npos},
                       File{"/examples/met/hourly-sample.csv", 600}}) {
    const std::string whole = scratch::ReadBytes(kSourceDir + f.Name);
    ASSERT_FALSE(whole.empty()) << f.Name;
    for (std::size_t size = 0; size < std::min(whole.size(), f.CutsUpTo); ++size) {
      ReadAnything(whole.substr(0, size), std::string(f.Name) + " cut to " + std::to_string(size));
      if (::testing::Test::HasFailure()) return;
    }
  }
}

}  // namespace
}  // namespace vmk
