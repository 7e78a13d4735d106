// Shared by the fuzz targets.
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
