// The help text of vmk-calc names the receptor distances the program checks: the texts are
// written out in the help, so this holds them to the limits themselves.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "casefile/input_help.h"
#include "cli_process.h"
#include "input/model_parameters.h"

namespace vmk {
namespace {

using clitest::RunVmkCalc;

TEST(CliHelp, NamesTheReceptorDistancesTheProgramChecks) {
  const clitest::RunResult r = RunVmkCalc({"--help"});
  ASSERT_EQ(r.ExitCode, 0);
  std::string help = r.Out;
  std::replace(help.begin(), help.end(), '\n', ' ');
  const std::string from = LimitText(RLowerLimit, InputKind::Real);
  const std::string to = LimitText(RUpperLimit, InputKind::Real);
  for (const std::string& said : {"XrpEdit \" 0\": a number from " + from + " to " + to + " is accepted",
                                  "FROM and TO must lie from " + from + " to " + to + " m"}) {
    EXPECT_NE(help.find(said), std::string::npos) << said;
  }
}

}  // namespace
}  // namespace vmk
