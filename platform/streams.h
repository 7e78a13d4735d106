// The process's edges: standard streams and the command line's arguments.
#pragma once

#include <string>
#include <vector>

namespace vmk::platform {

// Standard input, output and error as plain bytes for the life of the object: no line-end
// translation on Windows (so that output is the same bytes everywhere and a byte 0x1A does not
// end the input), and a Windows console shows UTF-8 output (its code page is set back at the
// end). Nothing to do on POSIX systems.
class StandardStreams {
 public:
  StandardStreams();
  ~StandardStreams();
  StandardStreams(const StandardStreams&) = delete;
  StandardStreams& operator=(const StandardStreams&) = delete;

 private:
  [[maybe_unused]] unsigned consoleCodePage_ = 0;  // the console output code page to restore, or 0
};

// The program's arguments as UTF-8 strings, in the argc/argv form. On Windows they are read
// from the wide-character command line, so that any file name arrives intact; elsewhere they
// are main's own.
class Utf8Arguments {
 public:
  Utf8Arguments(int argc, char** argv);
  Utf8Arguments(const Utf8Arguments&) = delete;
  Utf8Arguments& operator=(const Utf8Arguments&) = delete;

  int Count() const { return static_cast<int>(args_.size()); }
  char** Argv() { return argv_.data(); }

 private:
  std::vector<std::string> args_;
  std::vector<char*> argv_;  // pointers into args_, ending in a null pointer
};

}  // namespace vmk::platform
