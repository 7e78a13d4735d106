// What the command-line programs share: writing to the standard streams, one-line errors with
// the program's name, "--name VALUE" and "--name=VALUE" options, and the picture format a file
// name asks for.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

namespace vmk::cli {

// The exit status of an unusable command line or input file, the same in every program.
inline constexpr int kExitUnusable = 2;
// The exit status of an output that could not be written, the same in every program.
inline constexpr int kExitOutputFailed = 3;

// A program's main: runs `run` on the arguments as UTF-8 with the standard streams as plain
// bytes, a write beyond the file-size limit failing as any write does, and the temporary files
// of the outputs removed when the program is interrupted. Every input is checked before it is used, so an exception that reaches here is
// unexpected (out of memory is the one way): "<program>: cannot go on: <what>" on standard
// error and kExitOutputFailed.
int RunProgram(std::string_view program, int argc, char** argv, int (*run)(int, char**));

void Write(std::string_view text, std::FILE* to = stdout);

// "<program>: <problem>" on standard error; returns kExitUnusable.
int ArgumentError(std::string_view program, const std::string& problem);

// The same line followed by the usage lines.
int UsageError(std::string_view program, const std::string& problem, std::string_view usage);

// True when `a` is the option `name` alone or "name=VALUE".
bool IsOption(std::string_view a, std::string_view name);

// The value of an option given as "--name VALUE" (then `i` moves past it) or "--name=VALUE";
// false when it is missing.
bool OptionValue(int argc, char** argv, int& i, std::string_view name, std::string& value);

enum class PictureKind { Svg, Png };

// The picture format a file's name asks for by its extension (in any case), or nothing.
std::optional<PictureKind> PictureKindOf(const std::string& path);

}  // namespace vmk::cli
