// The options of a command line, read by CLI11 with the rules every program shares:
//  - an option's value follows it as the next argument ("--out DIR", "-o FILE", taken even
//    when it begins with "-") or after an equals sign ("--out=DIR"); an empty value is none;
//  - an option with a value is given once; an option without one may be repeated;
//  - "--" ends the options: before it, an argument that begins with "-" (other than "-",
//    standard input) is an option, and a short option stands alone ("-ofile" is none);
//  - files and options come in any order;
//  - "-h", "--help" and "--version" are every program's;
//  - a refusal is one line "<program>: <problem>", then the usage lines, exit status 2.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vmk::cli {

// What every program's help says about its command line, after its list of options.
inline constexpr std::string_view kOptionRules =
    "An option's value follows it or an equals sign (--name VALUE, --name=VALUE);\n"
    "an option with a value is given once. After -- every argument is a file,\n"
    "even one that begins with -.\n";

// The texts a program's --help prints: the usage lines (printed after every refusal too), its
// options, kOptionRules, and the rest.
struct ProgramHelp {
  std::string_view Program;  // "vmk-calc"
  std::string_view Usage;
  std::string_view Options;
  std::string_view Rest;
};

class CommandLine {
 public:
  explicit CommandLine(const ProgramHelp& help) : help_(help) {}

  // An option without a value: `given` becomes true when it is there.
  void Flag(std::string names, bool& given);

  // An option with a value ("--report-dir", "-o,--output"); `needs` names the value in the
  // refusal "<option> needs <needs>" when it is missing or empty.
  void Value(std::string names, std::optional<std::string>& value, std::string needs);

  // Reads the arguments after the program's name; every argument that is neither an option
  // nor an option's value goes to `files`, in order. Returns the exit status when the command
  // line is all the program does: a refusal, or --help or --version (each printed); nothing
  // when the program goes on.
  std::optional<int> Read(int argc, char** argv, std::vector<std::string>& files) const;

  // "<program>: <problem>" and the usage lines on standard error; returns kExitUnusable.
  int Refuse(const std::string& problem) const;

 private:
  struct OptionRule {
    std::string Names;
    bool* Given = nullptr;                      // a flag
    std::optional<std::string>* Text = nullptr;  // an option with a value
    std::string Needs;
  };
  std::optional<std::string> Problem(int argc, char** argv, std::vector<std::string>& files,
                                     bool& help, bool& version) const;

  ProgramHelp help_;
  std::vector<OptionRule> rules_;
};

}  // namespace vmk::cli
