#include "casefile/case_file.h"

#include <nlohmann/json.hpp>
#include <set>

#include "input/frequency_grid.h"
#include "form/form_layout.h"
#include "common/json_document.h"
#include "common/json_writer.h"

namespace vmk {
namespace {


// "r,c" with decimal row and column numbers.
bool ParseCellKey(std::string_view key, int& row, int& col) {
  const auto number = [](std::string_view s, int& v) {
    if (s.empty() || s.size() > 9) return false;
    v = 0;
    for (char ch : s) {
      if (ch < '0' || ch > '9') return false;
      v = v * 10 + (ch - '0');
    }
    return true;
  };
  const auto comma = key.find(',');
  if (comma == std::string_view::npos) return false;
  return number(key.substr(0, comma), row) && number(key.substr(comma + 1), col);
}

std::string KindName(ControlKind kind) {
  switch (kind) {
    case ControlKind::TabControl:
      return "the tab control";
    case ControlKind::TabPage:
      return "a tab page";
    case ControlKind::Label:
      return "a label";
    case ControlKind::Button:
      return "a button";
    default:
      return "a control";
  }
}

// Reads the case file from the parser's events, checking each value where it stands. Working on
// the events (rather than on a document tree) keeps the file's order for the values and the
// first problem, and takes time in proportion to the file, however many keys it holds.
// A problem raises CaseFileError out of the parser.
class CaseReader {
 public:
  using Json = nlohmann::json;

  CaseFile Take() { return std::move(file_); }

  bool null() { return Value(Got::Null); }
  bool boolean(bool v) { return Value(Got::Bool, nullptr, v); }
  bool number_integer(Json::number_integer_t) { return Value(Got::Number); }
  bool number_unsigned(Json::number_unsigned_t) { return Value(Got::Number); }
  bool number_float(Json::number_float_t, const Json::string_t&) { return Value(Got::Number); }
  bool string(Json::string_t& v) { return Value(Got::String, &v); }
  bool binary(Json::binary_t&) { return Value(Got::Number); }  // not produced by JSON text
  bool start_object(std::size_t) { return Value(Got::Object); }
  bool start_array(std::size_t) { return Value(Got::Array); }

  bool key(Json::string_t& k) {
    if (!keys_.back().insert(k).second) {
      throw CaseFileError(Where() + "key " + QuoteForMessage(k) + " appears twice in one object");
    }
    key_ = k;
    if (open_.back() == Open::Grid) return true;  // checked with its value
    if (k == kGridControlName) {
      keyKind_ = ControlKind::Grid;
      return true;
    }
    const ControlDef* def = FindControl(k);
    if (def == nullptr) {
      throw CaseFileError(Where() + "unknown key " + QuoteForMessage(k) +
                          ": not a control of the window (vmk-calc --template lists them)");
    }
    if (def->Kind != ControlKind::Edit && def->Kind != ControlKind::CheckBox) {
      throw CaseFileError(Where() + "key " + QuoteForMessage(k) + " names " + KindName(def->Kind) +
                          ", which is not an input (only edit fields, check boxes and "
                          "MetStringGrid can be set)");
    }
    keyKind_ = def->Kind;
    return true;
  }

  bool end_object() {
    open_.pop_back();
    keys_.pop_back();
    return true;
  }

  bool end_array() {
    open_.pop_back();
    return true;
  }

  bool parse_error(std::size_t position, const std::string&, const nlohmann::detail::exception& e) {
    throw CaseFileError(DescribeJsonParseError(e.what(), position, "a case file"));
  }

 private:
  enum class Got { Null, Bool, Number, String, Object, Array };
  enum class Open { Calculations, Step, Grid };  // what the innermost open bracket is

  static std::string Name(Got got) {
    switch (got) {
      case Got::Null:
        return "null";
      case Got::Bool:
        return "true or false";
      case Got::Number:
        return "a number";
      case Got::String:
        return "a string";
      case Got::Object:
        return "an object";
      case Got::Array:
        return "an array";
    }
    return "a value";
  }

  std::string Where() const {
    return file_.IsArray ? "calculation " + std::to_string(file_.Steps.size()) + ": " : "";
  }

  void OpenStep() {
    file_.Steps.emplace_back();
    open_.push_back(Open::Step);
    keys_.emplace_back();
  }

  bool Value(Got got, Json::string_t* text = nullptr, bool flag = false) {
    if (open_.empty()) {  // the whole file
      if (got == Got::Object) {
        OpenStep();
      } else if (got == Got::Array) {
        file_.IsArray = true;
        open_.push_back(Open::Calculations);
      } else {
        throw CaseFileError("must hold one object or an array of objects, not " + Name(got));
      }
      return true;
    }
    switch (open_.back()) {
      case Open::Calculations:
        if (got != Got::Object) {
          throw CaseFileError("calculation " + std::to_string(file_.Steps.size() + 1) +
                              ": must be an object, not " + Name(got));
        }
        OpenStep();
        return true;
      case Open::Step:
        return StepValue(got, text, flag);
      case Open::Grid:
        return CellValue(got, text);
    }
    return true;
  }

  bool StepValue(Got got, Json::string_t* text, bool flag) {
    CaseStep& step = file_.Steps.back();
    switch (keyKind_) {
      case ControlKind::Edit:
        if (got != Got::String) {
          throw CaseFileError(Where() + QuoteForMessage(key_) +
                              " must be a string (the field's text), not " + Name(got));
        }
        step.Texts.emplace_back(key_, Utf8ToCp932(*text));
        return true;
      case ControlKind::CheckBox:
        if (got != Got::Bool) {
          throw CaseFileError(Where() + QuoteForMessage(key_) +
                              " must be true or false (a check box), not " + Name(got));
        }
        step.Checks.emplace_back(key_, flag);
        return true;
      default:  // the grid
        if (got != Got::Object) {
          throw CaseFileError(Where() +
                              "\"MetStringGrid\" must be an object of \"row,col\": text, not " +
                              Name(got));
        }
        open_.push_back(Open::Grid);
        keys_.emplace_back();
        return true;
    }
  }

  bool CellValue(Got got, Json::string_t* text) {
    int row = 0;
    int col = 0;
    if (!ParseCellKey(key_, row, col)) {
      throw CaseFileError(Where() + "MetStringGrid key " + QuoteForMessage(key_) +
                          " is not \"row,col\" (for example \"4,8\": row 4, column 8)");
    }
    if (row < 1 || row > kCaseGridLastRow || col < 1 || col > kCaseGridLastCol) {
      throw CaseFileError(Where() + "MetStringGrid key " + QuoteForMessage(key_) +
                          " is not an editable cell: rows 1 to 10 and columns 1 to 13 "
                          "(row 0 and column 0 are the fixed headers)");
    }
    if (got != Got::String) {
      throw CaseFileError(Where() + "MetStringGrid " + QuoteForMessage(key_) +
                          " must be a string (the cell's text), not " + Name(got));
    }
    file_.Steps.back().Cells.push_back({row, col, Utf8ToCp932(*text)});
    return true;
  }

  CaseFile file_;
  std::vector<Open> open_;
  std::vector<std::set<std::string>> keys_;  // the keys seen in each open object
  std::string key_;                          // the key whose value comes next
  ControlKind keyKind_ = ControlKind::Edit;
};

}  // namespace

std::string ReadCaseBytes(const std::string& path) {
  try {
    return ReadFileBytes(path, kMaxCaseFileBytes);
  } catch (const JsonFileError& e) {
    throw CaseFileError(e.what());
  }
}

CaseFile ParseCaseFile(std::string_view bytes) {
  try {
    CheckJsonNesting(bytes);
  } catch (const JsonFileError& e) {
    throw CaseFileError(e.what());
  }
  CaseReader reader;
  nlohmann::json::sax_parse(bytes.begin(), bytes.end(), &reader);
  return reader.Take();
}

void ApplyCaseStep(const CaseStep& step, FormRecord& form) {
  for (const auto& [name, text] : step.Texts) form.Text(name) = text;
  for (const auto& [name, checked] : step.Checks) {
    ControlState& box = form[name];
    if (box.Checked == checked) continue;  // a click would toggle it away again
    box.Checked = checked;
    if (name == "PHrHmCheckBox") PHrHmCheckBoxClick(form);
    if (name == "NOxTrnCheckBox") NOxTrnCheckBoxClick(form);
  }
  for (const CaseStep::Cell& cell : step.Cells) form.Grid[cell.Row][cell.Col] = cell.Text;
}

std::string CaseTemplate() { return CaseFileText(MakeStartupForm()); }

std::string CaseFileText(const FormRecord& form) {
  JsonWriter w;
  w.BeginObject();
  for (const ControlDef& def : FormLayout()) {
    switch (def.Kind) {
      case ControlKind::Edit:
        w.Key(def.Name);
        w.String(Cp932ToUtf8(form.Text(def.Name)));
        break;
      case ControlKind::CheckBox:
        w.Key(def.Name);
        w.Bool(form.Checked(def.Name));
        break;
      case ControlKind::Grid:
        w.Key(def.Name);
        w.BeginObject();
        for (int r = kGridInputFirstRow; r <= kGridInputLastRow; ++r) {
          for (int c = kGridInputFirstCol; c <= kGridInputLastCol; ++c) {
            w.Key(std::to_string(r) + "," + std::to_string(c));
            w.String(Cp932ToUtf8(form.Grid[r][c]));
          }
        }
        w.EndObject();
        break;
      default:
        break;
    }
  }
  w.EndObject();
  return w.Finish();
}

}  // namespace vmk
