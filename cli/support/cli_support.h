// What the command-line programs share: their exit statuses, writing to the standard streams
// and one-line errors with the program's name. Their options are read by
// cli/support/command_line.h; picture files by plot/picture_file.h.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

namespace vmk::cli {

// The exit status of a run that did all it was asked, the same in every program. (Status 1
// means what each program's help says.)
inline constexpr int kExitNormal = 0;
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


}  // namespace vmk::cli
