#include "cli/support/cli_support.h"

#include <exception>

#include "platform/output_files.h"
#include "platform/streams.h"

namespace vmk::cli {

void Write(std::string_view text, std::FILE* to) { std::fwrite(text.data(), 1, text.size(), to); }

int ArgumentError(std::string_view program, const std::string& problem) {
  std::fprintf(stderr, "%.*s: %s\n", static_cast<int>(program.size()), program.data(),
               problem.c_str());
  return kExitUnusable;
}

int UsageError(std::string_view program, const std::string& problem, std::string_view usage) {
  std::fprintf(stderr, "%.*s: %s\n%.*s", static_cast<int>(program.size()), program.data(),
               problem.c_str(), static_cast<int>(usage.size()), usage.data());
  return kExitUnusable;
}

int RunProgram(std::string_view program, int argc, char** argv, int (*run)(int, char**)) {
  // A write beyond the file-size limit fails like any other; an interruption removes the
  // temporary files of the outputs being written.
  platform::InstallInterruptCleanup();
  const platform::StandardStreams streams;  // plain bytes; UTF-8 on a Windows console
  platform::Utf8Arguments args(argc, argv);
  try {
    return run(args.Count(), args.Argv());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%.*s: cannot go on: %s\n", static_cast<int>(program.size()), program.data(),
                 e.what());
    return kExitOutputFailed;
  }
}

}  // namespace vmk::cli
