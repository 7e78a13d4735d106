#include "cli/support/command_line.h"

#include <CLI/CLI.hpp>

#include <map>

#include "app/command/calculation.h"
#include "cli/support/cli_support.h"

namespace vmk::cli {
namespace {

bool IsValueOption(const CLI::Option* o) { return o != nullptr && o->get_items_expected_max() > 0; }

// "<option> needs <what>": an option with a value (its description says what) without one.
std::string Needs(const CLI::App& app, const std::string& option) {
  const CLI::Option* o = app.get_option_no_throw(option);
  if (!IsValueOption(o)) return "unknown option " + option;
  return option + " needs " + o->get_description();
}

// CLI11 reads "--name=" as "--name" with its value in the next argument, "-ofile" as "-o file"
// and "--flag=VALUE" as the flag set to VALUE. Here an empty value is a missing one, a short
// option stands alone and a flag takes no value: those arguments are refused before CLI11
// reads them. Only the arguments before "--" that are no option's value are looked at.
std::optional<std::string> BeforeCli11(const CLI::App& app, int argc, char** argv) {
  for (int i = 1; i < argc && std::string_view(argv[i]) != "--"; ++i) {
    const std::string a = argv[i];
    if (IsValueOption(app.get_option_no_throw(a))) {
      ++i;  // its value, whatever it is
      continue;
    }
    if (a.size() > 2 && a[0] == '-' && a[1] != '-') return "unknown option " + a;
    const auto eq = a.find('=');
    if (!a.starts_with("--") || eq == std::string::npos) continue;
    const std::string name = a.substr(0, eq);
    const CLI::Option* o = app.get_option_no_throw(name);
    if (o == nullptr) continue;  // unknown: CLI11 leaves it over
    if (!IsValueOption(o)) return "unknown option " + a;
    if (eq + 1 == a.size()) return Needs(app, name);
  }
  return std::nullopt;
}

}  // namespace

void CommandLine::Flag(std::string names, bool& given) {
  rules_.push_back(OptionRule{std::move(names), &given, nullptr, {}});
}

void CommandLine::Value(std::string names, std::optional<std::string>& value, std::string needs) {
  rules_.push_back(OptionRule{std::move(names), nullptr, &value, std::move(needs)});
}

int CommandLine::Refuse(const std::string& problem) const {
  return UsageError(help_.Program, problem, help_.Usage);
}

std::optional<std::string> CommandLine::Problem(int argc, char** argv,
                                                std::vector<std::string>& files, bool& help,
                                                bool& version) const {
  CLI::App app;
  app.set_help_flag();  // ours, below
  app.allow_extras();   // files and unknown options are left over, in order
  app.allow_windows_style_options(false);  // "/path" is a file on every system
  app.add_flag("-h,--help", help);
  app.add_flag("--version", version);
  std::vector<std::pair<const CLI::Option*, std::optional<std::string>*>> values;
  for (const OptionRule& s : rules_) {
    if (s.Given) {
      app.add_flag(s.Names, *s.Given);
    } else {
      const CLI::Option* o = app.add_option(s.Names, s.Needs)
                                 ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
      values.emplace_back(o, s.Text);
    }
  }

  if (auto problem = BeforeCli11(app, argc, argv)) return problem;
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError&) {
    // The one error left: an option with a value is the last argument.
    return Needs(app, argv[argc - 1]);
  }

  // Left over: the files, unknown options and the first "--".
  bool optionsEnded = false;
  for (const std::string& a : app.remaining()) {
    if (!optionsEnded && a == "--") {
      optionsEnded = true;
    } else if (!optionsEnded && a.size() > 1 && a[0] == '-') {
      return "unknown option " + a;
    } else {
      files.push_back(a);
    }
  }
  std::map<const CLI::Option*, int> seen;
  for (const CLI::Option* o : app.parse_order()) {
    if (IsValueOption(o) && ++seen[o] == 2) return o->get_name() + " given more than once";
  }
  for (const auto& [o, text] : values) {
    if (o->count() == 0) continue;
    if (o->results().front().empty()) return Needs(app, o->get_name());
    *text = o->results().front();
  }
  return std::nullopt;
}

std::optional<int> CommandLine::Read(int argc, char** argv, std::vector<std::string>& files) const {
  bool help = false;
  bool version = false;
  if (const auto problem = Problem(argc, argv, files, help, version)) return Refuse(*problem);
  if (help) {
    Write(help_.Usage);
    Write(help_.Options);
    Write(kOptionRules);
    Write(help_.Rest);
    return kExitNormal;
  }
  if (version) {
    Write(std::string(VersionStamp) + "\n");
    return kExitNormal;
  }
  return std::nullopt;
}

}  // namespace vmk::cli
