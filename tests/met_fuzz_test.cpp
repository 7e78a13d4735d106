// Any bytes given as an hourly file give counts or one error line, never a crash or a hang:
// random bytes, damaged and truncated files of both forms, invalid code page 932, and a line
// of a gigabyte read without holding it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <numeric>
#include <random>
#include <sstream>
#include <streambuf>
#include <string>

#include "met/hourly_reader.h"
#include "scratch_files.h"

namespace vmk {
namespace {

const std::string kSourceDir = VMK_SOURCE_DIR;

int Sum(const ClassCounts& c) { return std::accumulate(c.begin(), c.end(), 0); }

// Reads the bytes; an error must be one line, a result must hold the identities.
void ReadAnything(const std::string& bytes, const HourlyReadOptions& options = {}) {
  std::istringstream in(bytes);
  try {
    const HourlyReadResult r = ReadHourlyObservations(in, options);
    const MetStats& m = r.Stats;
    int missing = 0;
    for (const auto& [cause, hours] : m.MissingHours) missing += hours;
    ASSERT_EQ(m.ValidHours + missing, m.HoursRead);
    ASSERT_LE(m.HoursRead, kMaxPeriodHours);
    ClassCounts weak{};
    int windy = 0;
    for (const MetDirection& d : m.Directions) {
      for (int s = 0; s < kStabilityClasses; ++s) weak[s] += d.Weak[s];
      for (const ClassCounts& k : d.Windy) windy += Sum(k);
    }
    ASSERT_EQ(weak, m.WeakAll);
    ASSERT_EQ(Sum(m.CalmAll) + Sum(m.WeakAll) + windy, m.ValidHours);
    ASSERT_LE(r.FirstRejected.size(), kRejectedLinesKept);
    // The texts go to JSON and a terminal: every message is one line.
    for (const RejectedLine& line : r.FirstRejected) {
      ASSERT_EQ(line.Reason.find('\n'), std::string::npos);
      ASSERT_EQ(line.Reason.find('\r'), std::string::npos);
    }
    if (m.ValidHours > 0) ParseMetStats(MetStatsJson(m));  // a file the window accepts
  } catch (const HourlyFileError& e) {
    const std::string what = e.what();
    ASSERT_FALSE(what.empty());
    ASSERT_EQ(what.find('\n'), std::string::npos) << what;
  }
}

TEST(MetFuzz, RandomBytes) {
  std::mt19937 rng(11);
  for (int round = 0; round < 300; ++round) {
    const std::size_t n = rng() % 3000;
    std::string bytes(n, '\0');
    for (char& c : bytes) c = static_cast<char>(rng());
    // Some rounds start like a real file, so that the data lines get read.
    if (round % 3 == 1) bytes = "time,wd,ws,stability,solar,net\n" + bytes;
    if (round % 3 == 2) bytes = "time,wd,ws,solar,net\n2025-04-01 01:00,N,2,0,-0.03\n" + bytes;
    ReadAnything(bytes);
  }
}

// Lines made of the pieces a line is made of, in random order and number.
TEST(MetFuzz, RandomFields) {
  const char* pieces[] = {"2025-04-01 01:00", "2025/4/1 24:00", "2024/2/29 1:00", "N", "静穏",
                          "\x90\xC3\x89\xB8" /* 静穏 in code page 932 */, "\x96", "\x81",
                          "0.45", "-0.05", "1e9", "99999999999999999999", "360", "16", "0",
                          "D", "Dd", "\"", "\"a,b\"", "", " ", "\t", ",", "\r", "\xEF\xBB\xBF",
                          "8", "5", "abc", "-", "."};
  std::mt19937 rng(7);
  for (int round = 0; round < 300; ++round) {
    std::string text = round % 2 ? "time,wd,ws,stability\n" : "日時,風向,風速,日射量,放射収支量\n";
    const int lines = static_cast<int>(rng() % 40);
    for (int l = 0; l < lines; ++l) {
      const int fields = static_cast<int>(rng() % 8);
      for (int f = 0; f < fields; ++f) {
        if (f > 0) text += ',';
        text += pieces[rng() % std::size(pieces)];
      }
      text += '\n';
    }
    HourlyReadOptions o;
    o.Degrees = round % 3 == 0;
    if (round % 4 == 0) o.Site = SunSite{35, 139, 9};
    ReadAnything(text, o);
  }
}

// The real files, damaged: bytes changed, cut short at any point, random bytes put in.
TEST(MetFuzz, DamagedFilesOfBothForms) {
  std::mt19937 rng(3);
  for (const char* name : {"/examples/met/hourly-sample.csv", "/tests/met/agency-sample.csv"}) {
    const std::string good = scratch::ReadBytes(kSourceDir + name);
    ASSERT_FALSE(good.empty()) << name;
    for (int round = 0; round < 150; ++round) {
      std::string bytes = good;
      switch (round % 3) {
        case 0:
          bytes.resize(rng() % good.size());
          break;
        case 1:
          for (int k = 0; k < 20; ++k) bytes[rng() % bytes.size()] = static_cast<char>(rng());
          break;
        default:
          for (int k = 0; k < 5; ++k) {
            std::string junk(rng() % 40, '\0');
            for (char& c : junk) c = static_cast<char>(0x80 + rng() % 0x80);  // lead and trail bytes
            bytes.insert(rng() % bytes.size(), junk);
          }
          break;
      }
      ReadAnything(bytes);
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
