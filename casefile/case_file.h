// Case files of the command line: JSON texts that name the window's controls and the values
// to put into them before each press of the calculate button.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "form/form_record.h"
#include "common/cp932.h"
#include "common/json_document.h"

namespace vmk {

// Limits that keep a hostile or mistaken case file from exhausting the machine. A real case
// file is a few kilobytes and three levels deep.
inline constexpr std::size_t kMaxCaseFileBytes = kMaxJsonFileBytes;
inline constexpr int kMaxNestingDepth = kMaxJsonNestingDepth;

// The editable cells of `MetStringGrid` that a case file may set. Rows 1 to 9 and columns 1 to
// 12 are inputs; row 10 and column 13 hold the totals, which the user can type into in the
// window as well, although every calculation overwrites them. Row 0 and column 0 are fixed.
inline constexpr int kCaseGridLastRow = 10;
inline constexpr int kCaseGridLastCol = 13;

// What one calculation of a case file changes on the form.
struct CaseStep {
  struct Cell {
    int Row;
    int Col;
    Cp932 Text;
  };
  std::vector<std::pair<std::string, Cp932>> Texts;  // edit field, its new text
  std::vector<std::pair<std::string, bool>> Checks;  // check box, its new state
  std::vector<Cell> Cells;                           // grid cells, their new texts
};

struct CaseFile {
  bool IsArray = false;  // the file held an array (the output is an array too)
  std::vector<CaseStep> Steps;
};

// A case file that cannot be used; what() is one line of UTF-8 saying what and where.
class CaseFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The bytes of the case file at `path`, or of standard input for "-". Raises CaseFileError
// when the file cannot be read or exceeds kMaxCaseFileBytes.
std::string ReadCaseBytes(const std::string& path);

// Parses and checks the whole case file. Raises CaseFileError at the first problem.
CaseFile ParseCaseFile(std::string_view bytes);

// Puts one step's values into the form as a user would: texts typed, check boxes clicked when
// their state changes (so that the dependent fields are enabled or greyed out), cells typed.
void ApplyCaseStep(const CaseStep& step, FormRecord& form);

// A case file (one object, UTF-8 JSON) holding every control a user can edit as `form` has it:
// every edit field, every check box and the grid's input cells (rows 1 to 9, columns 1 to 12;
// never the totals), in the order of the layout table.
std::string CaseFileText(const FormRecord& form);

// The case file of the start-up form: every input at its start-up value.
std::string CaseTemplate();

}  // namespace vmk
