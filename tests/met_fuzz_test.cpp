// Hourly files cut short anywhere give counts or one error line, and endless streams stop at
// the limits as their bytes arrive. Any other bytes are the fuzz targets' (tests/fuzz/fuzz_hourly.cpp,
// whose corpora every test run replays).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <sstream>
#include <streambuf>
#include <string>

#include "fuzz/hourly_count_identities.h"
#include "common/cp932.h"
#include "met/hourly_reader.h"
#include "met/hourly_text.h"
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

// A stream that never ends: `head`, then `repeated` over and over, made as it is read; it
// counts the bytes it has given.
class EndlessBuf : public std::streambuf {
 public:
  EndlessBuf(std::string head, const std::string& repeated) : head_(std::move(head)) {
    while (block_.size() < (1u << 16)) block_ += repeated;
  }
  std::uint64_t Given() const { return given_; }

 protected:
  int_type underflow() override {
    std::string& next = headGiven_ || head_.empty() ? block_ : head_;
    headGiven_ = true;
    setg(next.data(), next.data(), next.data() + next.size());
    given_ += next.size();
    return traits_type::to_int_type(*gptr());
  }

 private:
  std::string head_;
  std::string block_;
  bool headGiven_ = false;
  std::uint64_t given_ = 0;
};

// Endless streams stop with one error as soon as a line passes 64 KiB or the file 256 MiB,
// having read at most a block beyond: in the first line, before the header (blank lines), in
// the agency's header rows, and among the data (one endless line, endless rejected lines).
TEST(MetFuzz, EndlessStreamsStopAtTheLimit) {
  const std::string plain = "time,wd,ws,stability\n2025-04-01 01:00,N,2,F\n";
  const std::string agency = Utf8ToCp932("ダウンロードした時刻：2025/05/10 10:20:30\r\n");
  const std::string tooLong = " is longer than " + std::to_string(kMaxHourlyLineBytes) + " bytes";
  const std::string tooLarge = "larger than " + std::to_string(kMaxHourlyFileBytes) + " bytes";
  const std::string expected = ": expected a plain CSV";
  const struct {
    std::string Head;
    std::string Repeated;
    std::string Says;
    std::uint64_t Limit;
  } cases[] = {
      {"", std::string(1, '\0'), "line 1" + tooLong + expected, kMaxHourlyLineBytes},
      {"", std::string(1000, ' ') + "\n", tooLarge + expected, kMaxHourlyFileBytes},
      {agency, std::string(1, '\0'), "line 2" + tooLong + expected, kMaxHourlyLineBytes},
      {plain, std::string(1, '\0'), "line 3" + tooLong, kMaxHourlyLineBytes},
      {plain, "2025-04-01 02:00,N,", "line 3" + tooLong, kMaxHourlyLineBytes},
      {plain, "not a time" + std::string(1000, '-') + "\r\n", tooLarge, kMaxHourlyFileBytes},
  };
  for (const auto& c : cases) {
    EndlessBuf buf(c.Head, c.Repeated);
    std::istream in(&buf);
    try {
      ReadHourlyObservations(in, {});
      ADD_FAILURE() << c.Says << ": the end of an endless stream was reached";
    } catch (const HourlyFileError& e) {
      EXPECT_EQ(std::string(e.what()).rfind(c.Says, 0), 0u) << e.what();
      EXPECT_EQ(std::string(e.what()).find('\n'), std::string::npos);
    }
    EXPECT_LE(buf.Given(), c.Head.size() + c.Limit + 2 * (1u << 16)) << c.Says;
  }
}

}  // namespace
}  // namespace vmk
