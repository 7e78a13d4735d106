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

bool IsOption(std::string_view a, std::string_view name) {
  return a == name || (a.starts_with(name) && a.size() > name.size() && a[name.size()] == '=');
}

bool OptionValue(int argc, char** argv, int& i, std::string_view name, std::string& value) {
  const std::string_view a = argv[i];
  if (a == name) {
    if (i + 1 >= argc) return false;
    value = argv[++i];
  } else {
    value = std::string(a.substr(name.size() + 1));
  }
  return true;
}

std::optional<PictureKind> PictureKindOf(const std::string& path) {
  const auto dot = path.rfind('.');
  if (dot == std::string::npos) return std::nullopt;
  std::string ext = path.substr(dot + 1);
  for (char& c : ext) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  if (ext == "svg") return PictureKind::Svg;
  if (ext == "png") return PictureKind::Png;
  return std::nullopt;
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
