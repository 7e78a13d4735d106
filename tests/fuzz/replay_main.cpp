// A fuzz target built without libFuzzer: replays saved inputs through its entry point, so that
// its contract checks run with every test run (and under the sanitizers, and on Windows).
//   fuzz_<name>_replay CORPUS [MORE...]
// Every file of each folder, in name order, is one input. The corpus must hold at least one;
// the folders after it are read when present (the findings of a fuzzing run). A broken
// contract stops the program (Broken) after the line naming its input.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> FilesOf(const fs::path& folder) {
  std::vector<fs::path> files;
  std::error_code ec;
  for (const fs::directory_entry& e : fs::directory_iterator(folder, ec)) {
    if (e.is_regular_file()) files.push_back(e.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

// Runs one input from a buffer of exactly its size, as the fuzzer gives it.
bool Replay(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "cannot read %s\n", file.string().c_str());
    return false;
  }
  const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                        std::istreambuf_iterator<char>());
  std::printf("input %s (%zu bytes)\n", file.string().c_str(), bytes.size());
  std::fflush(stdout);
  LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s CORPUS [MORE...]\n", argv[0]);
    return 2;
  }
  std::size_t inputs = 0;
  for (int a = 1; a < argc; ++a) {
    const std::vector<fs::path> files = FilesOf(argv[a]);
    if (a == 1 && files.empty()) {
      std::fprintf(stderr, "no input in the corpus %s\n", argv[a]);
      return 1;
    }
    for (const fs::path& file : files) {
      if (!Replay(file)) return 1;
      ++inputs;
    }
  }
  std::printf("%zu inputs replayed, every contract held\n", inputs);
  return 0;
}
