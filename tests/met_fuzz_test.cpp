// Hourly files cut short anywhere give counts or one error line, and a line of a gigabyte is
// read without holding it. Any other bytes are the fuzz targets' (tests/fuzz/fuzz_hourly.cpp,
// whose corpora every test run replays).
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <streambuf>
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

// A stream of `size` bytes of 'x' between a head and a tail, made as it is read.
class LongLineBuf : public std::streambuf {
 public:
  LongLineBuf(std::string head, std::size_t size, std::string tail)
      : head_(std::move(head)), left_(size), tail_(std::move(tail)), block_(1 << 16, 'x') {}

 protected:
  int_type underflow() override {
    if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
    if (stage_ == 0) {
      stage_ = 1;
      if (!head_.empty()) {
        setg(head_.data(), head_.data(), head_.data() + head_.size());
        return traits_type::to_int_type(*gptr());
      }
    }
    if (stage_ == 1) {
      if (left_ > 0) {
        const std::size_t n = std::min(left_, block_.size());
        left_ -= n;
        setg(block_.data(), block_.data(), block_.data() + n);
        return traits_type::to_int_type(*gptr());
      }
      stage_ = 2;
      if (!tail_.empty()) {
        setg(tail_.data(), tail_.data(), tail_.data() + tail_.size());
        return traits_type::to_int_type(*gptr());
      }
    }
    stage_ = 3;
    return traits_type::eof();
  }

 private:
  std::string head_;
  std::size_t left_;
  std::string tail_;
  std::string block_;
  int stage_ = 0;
};

// A line of a gigabyte is skipped as too long and the lines after it are read; as the first
// line it is an error. Neither holds the line in memory (the reader keeps at most 64 KiB).
TEST(MetFuzz, GigabyteLine) {
  constexpr std::size_t kGigabyte = std::size_t{1} << 30;
  {
    LongLineBuf buf("time,wd,ws,stability\n2025-04-01 01:00,N,2,F\n", kGigabyte,
                    "\n2025-04-01 02:00,N,2,F\n");
    std::istream in(&buf);
    const HourlyReadResult r = ReadHourlyObservations(in, {});
    EXPECT_EQ(r.DataLines, 3);
    EXPECT_EQ(r.LinesRejected, 1);
    EXPECT_EQ(r.RejectedByCause.front().first, "line too long");
    EXPECT_EQ(r.FirstRejected.front().Line, 3);
    EXPECT_EQ(r.Stats.ValidHours, 2);
  }
  {
    LongLineBuf buf("", kGigabyte / 4, "\ntime,wd,ws,stability\n");
    std::istream in(&buf);
    EXPECT_THROW(ReadHourlyObservations(in, {}), HourlyFileError);
  }
}

}  // namespace
}  // namespace vmk
