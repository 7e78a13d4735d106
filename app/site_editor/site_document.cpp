#include "app/site_editor/site_document.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <set>
#include <system_error>
#include <tuple>

#include <nlohmann/json.hpp>

#include "app/command/calculation.h"
#include "app/frontend/case_document.h"
#include "casefile/input_help.h"
#include "common/atomic_file.h"
#include "common/cp932.h"
#include "common/half_width.h"
#include "common/json_document.h"
#include "common/number_read.h"
#include "common/numtext.h"
#include "common/tab_separated.h"
#include "input/frequency_grid.h"
#include "input/read_parameters.h"
#include "platform/files.h"
#include "site/assessment.h"
#include "site/site_messages.h"
#include "site/site_plan.h"

namespace vmk {
namespace {

using Json = nlohmann::json;
using OrderedJson = nlohmann::ordered_json;
using platform::PathFromUtf8;
using platform::PathToUtf8;

constexpr std::string_view kEditorTitle = "サイトの編集";
constexpr std::string_view kMetInFileText = "(サイトファイル内の気象統計)";

// The header of each control: the window's label with its unit, spaces made single.
struct ControlHeader {
  std::string_view Control;
  std::string_view Label;
};
constexpr ControlHeader kHeaders[] = {
    {"QgEdit", "排ガス量 Qg (m3N/s)"},
    {"QpEdit", "汚染質排出量 Qp (m3N/s, g/s)"},
    {"TempGEdit", "排ガス温度 T (ﾟC)"},
    {"TempAmbEdit", "気温 Ta (ﾟC)"},
    {"DensEdit", "排ガス密度 ρ (g/m3)"},
    {"HoEdit", "実煙突高さ Ho (m)"},
    {"HmEdit", "風速測定高さ Hm (m)"},
    {"HrankgEdit", "気象集計高さ Hr (m)"},
    {"PHrHmCheckBox", "P(Hr->Hm)安定度依存"},
    {"Phr_HmEdit", "風速変換べき指数 P (否依存、定数)"},
    {"PHr_HmmultEdit", "風速変換べき指数 P (依存、倍数)"},
    {"Phm_h0multEdit", "P(Hm->Ho) (倍数)"},
    {"PH0_HemultEdit", "P(Ho->He) (倍数)"},
    {"dth_dz_dayEdit", "dθ/dz(昼)"},
    {"dth_dz_nitEdit", "dθ/dz(夜)"},
    {"dHformulaCalmEdit", "ΔH計算式(無風時)"},
    {"dHformulaWWEdit", "ΔH計算式(弱風時)"},
    {"dHformulaWindyEdit", "ΔH計算式(有風時)"},
    {"IntULdayEdit", "内挿範囲上限(昼間) (m/s)"},
    {"IntULnitEdit", "内挿範囲上限(夜間) (m/s)"},
    {"WDdistributeCheckBox", "弱風時の風向出現率の補正(発生源付近処理)"},
    {"SigZshiftModeEdit", "σz(PG)シフトモード"},
    {"SigZshiftEdit", "不安定側へシフト量(単位:1/2段階)"},
    {"NOxTrnCheckBox", "NOx変換を行う"},
    {"AlphaEdit", "NOx変換 α"},
    {"BetaDayEdit", "NOx変換 β(昼)"},
    {"BetaNitEdit", "NOx変換 β(夜)"},
    {"kEdit", "NOx変換 k"},
    {"O3dayEdit", "[O3]BG.(ppm) (昼)"},
    {"O3nitEdit", "[O3]BG.(ppm) (夜)"},
    {"NOxDistAdEdit", "無風時の距離の加算定数 Ra (m)"},
};
constexpr std::string_view kHeightLabel = "予測点の高さ z (m)";

std::vector<SiteColumn> ControlColumns() {
  std::vector<SiteColumn> columns;
  for (const ControlHeader& h : kHeaders) {
    const ControlDef* def = FindControl(h.Control);
    const SiteCellKind kind = def != nullptr && def->Kind == ControlKind::CheckBox ? SiteCellKind::Check
                                                                                  : SiteCellKind::Control;
    columns.push_back({std::string(h.Control), std::string(h.Label), kind});
  }
  return columns;
}

std::string Trimmed(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return std::string(text);
}

// A number typed into a cell or field: full-width digits taken, blanks around it ignored.
std::optional<double> CellNumber(std::string_view text) {
  double v = 0;
  if (ReadNumber(Trimmed(HalfWidthNumberText(text)), v) != NumberReading::Finite) return std::nullopt;
  return v;
}

// A check box's cell: "1", "0" or empty; nothing for any other text.
std::optional<std::string> CheckCell(std::string_view text) {
  std::string t = Trimmed(HalfWidthNumberText(text));
  std::transform(t.begin(), t.end(), t.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  if (t.empty()) return std::string();
  if (t == "1" || t == "TRUE" || t == "ON") return std::string("1");
  if (t == "0" || t == "FALSE" || t == "OFF") return std::string("0");
  return std::nullopt;
}

std::string AxisText(const AxisSteps& a) {
  return ShortestDoubleText(a.From) + ":" + ShortestDoubleText(a.To) + ":" + std::to_string(a.N);
}

std::string FolderOf(const std::string& path) { return PathToUtf8(PathFromUtf8(path).parent_path()); }

std::string Normal(const std::string& path) {
  std::error_code ec;
  const std::filesystem::path a = std::filesystem::absolute(PathFromUtf8(path), ec);
  return PathToUtf8((ec ? PathFromUtf8(path) : a).lexically_normal());
}

// `absolute` as the site file in `folder` names it: relative when it can be.
std::string RelativeTo(const std::string& absolute, const std::string& folder) {
  const std::filesystem::path rel = PathFromUtf8(absolute).lexically_relative(PathFromUtf8(folder));
  if (rel.empty()) return absolute;
  return PathToUtf8(rel);
}

// A control row as the case-file form: texts, check boxes, in the window's order.
OrderedJson ControlsJson(const std::vector<SiteColumn>& columns, const SiteRow& row) {
  OrderedJson controls = OrderedJson::object();
  for (std::size_t c = 0; c < columns.size() && c < row.size(); ++c) {
    const SiteColumn& col = columns[c];
    if (col.Control.empty() || row[c].empty()) continue;
    if (col.Kind == SiteCellKind::Check) {
      // A text that is no check box's stays a text, which the reader refuses.
      const std::optional<std::string> v = CheckCell(row[c]);
      controls[col.Control] = v ? OrderedJson(*v == "1") : OrderedJson(row[c]);
    } else {
      controls[col.Control] = row[c];
    }
  }
  return controls;
}

CaseStep StepOf(const std::vector<SiteColumn>& columns, const SiteRow& row) {
  CaseStep step;
  for (std::size_t c = 0; c < columns.size() && c < row.size(); ++c) {
    const SiteColumn& col = columns[c];
    if (col.Control.empty() || row[c].empty()) continue;
    if (col.Kind == SiteCellKind::Check) {
      if (const auto v = CheckCell(row[c])) step.Checks.emplace_back(col.Control, *v == "1");
    } else {
      step.Texts.emplace_back(col.Control, Utf8ToCp932(row[c]));
    }
  }
  return step;
}

void RowFromStep(const std::vector<SiteColumn>& columns, const CaseStep& step, SiteRow& row) {
  for (const auto& [control, text] : step.Texts) {
    const int c = ColumnOfControl(columns, control);
    if (c >= 0) row[static_cast<std::size_t>(c)] = Cp932ToUtf8(text);
  }
  for (const auto& [control, on] : step.Checks) {
    const int c = ColumnOfControl(columns, control);
    if (c >= 0) row[static_cast<std::size_t>(c)] = on ? "1" : "0";
  }
}

// The paths a kept block names, relative to the site file: each passed to `move`.
void ForEachBlockPath(OrderedJson& block, bool basemap, const std::function<void(OrderedJson&)>& move) {
  const auto entry = [&](OrderedJson& e) {
    if (e.is_string()) move(e);
    if (e.is_object() && e.contains("path") && e["path"].is_string()) move(e["path"]);
  };
  if (basemap) {
    if (!block.is_object()) return;
    if (block.contains("raster")) entry(block["raster"]);
    if (block.contains("vectors") && block["vectors"].is_array()) {
      for (OrderedJson& v : block["vectors"]) entry(v);
    }
    return;
  }
  if (!block.is_array()) return;
  for (OrderedJson& p : block) {
    if (!p.is_object() || !p.contains("conversion")) continue;
    OrderedJson& c = p["conversion"];
    if (c.is_object() && c.contains("fit") && c["fit"].is_string()) move(c["fit"]);
  }
}

// A kept block's text with its relative paths made relative to `to` in place of `from`.
std::string Rebased(const std::string& text, bool basemap, const std::string& from, const std::string& to) {
  // A site not yet saved names its chosen files by their absolute paths: relative once saved.
  if (text.empty() || (!from.empty() && Normal(from) == Normal(to))) return text;
  OrderedJson block;
  try {
    block = OrderedJson::parse(text);
  } catch (const std::exception&) {
    return text;  // the check says what is wrong with it
  }
  bool moved = false;
  ForEachBlockPath(block, basemap, [&](OrderedJson& v) {
    const std::filesystem::path p = PathFromUtf8(v.get<std::string>());
    if (p.empty() || p.is_absolute() != from.empty()) return;
    v = RelativeTo(Normal(from.empty() ? PathToUtf8(p) : PathToUtf8(PathFromUtf8(from) / p)), Normal(to));
    moved = true;
  });
  return moved ? block.dump(2, ' ', false) : text;
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// Where a row's cell lies in a message: 煙突 "1号ボイラ" の「実煙突高さ Ho (m)」.
std::string CellPlace(std::string_view what, const SiteRow& row, int index, const SiteColumn& column) {
  const std::string name = row.empty() || row[0].empty() ? std::to_string(index + 1) + " 行目" : Quoted(row[0]);
  return std::string(what) + " " + name + " の「" + column.Label + "」";
}

EditorProblem CellProblem(SitePlace place, int row, int col, std::string text) {
  return EditorProblem{std::move(text), place, row, col};
}

// Names: given, short, without control characters, each once.
std::optional<EditorProblem> CheckNames(const std::vector<SiteRow>& rows, std::string_view what, SitePlace place) {
  std::set<std::string> seen;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const int r = static_cast<int>(i);
    const std::string& name = rows[i][kSiteNameColumn];
    const std::string head = std::string(what) + " (" + std::to_string(i + 1) + " 行目) の「名前」";
    if (name.empty()) return CellProblem(place, r, kSiteNameColumn, head + "を入力してください");
    if (name.size() > kMaxSiteNameBytes) {
      return CellProblem(place, r, kSiteNameColumn,
                         head + "が長すぎます: UTF-8 で " + std::to_string(kMaxSiteNameBytes) + " バイトまで");
    }
    for (unsigned char c : name) {
      if (c < 0x20 || c == 0x7f) return CellProblem(place, r, kSiteNameColumn, head + "に制御文字があります");
    }
    if (!seen.insert(name).second) {
      return CellProblem(place, r, kSiteNameColumn,
                         std::string(what) + " " + Quoted(name) + " と同じ名前がもう一つあります: 名前は一つずつ別にしてください");
    }
  }
  return std::nullopt;
}

std::optional<EditorProblem> CheckCoordinate(const std::string& text, const std::string& head, SitePlace place, int row,
                                           int col) {
  const std::optional<double> v = CellNumber(text);
  const std::string range = "入力できる範囲: -1E9 ～ 1E9 (m) の数値";
  if (!v) {
    return CellProblem(place, row, col,
                       head + (text.empty() ? std::string("を入力してください") : " " + Quoted(text) + " は数値ではありません") +
                           "\n" + range);
  }
  if (std::fabs(*v) > kMaxSiteCoordinate) return CellProblem(place, row, col, head + " " + Quoted(text) + "\n" + range);
  return std::nullopt;
}

// The form of a stack as the plan builds it: the start-up form, the common texts, the stack's
// own, the met file's first direction, a receptor distance the window accepts.
FormRecord StackForm(const SiteDocument& doc, const SiteRow* stack) {
  FormRecord form = MakeStartupForm();
  ApplyCaseStep(StepOf(CommonColumns(), doc.Common), form);
  if (stack != nullptr) ApplyCaseStep(StepOf(StackColumns(), *stack), form);
  if (doc.Met) ApplyMetDirection(*doc.Met, 0, form);
  form.Text("XrpEdit") = ShortestFloatText(100.0f);
  return form;
}

// The window's message for a rejected control, at the cell that sets it.
EditorProblem RejectedProblem(const SiteDocument& doc, const RejectedInput& r, const FormRecord& form, int stack) {
  const std::string tip = AcceptedRangeTip(r, form);
  if (r.Control == kGridControlName || r.Control == "FreqTotalEdit" || r.Control == "WDEdit") {
    return EditorProblem{"気象ファイルの値が使えません (" + Cp932ToUtf8(r.Label) + ")\n" + tip, SitePlace::Met, -1, -1};
  }
  const auto setIn = [&](const std::vector<SiteColumn>& columns, const SiteRow& row, std::string_view control) {
    const int c = ColumnOfControl(columns, control);
    return c >= 0 && !row[static_cast<std::size_t>(c)].empty() ? c : -1;
  };
  std::vector<std::string_view> controls = {r.Control};
  if (r.BelowAmbient) controls.push_back("TempAmbEdit");
  const std::string text = Cp932ToUtf8(form.Text(r.Control));
  for (std::string_view control : controls) {
    if (stack >= 0) {
      const SiteRow& row = doc.Stacks[static_cast<std::size_t>(stack)];
      if (const int c = setIn(StackColumns(), row, control); c >= 0) {
        const SiteColumn& col = StackColumns()[static_cast<std::size_t>(c)];
        return CellProblem(SitePlace::Stacks, stack, c,
                           CellPlace("煙突", row, stack, col) + " " + Quoted(Trimmed(row[static_cast<std::size_t>(c)])) +
                               "\n" + tip);
      }
    }
    if (const int c = setIn(CommonColumns(), doc.Common, control); c >= 0) {
      const SiteColumn& col = CommonColumns()[static_cast<std::size_t>(c)];
      return CellProblem(SitePlace::Common, 0, c,
                         "共通の値の「" + col.Label + "」 " + Quoted(Trimmed(doc.Common[static_cast<std::size_t>(c)])) +
                             "\n" + tip);
    }
  }
  // A start-up value rejected with the other values: the stack as a whole.
  const int c = ColumnOfControl(CommonColumns(), r.Control);
  const std::string label = c >= 0 ? CommonColumns()[static_cast<std::size_t>(c)].Label : r.Control;
  if (stack < 0) return CellProblem(SitePlace::Common, 0, c, "共通の値の「" + label + "」 " + Quoted(Trimmed(text)) + "\n" + tip);
  return CellProblem(SitePlace::Stacks, stack, kSiteNameColumn,
                     "煙突 " + Quoted(doc.Stacks[static_cast<std::size_t>(stack)][0]) + " の「" + label + "」 " +
                         Quoted(Trimmed(text)) + "\n" + tip);
}

// Cells of the controls: numbers and check boxes of the right form.
std::optional<EditorProblem> CheckControlCells(const std::vector<SiteColumn>& columns, const SiteRow& row,
                                             SitePlace place, int r, std::string_view what) {
  for (std::size_t c = 0; c < columns.size(); ++c) {
    const SiteColumn& col = columns[c];
    if (col.Kind == SiteCellKind::Check && !CheckCell(row[c])) {
      const std::string head = place == SitePlace::Common ? "共通の値の「" + col.Label + "」"
                                                          : CellPlace(what, row, r, col);
      return CellProblem(place, r, static_cast<int>(c), head + " " + Quoted(row[c]) + "\n1 (する) か 0 (しない) を入れてください");
    }
  }
  return std::nullopt;
}

std::optional<EditorProblem> CheckAxis(const std::string& text, std::string_view what, SitePlace place, bool polar) {
  RangeSteps<double> s;
  const std::string head = std::string(what) + " " + Quoted(text);
  if (ReadRangeSteps(Trimmed(HalfWidthNumberText(text)), s)) {
    return EditorProblem{head + "\n「始め:終わり:個数」の形で入力してください (例 -5000:5000:101)", place};
  }
  if (!polar) {
    if (s.N < 2 || s.N > static_cast<long long>(kMaxSiteReceptors)) {
      return EditorProblem{head + "\n個数は 2 ～ " + std::to_string(kMaxSiteReceptors) + " です", place};
    }
    if (!(s.From < s.To)) return EditorProblem{head + "\n始めは終わりより小さくしてください", place};
    if (std::fabs(s.From) > kMaxSiteCoordinate || std::fabs(s.To) > kMaxSiteCoordinate) {
      return EditorProblem{head + "\n入力できる範囲: -1E9 ～ 1E9 (m)", place};
    }
    return std::nullopt;
  }
  const DistanceRangeText range = ReceptorDistanceRange();
  const long long most = static_cast<long long>(kMaxSiteReceptors / kDirections);
  if (s.N < 1 || s.N > most) return EditorProblem{head + "\n個数は 1 ～ " + std::to_string(most) + " です", place};
  if (!(static_cast<float>(s.From) >= RLowerLimit && static_cast<float>(s.To) <= RUpperLimit)) {
    return EditorProblem{head + "\n入力できる距離の範囲: " + range.From + " ～ " + range.To + " (m)", place};
  }
  if (s.N == 1 ? s.From != s.To : !(s.From < s.To)) {
    return EditorProblem{head + "\n始めは終わりより小さくしてください (個数 1 のときは同じ値)", place};
  }
  return std::nullopt;
}

std::optional<std::vector<double>> LevelValues(const std::string& text) {
  std::vector<double> levels;
  std::string t = HalfWidthNumberText(text);
  std::replace(t.begin(), t.end(), ',', ' ');
  std::size_t i = 0;
  while (i < t.size()) {
    while (i < t.size() && (t[i] == ' ' || t[i] == '\t')) ++i;
    std::size_t j = i;
    while (j < t.size() && t[j] != ' ' && t[j] != '\t') ++j;
    if (j > i) {
      double v = 0;
      if (ReadNumber(std::string_view(t).substr(i, j - i), v) != NumberReading::Finite) return std::nullopt;
      levels.push_back(v);
    }
    i = j;
  }
  return levels;
}

std::optional<EditorProblem> CheckBlock(const std::string& text, std::string_view what, SitePlace place, bool list) {
  if (Trimmed(text).empty()) return std::nullopt;
  try {
    const Json v = ParseJsonDocument(text, what);
    if (list ? !v.is_array() : !v.is_object()) {
      return EditorProblem{std::string(what) + ": " + (list ? "[ ... ] の一覧" : "{ ... } のオブジェクト") + "にしてください", place};
    }
  } catch (const JsonFileError& e) {
    return EditorProblem{std::string(what) + ": " + SiteDetailText(e.what()), place};
  }
  return std::nullopt;
}

// The place of a line of the site file's reader.
SitePlace PlaceOfReaderLine(std::string_view line) {
  if (line.rfind("pollutant", 0) == 0) return SitePlace::Pollutants;
  if (line.rfind("basemap", 0) == 0) return SitePlace::Basemap;
  if (line.rfind("met", 0) == 0) return SitePlace::Met;
  if (line.rfind("crs", 0) == 0) return SitePlace::Crs;
  return SitePlace::None;
}

// The row of the table whose name column holds `name`, or -1.
int RowNamed(const std::vector<SiteRow>& rows, const std::string& name) {
  for (std::size_t r = 0; r < rows.size(); ++r) {
    if (!rows[r].empty() && Trimmed(rows[r][kSiteNameColumn]) == name) return static_cast<int>(r);
  }
  return -1;
}

// The cell of a problem found by the site file's reader or the plan: a stack's or a point's
// field, a pollutant's row or its emission of a stack; else the page of the part the line is
// about.
EditorProblem PlaceOfReaderProblem(const SiteDocument& doc, const std::exception& e) {
  const std::string_view line = e.what();
  EditorProblem place{{}, PlaceOfReaderLine(line)};
  // The pollutant a line is about: `pollutant "NO2"...`, its name quoted as the reader quotes it.
  int pollutant = -1;
  if (const auto rows = PollutantChoicesOf(doc)) {
    for (std::size_t r = 0; r < rows->size(); ++r) {
      const std::string head = "pollutant " + QuoteForMessage(Trimmed((*rows)[r].Name));
      if (line.starts_with(head) && line.size() > head.size() && (line[head.size()] == ':' || line[head.size()] == '.')) {
        pollutant = static_cast<int>(r);
      }
    }
  }
  const auto* site = dynamic_cast<const SiteError*>(&e);
  if (site == nullptr) return pollutant >= 0 ? EditorProblem{{}, SitePlace::Pollutants, pollutant, 0} : place;
  const SiteProblem& p = site->Problem();
  const int stack = RowNamed(doc.Stacks, p.Stack);
  if (p.What == SiteProblem::Kind::StackInput && stack >= 0) {
    if (pollutant >= 0 && (p.Rejected.Control == "QpEdit" || p.Rejected.Control == "NOxTrnCheckBox")) {
      return {{}, SitePlace::Emissions, stack, 2 * pollutant + (p.Rejected.Control == "QpEdit" ? 0 : 1)};
    }
    const int col = ColumnOfControl(StackColumns(), p.Rejected.Control);
    if (col >= 0) return {{}, SitePlace::Stacks, stack, col};
  }
  if (p.What == SiteProblem::Kind::PointHeight) {
    if (const int point = RowNamed(doc.Points, p.Point); point >= 0) return {{}, SitePlace::Points, point, kSiteZColumn};
  }
  if (pollutant >= 0) return {{}, SitePlace::Pollutants, pollutant, 0};
  return place;
}

// The document with every row one cell per column (a row made short by its caller reads as
// empty cells).
SiteDocument Padded(const SiteDocument& in) {
  SiteDocument doc = in;
  doc.Common.resize(CommonColumns().size());
  for (SiteRow& row : doc.Stacks) row.resize(StackColumns().size());
  for (SiteRow& row : doc.Points) row.resize(PointColumns().size());
  return doc;
}

std::optional<EditorProblem> CheckAt(const SiteDocument& in, const std::string& path) {
  const SiteDocument doc = Padded(in);
  if (!doc.Met) {
    return EditorProblem{"気象ファイルを選んでください (vmk-met の気象統計ファイル)", SitePlace::Met};
  }
  if (auto p = CheckControlCells(CommonColumns(), doc.Common, SitePlace::Common, 0, "共通")) return p;
  {
    const FormRecord form = StackForm(doc, nullptr);
    if (const std::optional<RejectedInput> r = FirstRejectedInput(form)) return RejectedProblem(doc, *r, form, -1);
  }
  if (doc.Stacks.empty()) return EditorProblem{"煙突がありません: 煙突の表に一つ以上加えてください", SitePlace::Stacks, 0, 0};
  if (doc.Stacks.size() > kMaxSiteStacks) {
    return EditorProblem{"煙突が多すぎます: " + std::to_string(kMaxSiteStacks) + " までです", SitePlace::Stacks};
  }
  if (auto p = CheckNames(doc.Stacks, "煙突", SitePlace::Stacks)) return p;
  for (std::size_t i = 0; i < doc.Stacks.size(); ++i) {
    const SiteRow& row = doc.Stacks[i];
    const int r = static_cast<int>(i);
    for (int c : {kSiteXColumn, kSiteYColumn}) {
      const SiteColumn& col = StackColumns()[static_cast<std::size_t>(c)];
      if (auto p = CheckCoordinate(row[static_cast<std::size_t>(c)], CellPlace("煙突", row, r, col), SitePlace::Stacks, r, c)) return p;
    }
    if (auto p = CheckControlCells(StackColumns(), row, SitePlace::Stacks, r, "煙突")) return p;
    const FormRecord form = StackForm(doc, &row);
    if (const std::optional<RejectedInput> rejected = FirstRejectedInput(form)) {
      return RejectedProblem(doc, *rejected, form, r);
    }
  }
  if (auto p = CheckNames(doc.Points, "地点", SitePlace::Points)) return p;
  for (std::size_t i = 0; i < doc.Points.size(); ++i) {
    const SiteRow& row = doc.Points[i];
    const int r = static_cast<int>(i);
    for (int c : {kSiteXColumn, kSiteYColumn}) {
      const SiteColumn& col = PointColumns()[static_cast<std::size_t>(c)];
      if (auto p = CheckCoordinate(row[static_cast<std::size_t>(c)], CellPlace("地点", row, r, col), SitePlace::Points, r, c)) return p;
    }
    const std::string& z = row[kSiteZColumn];
    if (z.empty()) continue;
    const SiteColumn& col = PointColumns()[kSiteZColumn];
    FormRecord form = StackForm(doc, &doc.Stacks.front());
    const std::optional<double> v = CellNumber(z);
    form.Text("HrpEdit") = v ? ShortestFloatText(static_cast<float>(*v)) : Utf8ToCp932(z);
    if (const std::optional<RejectedInput> rejected = FirstRejectedInput(form)) {
      return CellProblem(SitePlace::Points, r, kSiteZColumn,
                         CellPlace("地点", row, r, col) + " " + Quoted(z) + "\n" + AcceptedRangeTip(*rejected, form));
    }
  }
  if (doc.GridOn) {
    if (auto p = CheckAxis(doc.GridX, "格子の x", SitePlace::GridX, false)) return p;
    if (auto p = CheckAxis(doc.GridY, "格子の y", SitePlace::GridY, false)) return p;
  }
  if (doc.PolarOn) {
    for (const auto& [text, place, what] : {std::tuple{doc.PolarX, SitePlace::PolarX, "極座標の中心 x"},
                                            std::tuple{doc.PolarY, SitePlace::PolarY, "極座標の中心 y"}}) {
      if (auto p = CheckCoordinate(text, what, place, -1, -1)) return p;
    }
    if (auto p = CheckAxis(doc.PolarDistances, "極座標の距離", SitePlace::PolarDistances, true)) return p;
  }
  if (!doc.GridOn && !doc.PolarOn && doc.Points.empty()) {
    return EditorProblem{"受容点がありません: 格子、極座標または予測地点を加えてください", SitePlace::GridX};
  }
  const std::optional<std::vector<double>> levels = LevelValues(doc.Levels);
  if (!levels) return EditorProblem{"等濃度線の値 " + Quoted(doc.Levels) + "\n数値を空白かコンマで区切って入力してください", SitePlace::Levels};
  for (std::size_t i = 1; i < levels->size(); ++i) {
    if (!((*levels)[i] > (*levels)[i - 1])) {
      return EditorProblem{"等濃度線の値 " + Quoted(doc.Levels) + "\n小さい順に、同じ値を二度使わずに入力してください", SitePlace::Levels};
    }
  }
  if (levels->size() > kMaxSiteLevels) {
    return EditorProblem{"等濃度線の値が多すぎます: " + std::to_string(kMaxSiteLevels) + " までです", SitePlace::Levels};
  }
  if (auto p = CheckBlock(doc.Basemap, "背景地図 (basemap)", SitePlace::Basemap, false)) return p;
  if (auto p = CheckBlock(doc.Pollutants, "汚染物質 (pollutants)", SitePlace::Pollutants, true)) return p;

  // The whole file as the command line reads and plans it.
  try {
    SiteDefinition site = ParseSiteFile(SiteDocumentText(doc, path), FolderOf(path));
    std::vector<AssessmentTerms> terms = ResolveAssessments(site, DefaultStandardsTable());
    site.Pollutants.clear();  // each pollutant's plan holds its own, as a run makes them
    const SitePlan plan = PlanSite(std::move(site));
    PlanPollutants(plan.Site, std::move(terms));
  } catch (const std::exception& e) {
    EditorProblem problem = PlaceOfReaderProblem(doc, e);
    problem.Text = "このサイトは計算できません:\n" + SiteExceptionText(e);
    return problem;
  }
  return std::nullopt;
}

// Where a site without a file is checked: its relative paths are taken from the current folder.
std::string CheckPath(const SiteDocument& doc) {
  if (!doc.Path.empty()) return doc.Path;
  return Normal(PathToUtf8(PathFromUtf8(doc.BaseDir.empty() ? std::string(".") : doc.BaseDir) / "site.json"));
}

}  // namespace

const std::vector<SiteColumn>& StackColumns() {
  static const std::vector<SiteColumn> columns = [] {
    std::vector<SiteColumn> c = {{"", "名前", SiteCellKind::Name}, {"", "x (m)", SiteCellKind::Number},
                                 {"", "y (m)", SiteCellKind::Number}};
    for (SiteColumn& col : ControlColumns()) c.push_back(std::move(col));
    return c;
  }();
  return columns;
}

const std::vector<SiteColumn>& CommonColumns() {
  static const std::vector<SiteColumn> columns = [] {
    std::vector<SiteColumn> c = ControlColumns();
    c.push_back({"HrpEdit", std::string(kHeightLabel), SiteCellKind::Control});
    return c;
  }();
  return columns;
}

const std::vector<SiteColumn>& PointColumns() {
  static const std::vector<SiteColumn> columns = {{"", "名前", SiteCellKind::Name},
                                                  {"", "x (m)", SiteCellKind::Number},
                                                  {"", "y (m)", SiteCellKind::Number},
                                                  {"", "z (m)", SiteCellKind::Number}};
  return columns;
}

int ColumnOfControl(const std::vector<SiteColumn>& columns, std::string_view control) {
  for (std::size_t c = 0; c < columns.size(); ++c) {
    if (!columns[c].Control.empty() && columns[c].Control == control) return static_cast<int>(c);
  }
  return -1;
}

bool operator==(const SiteDocument& a, const SiteDocument& b) {
  const auto met = [](const SiteDocument& d) { return d.Met ? MetStatsJson(*d.Met) : std::string(); };
  return a.Path == b.Path && a.Modified == b.Modified && a.MetPath == b.MetPath && met(a) == met(b) &&
         a.MetInFile == b.MetInFile && a.Common == b.Common && a.Stacks == b.Stacks && a.Points == b.Points &&
         a.GridOn == b.GridOn && a.GridX == b.GridX && a.GridY == b.GridY && a.PolarOn == b.PolarOn &&
         a.PolarX == b.PolarX && a.PolarY == b.PolarY && a.PolarDistances == b.PolarDistances &&
         a.PolarLog == b.PolarLog && a.Sectors == b.Sectors && a.Levels == b.Levels && a.Crs == b.Crs &&
         a.Basemap == b.Basemap && a.Pollutants == b.Pollutants && a.BaseDir == b.BaseDir;
}

SiteDocument NewSiteDocument() {
  SiteDocument doc;
  doc.Common.assign(CommonColumns().size(), std::string());
  return doc;
}

SiteDocument OpenSiteDocument(const std::string& path) {
  const SiteDefinition site = ReadSiteFile(path);
  // The kept blocks in the file's own order of keys (the reader has checked the file).
  OrderedJson file;
  try {
    file = OrderedJson::parse(ReadFileBytes(path));
  } catch (const std::exception& e) {
    throw SiteError(e.what());
  }
  SiteDocument doc = NewSiteDocument();
  doc.Path = Normal(path);
  doc.BaseDir = FolderOf(doc.Path);
  doc.Met = site.Met;
  if (file["met"].is_object()) {
    doc.MetInFile = true;
  } else {
    doc.MetPath = Normal(PathToUtf8(PathFromUtf8(doc.BaseDir) / PathFromUtf8(site.MetSource)));
  }
  RowFromStep(CommonColumns(), site.Common, doc.Common);
  for (const StackDefinition& s : site.Stacks) {
    SiteRow row(StackColumns().size());
    row[kSiteNameColumn] = s.Name;
    row[kSiteXColumn] = ShortestDoubleText(s.X);
    row[kSiteYColumn] = ShortestDoubleText(s.Y);
    RowFromStep(StackColumns(), s.Controls, row);
    doc.Stacks.push_back(std::move(row));
  }
  for (const PointDefinition& p : site.Points) {
    doc.Points.push_back({p.Name, ShortestDoubleText(p.X), ShortestDoubleText(p.Y),
                          p.Z ? ShortestDoubleText(*p.Z) : std::string()});
  }
  doc.GridOn = site.Grid.has_value();
  if (site.Grid) {
    doc.GridX = AxisText(site.Grid->X);
    doc.GridY = AxisText(site.Grid->Y);
  }
  doc.PolarOn = site.Polar.has_value();
  if (site.Polar) {
    doc.PolarX = ShortestDoubleText(site.Polar->CenterX);
    doc.PolarY = ShortestDoubleText(site.Polar->CenterY);
    doc.PolarDistances = AxisText(site.Polar->Distances);
    doc.PolarLog = site.Polar->Log;
  }
  doc.Sectors = site.Sectors;
  for (double level : site.Levels) doc.Levels += (doc.Levels.empty() ? "" : " ") + ShortestDoubleText(level);
  doc.Crs = site.Crs;
  if (file.contains("basemap")) doc.Basemap = file["basemap"].dump(2, ' ', false);
  if (file.contains("pollutants")) doc.Pollutants = file["pollutants"].dump(2, ' ', false);
  return doc;
}

std::optional<std::string> SetMetFile(SiteDocument& doc, const std::string& path) {
  try {
    MetStats met = ParseMetStats(ReadFileBytes(path));
    doc.Met = std::move(met);
  } catch (const std::exception& e) {
    return FileNameOf(path) + " を気象ファイルとして読めません:\n" + SiteDetailText(e.what());
  }
  doc.MetPath = Normal(path);
  doc.MetInFile = false;
  NoteSiteEdit(doc);
  return std::nullopt;
}

std::string MetFileText(const SiteDocument& doc) {
  if (!doc.Met) return "(気象ファイルが選ばれていません)";
  const MetStats& m = *doc.Met;
  std::string text = doc.MetInFile ? std::string(kMetInFileText) : FileNameOf(doc.MetPath);
  text += "\n観測所: " + (m.Station.empty() ? std::string("(名前なし)") : m.Station);
  if (!m.From.empty() || !m.To.empty()) text += "\n期間: " + m.From + " ～ " + m.To;
  text += "\n有効 " + std::to_string(m.ValidHours) + " 時間 (読んだ " + std::to_string(m.HoursRead) + " 時間)";
  return text;
}

std::optional<EditorProblem> CheckSiteDocument(const SiteDocument& doc) { return CheckAt(doc, CheckPath(doc)); }

std::string SiteDocumentText(const SiteDocument& in, const std::string& path) {
  const SiteDocument doc = Padded(in);
  const std::string folder = FolderOf(Normal(path));
  OrderedJson out = OrderedJson::object();
  out["format"] = kSiteFormat;
  if (doc.MetInFile && doc.Met) {
    out["met"] = OrderedJson::parse(MetStatsJson(*doc.Met));
  } else {
    out["met"] = doc.MetPath.empty() ? std::string() : RelativeTo(doc.MetPath, folder);
  }
  const OrderedJson common = ControlsJson(CommonColumns(), doc.Common);
  if (!common.empty()) out["common"] = common;
  // Numbers as numbers; a text that is none stays a text, which the reader refuses.
  const auto number = [](const std::string& text) -> OrderedJson {
    if (const std::optional<double> v = CellNumber(text)) return *v;
    return text;
  };
  OrderedJson sources = OrderedJson::array();
  for (const SiteRow& row : doc.Stacks) {
    OrderedJson s = OrderedJson::object();
    s["name"] = row[kSiteNameColumn];
    s["x"] = number(row[kSiteXColumn]);
    s["y"] = number(row[kSiteYColumn]);
    OrderedJson controls = ControlsJson(StackColumns(), row);
    if (!controls.empty()) s["controls"] = std::move(controls);
    sources.push_back(std::move(s));
  }
  out["sources"] = std::move(sources);
  OrderedJson receptors = OrderedJson::object();
  const auto steps = [](const std::string& text) { return Trimmed(HalfWidthNumberText(text)); };
  if (doc.GridOn) receptors["grid"] = {{"x", steps(doc.GridX)}, {"y", steps(doc.GridY)}};
  if (doc.PolarOn) {
    receptors["polar"] = {{"center", {number(doc.PolarX), number(doc.PolarY)}},
                          {"distances", steps(doc.PolarDistances)},
                          {"log", doc.PolarLog}};
  }
  if (!doc.Points.empty()) {
    OrderedJson points = OrderedJson::array();
    for (const SiteRow& row : doc.Points) {
      OrderedJson p = {{"name", row[kSiteNameColumn]}, {"x", number(row[kSiteXColumn])}, {"y", number(row[kSiteYColumn])}};
      if (!Trimmed(row[kSiteZColumn]).empty()) p["z"] = number(row[kSiteZColumn]);
      points.push_back(std::move(p));
    }
    receptors["points"] = std::move(points);
  }
  out["receptors"] = std::move(receptors);
  out["sectors"] = doc.Sectors == SectorMode::Smooth ? "smooth" : "sector";
  if (const std::optional<std::vector<double>> levels = LevelValues(doc.Levels); levels && !levels->empty()) {
    out["levels"] = *levels;
  }
  if (!Trimmed(doc.Crs).empty()) out["crs"] = Trimmed(doc.Crs);
  // The kept blocks as they are (the check has read them), their paths moved with the file.
  for (const auto& [key, text, basemap] : {std::tuple{"basemap", &doc.Basemap, true},
                                           std::tuple{"pollutants", &doc.Pollutants, false}}) {
    if (Trimmed(*text).empty()) continue;
    const std::string moved = Rebased(*text, basemap, doc.BaseDir, folder);
    try {
      out[key] = OrderedJson::parse(moved);
    } catch (const std::exception&) {
      out[key] = moved;  // not JSON: the reader names it
    }
  }
  return out.dump(2, ' ', false) + "\n";
}

std::optional<EditorProblem> SaveSiteDocument(SiteDocument& doc, const std::string& path) {
  const std::string target = Normal(path);
  if (std::optional<EditorProblem> p = CheckAt(doc, target)) return p;
  const std::string text = SiteDocumentText(doc, target);
  try {
    WriteFileAtomically(target, text);
  } catch (const FileWriteError& e) {
    return EditorProblem{"保存できませんでした (前のファイルはそのままです):\n" + SiteExceptionText(e), SitePlace::None};
  }
  const std::string folder = FolderOf(target);
  doc.Basemap = Rebased(doc.Basemap, true, doc.BaseDir, folder);
  doc.Pollutants = Rebased(doc.Pollutants, false, doc.BaseDir, folder);
  doc.BaseDir = folder;
  doc.Path = target;
  doc.Modified = false;
  return std::nullopt;
}

std::string SiteEditorTitle(const SiteDocument& doc) {
  std::string title(kEditorTitle);
  if (!doc.Path.empty()) title += " - " + FileNameOf(doc.Path);
  if (doc.Modified) title += " *";
  return title;
}

SitePaste PasteIntoTable(std::vector<SiteRow>& rows, const std::vector<SiteColumn>& columns, SitePlace place,
                         std::string_view text, int row, int col) {
  SitePaste paste;
  const TextBlock block = ParseTabSeparated(text);
  std::size_t width = 0;
  for (const auto& line : block) width = std::max(width, line.size());
  if (block.empty() || width == 0) {
    paste.Problem = EditorProblem{"貼り付ける値がありません", place, row, col};
    return paste;
  }
  if (row < 0 || col < 0 || static_cast<std::size_t>(col) + width > columns.size()) {
    paste.Problem = EditorProblem{"貼り付ける値が表の右端を越えます: " + std::to_string(width) + " 列の値を " +
                                    std::to_string(col + 1) + " 列目から貼り付けると " +
                                    std::to_string(columns.size()) + " 列を越えます",
                                place, row, col};
    return paste;
  }
  const std::size_t most = place == SitePlace::Stacks       ? kMaxSiteStacks
                           : place == SitePlace::Pollutants ? kMaxSitePollutants
                                                            : kMaxSiteReceptors;
  if (static_cast<std::size_t>(row) + block.size() > most) {
    paste.Problem = EditorProblem{"行が多すぎます: " + std::to_string(most) + " 行までです", place, row, col};
    return paste;
  }
  // Every cell first, so that a refused paste changes nothing.
  std::vector<std::vector<std::string>> cells(block.size());
  for (std::size_t i = 0; i < block.size(); ++i) {
    for (std::size_t j = 0; j < block[i].size(); ++j) {
      const int r = row + static_cast<int>(i);
      const int c = col + static_cast<int>(j);
      const SiteColumn& column = columns[static_cast<std::size_t>(c)];
      const std::string& cell = block[i][j];
      std::string value = cell;
      std::string problem;
      switch (column.Kind) {
        case SiteCellKind::Name: value = Trimmed(cell); break;
        case SiteCellKind::Number:
        case SiteCellKind::Control:
          value = Trimmed(HalfWidthNumberText(cell));
          if (!value.empty() && !CellNumber(value)) problem = "は数値ではありません";
          break;
        case SiteCellKind::Check:
          if (const std::optional<std::string> v = CheckCell(cell)) {
            value = *v;
          } else {
            problem = "は 1 (する) か 0 (しない) ではありません";
          }
          break;
      }
      if (!problem.empty()) {
        paste.Problem = EditorProblem{std::to_string(r + 1) + " 行目の「" + column.Label + "」に貼り付ける値 " + Quoted(cell) +
                                        " " + problem + ": 何も貼り付けていません",
                                    place, r, c};
        return paste;
      }
      cells[i].push_back(std::move(value));
    }
  }
  for (std::size_t i = 0; i < cells.size(); ++i) {
    const std::size_t r = static_cast<std::size_t>(row) + i;
    while (rows.size() <= r) rows.emplace_back(columns.size());
    rows[r].resize(std::max(rows[r].size(), columns.size()));
    for (std::size_t j = 0; j < cells[i].size(); ++j) rows[r][static_cast<std::size_t>(col) + j] = std::move(cells[i][j]);
  }
  paste.Rows = static_cast<int>(block.size());
  paste.Cols = static_cast<int>(width);
  return paste;
}

std::string UnusedName(const std::vector<SiteRow>& rows, std::string_view stem) {
  for (int n = 1;; ++n) {
    const std::string name = std::string(stem) + std::to_string(n);
    if (std::none_of(rows.begin(), rows.end(), [&](const SiteRow& r) { return !r.empty() && r[0] == name; })) {
      return name;
    }
  }
}

EditorMap EditorMapOf(const SiteDocument& source) {
  const SiteDocument doc = Padded(source);
  EditorMap map;
  SiteMapInput& in = map.Input;
  bool any = false;
  const auto take = [&](double x, double y) {
    if (!any) {
      in.XMin = in.XMax = x;
      in.YMin = in.YMax = y;
      any = true;
    }
    in.XMin = std::min(in.XMin, x);
    in.XMax = std::max(in.XMax, x);
    in.YMin = std::min(in.YMin, y);
    in.YMax = std::max(in.YMax, y);
  };
  const auto marks = [&](const std::vector<SiteRow>& rows, std::vector<MapMark>& out, std::vector<int>& index) {
    for (std::size_t i = 0; i < rows.size(); ++i) {
      const std::optional<double> x = CellNumber(rows[i][kSiteXColumn]);
      const std::optional<double> y = CellNumber(rows[i][kSiteYColumn]);
      if (!x || !y || std::fabs(*x) > kMaxSiteCoordinate || std::fabs(*y) > kMaxSiteCoordinate) continue;
      out.push_back({rows[i][kSiteNameColumn], *x, *y});
      index.push_back(static_cast<int>(i));
      take(*x, *y);
    }
  };
  marks(doc.Stacks, in.Stacks, map.StackRows);
  marks(doc.Points, in.Points, map.PointRows);
  RangeSteps<double> gx, gy;
  if (doc.GridOn && !ReadRangeSteps(Trimmed(doc.GridX), gx) && !ReadRangeSteps(Trimmed(doc.GridY), gy) && gx.From < gx.To &&
      gy.From < gy.To) {
    in.XMin = gx.From;
    in.XMax = gx.To;
    in.YMin = gy.From;
    in.YMax = gy.To;
  } else {
    // Around the marks, at least a kilometre across.
    if (!any) take(0, 0);
    const double margin = std::max({500.0, (in.XMax - in.XMin) * 0.2, (in.YMax - in.YMin) * 0.2});
    in.XMin -= margin;
    in.XMax += margin;
    in.YMin -= margin;
    in.YMax += margin;
  }
  in.Title = "煙突と予測地点の配置";
  in.LegendTitle = "凡例 (計算前)";
  in.Subtitle = doc.GridOn ? "範囲: 計算格子" : "範囲: 煙突と地点のまわり";
  return map;
}

std::string PlacedCoordinateText(double metres) {
  const double v = std::round(metres * 100.0) / 100.0;
  return ShortestDoubleText(v == 0 ? 0.0 : v);
}

std::optional<BasemapChoice> BasemapChoiceOf(const SiteDocument& doc) {
  if (Trimmed(doc.Basemap).empty()) return BasemapChoice{};
  OrderedJson block;
  try {
    block = OrderedJson::parse(doc.Basemap);
  } catch (const std::exception&) {
    return std::nullopt;
  }
  if (!block.is_object()) return std::nullopt;
  const auto file = [](const OrderedJson& e) -> std::optional<BasemapFileChoice> {
    if (e.is_string()) return BasemapFileChoice{e.get<std::string>(), {}};
    if (!e.is_object() || !e.contains("path") || !e["path"].is_string()) return std::nullopt;
    BasemapFileChoice f{e["path"].get<std::string>(), {}};
    for (const auto& [key, value] : e.items()) {
      if (key == "crs" && value.is_string()) {
        f.Crs = value.get<std::string>();
      } else if (key != "path") {
        return std::nullopt;
      }
    }
    return f;
  };
  BasemapChoice choice;
  for (const auto& [key, value] : block.items()) {
    if (key == "raster") {
      choice.Raster = file(value);
      if (!choice.Raster) return std::nullopt;
    } else if (key == "vectors" && value.is_array()) {
      for (const OrderedJson& v : value) {
        std::optional<BasemapFileChoice> f = file(v);
        if (!f) return std::nullopt;
        choice.Vectors.push_back(std::move(*f));
      }
    } else {
      return std::nullopt;
    }
  }
  return choice;
}

void SetBasemapChoice(SiteDocument& doc, const BasemapChoice& choice) {
  const auto entry = [](const BasemapFileChoice& f) -> OrderedJson {
    if (Trimmed(f.Crs).empty()) return f.Path;
    return OrderedJson{{"path", f.Path}, {"crs", Trimmed(f.Crs)}};
  };
  OrderedJson block = OrderedJson::object();
  if (choice.Raster) block["raster"] = entry(*choice.Raster);
  if (!choice.Vectors.empty()) {
    OrderedJson vectors = OrderedJson::array();
    for (const BasemapFileChoice& v : choice.Vectors) vectors.push_back(entry(v));
    block["vectors"] = std::move(vectors);
  }
  const std::string text = block.empty() ? std::string() : block.dump(2, ' ', false);
  if (text == doc.Basemap) return;
  doc.Basemap = text;
  NoteSiteEdit(doc);
}

std::string PathInSiteFile(const SiteDocument& doc, const std::string& absolute) {
  const std::string full = Normal(absolute);
  return doc.BaseDir.empty() ? full : RelativeTo(full, Normal(doc.BaseDir));
}

std::optional<BasemapDefinition> EditorBasemapOf(const SiteDocument& doc) {
  if (Trimmed(doc.Basemap).empty()) return std::nullopt;
  return ParseBasemapBlock(doc.Basemap, FolderOf(CheckPath(doc)));
}

namespace {

// A number of the block as the tables show it: its JSON text (the reader's decimals).
std::optional<std::string> NumberText(const OrderedJson& v) {
  if (v.is_number()) return v.dump();
  if (v.is_string()) return v.get<std::string>();
  return std::nullopt;
}

bool OnlyKeys(const OrderedJson& v, std::initializer_list<std::string_view> keys) {
  if (!v.is_object()) return false;
  for (const auto& item : v.items()) {
    if (std::find(keys.begin(), keys.end(), item.key()) == keys.end()) return false;
  }
  return true;
}

std::optional<PollutantChoice> PollutantChoiceOf(const OrderedJson& p, const std::vector<SiteRow>& stacks) {
  if (!OnlyKeys(p, {"name", "unit", "stacks", "background", "conversion", "standard"})) return std::nullopt;
  PollutantChoice c;
  const auto text = [&](const char* key, std::string& out) {
    if (!p.contains(key)) return true;
    if (!p[key].is_string()) return false;
    out = p[key].get<std::string>();
    return true;
  };
  if (!text("name", c.Name) || !text("unit", c.Unit) || !text("standard", c.Standard)) return std::nullopt;
  if (p.contains("background")) {
    const OrderedJson& b = p["background"];
    if (!OnlyKeys(b, {"value", "unit"})) return std::nullopt;
    if (b.contains("value")) {
      std::optional<std::string> v = NumberText(b["value"]);
      if (!v) return std::nullopt;
      c.Background = *v;
    }
    if (b.contains("unit")) {
      if (!b["unit"].is_string()) return std::nullopt;
      c.BackgroundUnit = b["unit"].get<std::string>();
    }
  }
  if (p.contains("conversion")) {
    const OrderedJson& v = p["conversion"];
    if (v.is_string() && v.get<std::string>() == "none") {
      c.Conversion = PollutantConversion::None;
    } else if (OnlyKeys(v, {"linear"}) && v.contains("linear") && OnlyKeys(v["linear"], {"a", "b"})) {
      c.Conversion = PollutantConversion::Linear;
      const OrderedJson& l = v["linear"];
      std::optional<std::string> a = l.contains("a") ? NumberText(l["a"]) : std::string();
      std::optional<std::string> b = l.contains("b") ? NumberText(l["b"]) : std::string();
      if (!a || !b) return std::nullopt;
      c.A = *a;
      c.B = *b;
    } else if (OnlyKeys(v, {"fit"}) && v.contains("fit") && v["fit"].is_string()) {
      c.Conversion = PollutantConversion::Fit;
      c.Fit = v["fit"].get<std::string>();
    } else {
      return std::nullopt;
    }
  }
  c.Stacks.resize(stacks.size());
  if (p.contains("stacks")) {
    const OrderedJson& s = p["stacks"];
    if (!s.is_object()) return std::nullopt;
    for (const auto& item : s.items()) {
      const std::string& name = item.key();
      const OrderedJson& e = item.value();
      const auto at = std::find_if(stacks.begin(), stacks.end(), [&](const SiteRow& r) { return r[kSiteNameColumn] == name; });
      if (at == stacks.end()) return std::nullopt;
      PollutantEmission& out = c.Stacks[static_cast<std::size_t>(at - stacks.begin())];
      if (e.is_string()) {
        out.Qp = e.get<std::string>();
      } else if (OnlyKeys(e, {"QpEdit", "NOxTrnCheckBox"}) && e.contains("QpEdit") && e["QpEdit"].is_string()) {
        out.Qp = e["QpEdit"].get<std::string>();
        if (e.contains("NOxTrnCheckBox")) {
          if (!e["NOxTrnCheckBox"].is_boolean()) return std::nullopt;
          out.No2 = e["NOxTrnCheckBox"].get<bool>();
        }
      } else {
        return std::nullopt;
      }
    }
  }
  return c;
}

}  // namespace

std::optional<std::vector<PollutantChoice>> PollutantChoicesOf(const SiteDocument& doc) {
  if (Trimmed(doc.Pollutants).empty()) return std::vector<PollutantChoice>{};
  OrderedJson block;
  try {
    block = OrderedJson::parse(doc.Pollutants);
  } catch (const std::exception&) {
    return std::nullopt;
  }
  if (!block.is_array()) return std::nullopt;
  std::vector<PollutantChoice> rows;
  for (const OrderedJson& p : block) {
    std::optional<PollutantChoice> c = PollutantChoiceOf(p, doc.Stacks);
    if (!c) return std::nullopt;
    rows.push_back(std::move(*c));
  }
  return rows;
}

std::optional<EditorProblem> SetPollutantChoices(SiteDocument& doc, const std::vector<PollutantChoice>& rows) {
  // A refusal of the pollutant table's cell in column `col`, or of a stack's emission.
  const auto refuse = [](const PollutantChoice& p, std::size_t i, int col, std::string_view column, const std::string& text,
                         std::string_view hint, int stack = -1) {
    const std::string name = p.Name.empty() ? std::to_string(i + 1) + " 行目" : Quoted(p.Name);
    EditorProblem problem{"汚染物質 " + name + " の「" + std::string(column) + "」" +
                              (text.empty() ? std::string(" が空です") : " " + Quoted(text)) + "\n" + std::string(hint),
                          SitePlace::Pollutants, static_cast<int>(i), col};
    if (stack >= 0) problem = EditorProblem{problem.Text, SitePlace::Emissions, stack, 2 * static_cast<int>(i)};
    return problem;
  };
  const auto number = [](const std::string& text) -> std::optional<OrderedJson> {
    const std::optional<double> v = CellNumber(text);
    if (!v) return std::nullopt;
    try {
      return OrderedJson::parse(Trimmed(HalfWidthNumberText(text)));  // the decimals as typed
    } catch (const std::exception&) {
      return OrderedJson(*v);  // ".5", "+1": not JSON's own spelling
    }
  };
  OrderedJson block = OrderedJson::array();
  std::set<std::string> names;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const PollutantChoice& p = rows[i];
    if (Trimmed(p.Name).empty()) return refuse(p, i, 0, "名前", "", "名前を入力してください");
    if (!names.insert(Trimmed(p.Name)).second) return refuse(p, i, 0, "名前", p.Name, "同じ名前の汚染物質がほかにあります");
    if (Trimmed(p.Unit).empty()) return refuse(p, i, 1, "排出量の単位", "", "m3N/s、g/s などを入力してください");
    OrderedJson o = OrderedJson::object();
    o["name"] = Trimmed(p.Name);
    o["unit"] = Trimmed(p.Unit);
    OrderedJson stacks = OrderedJson::object();
    for (std::size_t s = 0; s < doc.Stacks.size(); ++s) {
      const PollutantEmission e = s < p.Stacks.size() ? p.Stacks[s] : PollutantEmission{};
      const std::string column = "排出量 " + doc.Stacks[s][kSiteNameColumn];
      const std::optional<double> q = CellNumber(e.Qp);
      if (!q || *q < 0) {
        return refuse(p, i, -1, column, Trimmed(e.Qp), "0 以上の数値を入力してください (排出しない煙突は 0)", static_cast<int>(s));
      }
      const std::string qp = Trimmed(HalfWidthNumberText(e.Qp));
      if (e.No2) {
        stacks[doc.Stacks[s][kSiteNameColumn]] = {{"QpEdit", qp}, {"NOxTrnCheckBox", true}};
      } else {
        stacks[doc.Stacks[s][kSiteNameColumn]] = qp;
      }
    }
    o["stacks"] = std::move(stacks);
    const std::optional<OrderedJson> background = number(p.Background);
    if (!background || background->get<double>() < 0) {
      return refuse(p, i, 2, "バックグラウンド濃度", Trimmed(p.Background), "0 以上の数値を入力してください");
    }
    if (Trimmed(p.BackgroundUnit).empty()) return refuse(p, i, 3, "バックグラウンド濃度の単位", "", "ppm、µg/m3 などを入力してください");
    o["background"] = {{"value", *background}, {"unit", Trimmed(p.BackgroundUnit)}};
    switch (p.Conversion) {
      case PollutantConversion::None: break;
      case PollutantConversion::Linear: {
        const std::optional<OrderedJson> a = number(p.A);
        if (!a) return refuse(p, i, 5, "換算の a", Trimmed(p.A), "数値を入力してください");
        const std::optional<OrderedJson> b = number(p.B);
        if (!b) return refuse(p, i, 6, "換算の b", Trimmed(p.B), "数値を入力してください");
        o["conversion"] = {{"linear", {{"a", *a}, {"b", *b}}}};
        break;
      }
      case PollutantConversion::Fit:
        if (Trimmed(p.Fit).empty()) return refuse(p, i, kPollutantFitColumn, "換算ファイル", "", "測定局の年平均値と日平均値のファイルを選んでください");
        o["conversion"] = {{"fit", Trimmed(p.Fit)}};
        break;
    }
    if (Trimmed(p.Standard).empty()) return refuse(p, i, 8, "環境基準", "", "基準の表の名前 (NO2、SO2、SPM など) を入力してください");
    o["standard"] = Trimmed(p.Standard);
    block.push_back(std::move(o));
  }
  const std::string text = block.empty() ? std::string() : block.dump(2, ' ', false);
  if (text != doc.Pollutants) {
    doc.Pollutants = text;
    NoteSiteEdit(doc);
  }
  return std::nullopt;
}

std::string* PollutantCell(PollutantChoice& p, int col) {
  std::string* const cells[] = {&p.Name, &p.Unit, &p.Background, &p.BackgroundUnit, nullptr, &p.A, &p.B, &p.Fit, &p.Standard};
  return col >= 0 && col < static_cast<int>(std::size(cells)) ? cells[col] : nullptr;
}

const std::vector<SiteColumn>& PollutantColumns() {
  static const std::vector<SiteColumn> columns = {
      {"", "名前", SiteCellKind::Name},        {"", "排出量の単位", SiteCellKind::Name},
      {"", "バックグラウンド濃度", SiteCellKind::Number}, {"", "単位", SiteCellKind::Name},
      {"", "換算", SiteCellKind::Name},        {"", "a", SiteCellKind::Number},
      {"", "b", SiteCellKind::Number},         {"", "換算ファイル", SiteCellKind::Name},
      {"", "環境基準", SiteCellKind::Name}};
  return columns;
}

namespace {

// The conversion written in a cell: one of its words, their first word, or the file's own
// word ("none", "linear", "fit", any case); empty is none.
std::optional<PollutantConversion> ConversionOfText(const std::string& cell) {
  std::string t = Trimmed(cell);
  std::transform(t.begin(), t.end(), t.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (t.empty() || t == "none") return PollutantConversion::None;
  if (t == "linear") return PollutantConversion::Linear;
  if (t == "fit") return PollutantConversion::Fit;
  for (std::size_t i = 0; i < std::size(kPollutantConversionNames); ++i) {
    const std::string_view name = kPollutantConversionNames[i];
    if (t == name || t == name.substr(0, name.find(' '))) return static_cast<PollutantConversion>(i);
  }
  return std::nullopt;
}

}  // namespace

SitePaste PastePollutants(std::vector<PollutantChoice>& rows, std::size_t stacks, std::string_view text, int row,
                          int col) {
  const int width = static_cast<int>(PollutantColumns().size());
  std::vector<SiteRow> table;
  for (const PollutantChoice& p : rows) {
    SiteRow& cells = table.emplace_back();
    for (int c = 0; c < width; ++c) {
      const std::string* cell = PollutantCell(p, c);
      cells.push_back(cell != nullptr ? *cell : std::string(kPollutantConversionNames[static_cast<std::size_t>(p.Conversion)]));
    }
  }
  SitePaste paste = PasteIntoTable(table, PollutantColumns(), SitePlace::Pollutants, text, row, col);
  if (paste.Problem) return paste;
  std::vector<PollutantChoice> out = rows;
  out.resize(table.size());
  for (std::size_t r = 0; r < table.size(); ++r) {
    const SiteRow& t = table[r];
    PollutantChoice& p = out[r];
    const std::optional<PollutantConversion> conversion = ConversionOfText(t[kPollutantConversionColumn]);
    if (!conversion) {
      paste.Problem = EditorProblem{std::to_string(r + 1) + " 行目の「換算」に貼り付ける値 " + Quoted(t[kPollutantConversionColumn]) +
                                        " は なし、一次式、測定局の回帰 のどれでもありません: 何も貼り付けていません",
                                    SitePlace::Pollutants, static_cast<int>(r), kPollutantConversionColumn};
      return paste;
    }
    for (int c = 0; c < width; ++c) {
      if (std::string* cell = PollutantCell(p, c)) *cell = t[static_cast<std::size_t>(c)];
    }
    p.Conversion = *conversion;
    p.Stacks.resize(stacks, PollutantEmission{"0", false});
  }
  rows = std::move(out);
  return paste;
}

SitePaste PasteEmissions(std::vector<PollutantChoice>& rows, std::size_t stacks, std::string_view text, int row,
                         int col) {
  std::vector<SiteColumn> columns;
  for (const PollutantChoice& p : rows) {
    columns.push_back({"", p.Name + " Qp", SiteCellKind::Number});
    columns.push_back({"", p.Name + " NOx変換", SiteCellKind::Check});
  }
  std::vector<SiteRow> table(stacks);
  for (std::size_t s = 0; s < stacks; ++s) {
    for (const PollutantChoice& p : rows) {
      const PollutantEmission e = s < p.Stacks.size() ? p.Stacks[s] : PollutantEmission{};
      table[s].push_back(e.Qp);
      table[s].push_back(e.No2 ? "1" : "0");
    }
  }
  SitePaste paste;
  if (row >= 0 && static_cast<std::size_t>(row) + ParseTabSeparated(text).size() > stacks) {
    paste.Problem = EditorProblem{"貼り付ける値が表の下端を越えます: 煙突は " + std::to_string(stacks) + " 本です", SitePlace::Emissions,
                                  row, col};
    return paste;
  }
  paste = PasteIntoTable(table, columns, SitePlace::Emissions, text, row, col);
  if (paste.Problem) return paste;
  for (std::size_t r = 0; r < rows.size(); ++r) {
    rows[r].Stacks.resize(stacks);
    for (std::size_t s = 0; s < stacks; ++s) {
      rows[r].Stacks[s] = PollutantEmission{table[s][2 * r], table[s][2 * r + 1] == "1"};
    }
  }
  return paste;
}

}  // namespace vmk
