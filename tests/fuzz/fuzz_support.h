// Shared by the fuzz targets, built for libFuzzer or as corpus replays (replay_main.cpp).
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

// A broken contract: says which on standard error and stops, so that the fuzzer keeps the
// input as a finding.
[[noreturn]] inline void Broken(const std::string& what) {
  std::fprintf(stderr, "%s\n", what.c_str());
  std::abort();
}

// A refusal says why in one line.
inline void CheckOneLine(const std::string& what) {
  if (what.empty() || what.find('\n') != std::string::npos) Broken("not one line: " + what);
}
