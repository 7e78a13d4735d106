#include "site/site_messages.h"

#include <regex>
#include <utility>

#include "common/cp932.h"
#include "common/json_document.h"
#include "form/form_layout.h"
#include "met/met_stats.h"

namespace vmk {
namespace {

// The caption of an edit field as the window shows it: the label on its page that stands
// nearest to its left on the same line, blanks folded; empty when none does.
std::string FieldCaption(std::string_view control) {
  const std::span<const ControlDef> layout = FormLayout();
  const ControlDef* field = nullptr;
  for (const ControlDef& def : layout) {
    if (def.Name == control) field = &def;
  }
  if (field == nullptr) return {};
  const int middle = field->Top + field->Height / 2;
  const ControlDef* best = nullptr;
  for (const ControlDef& def : layout) {
    if (def.Kind != ControlKind::Label || def.Parent != field->Parent || def.Text.empty()) continue;
    if (def.Left >= field->Left || middle < def.Top || middle > def.Top + def.Height) continue;
    if (best == nullptr || def.Left > best->Left) best = &def;
  }
  if (best == nullptr) return {};
  std::string caption;
  bool blank = false;
  const std::string_view text = best->Text;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool wide = text.compare(i, 3, "\xE3\x80\x80") == 0;  // the ideographic space
    if (wide || text[i] == ' ') {
      blank = true;
      if (wide) i += 2;
      continue;
    }
    if (blank && !caption.empty()) caption += ' ';
    blank = false;
    caption += text[i];
  }
  return caption;
}

// The rejected input: the field by its caption and name, or the met grid's cell.
std::string InputName(const RejectedInput& r) {
  if (r.Control == "MetStringGrid") {
    return "気象統計の頻度表 (" + std::to_string(r.Row) + " 行 " + std::to_string(r.Col) + " 列)";
  }
  const std::string caption = FieldCaption(r.Control);
  return caption.empty() ? r.Control : "「" + caption + "」(" + r.Control + ")";
}

std::string Direction(int d) {
  if (d < 0 || d >= kDirections) return {};
  const auto i = static_cast<std::size_t>(d);
  return "、風向 " + std::string(kDirectionNamesJa[i]) + " (" + std::string(kDirectionNames[i]) + ")";
}

std::string Quote(std::string_view name) { return QuoteForMessage(name); }

// The words of a site file's keys.
constexpr std::pair<std::string_view, std::string_view> kKeyWords[] = {
    {"sources", "発生源"},      {"receptors", "受容点"},    {"grid", "格子"},
    {"polar", "極座標の受容点"}, {"points", "予測地点"},     {"center", "中心"},
    {"distances", "距離"},      {"log", "対数間隔"},        {"name", "名前"},
    {"x", "x 座標"},            {"y", "y 座標"},            {"z", "高さ z"},
    {"controls", "入力"},       {"common", "共通の入力"},   {"met", "気象統計"},
    {"levels", "等濃度線の値"}, {"sectors", "方位の扱い"},  {"crs", "座標系"},
    {"basemap", "背景地図"},    {"raster", "ラスター"},     {"vectors", "ベクター"},
    {"path", "ファイル名"},     {"format", "形式"},
};

std::string KeyWord(std::string_view key) {
  for (const auto& [k, word] : kKeyWords) {
    if (k == key) return std::string(word);
  }
  return std::string(key);
}

// The end of a quoted name at the start of `text` (just past its closing quote and a "..." of
// a shortened name), or 0 when `text` does not start with one.
std::size_t QuotedEnd(std::string_view text) {
  if (text.empty() || text[0] != '"') return 0;
  for (std::size_t i = 1; i < text.size(); ++i) {
    if (text[i] == '\\') {
      ++i;
    } else if (text[i] == '"') {
      ++i;
      if (text.substr(i).starts_with("...")) i += 3;
      return i;
    }
  }
  return 0;
}

// What is wrong, by the English line's pattern: the Japanese with $1, $2 from the pattern.
struct DetailRule {
  const char* Pattern;
  const char* Japanese;
};
constexpr DetailRule kDetailRules[] = {
    {R"(^unknown key ("(?:[^"\\]|\\.)*")(?: \(known: (.*)\))?$)", "知らないキー $1 があります (使えるキー: $2)"},
    {R"(^the key ("[^"]*") is missing$)", "キー $1 がありません"},
    {R"(^must be a number, not .*$)", "数値を書いてください"},
    {R"(^must be a finite number$)", "有限の数値を書いてください"},
    {R"(^must be a string, not .*$)", "文字列 (\"...\") を書いてください"},
    {R"(^must be an object, not .*$)", "{ } で囲んだ項目の集まりを書いてください"},
    {R"(^must be true or false$)", "true か false を書いてください"},
    {R"(^must not be empty$)", "空にはできません"},
    {R"(^is longer than (\d+) bytes$)", "$1 バイトより長くできません"},
    {R"(^must not hold control characters$)", "制御文字は使えません"},
    {R"(^lies beyond 1e9 m: not a coordinate$)", "座標として大きすぎます (±1e9 m まで)"},
    {R"(^a second stack named (.*)$)", "同じ名前の発生源 $1 がもう一つあります"},
    {R"(^a second point named (.*)$)", "同じ名前の予測地点 $1 がもう一つあります"},
    {R"(^names no stack$)", "発生源が一つもありません"},
    {R"(^holds more than (\d+) (stacks|points|levels|files)$)", "$1 個までです"},
    {R"(^must be "FROM:TO:N", such as ("[^"]*"), not (.*)$)", "\"始め:終わり:個数\" の形 (例 $1) で書いてください (書かれた値: $2)"},
    {R"(^N must be from 1 to (\d+)$)", "個数は 1 ～ $1 です"},
    {R"(^needs at least 2 values$)", "2 個以上の値が必要です"},
    {R"(^FROM must be less than TO.*$)", "始めの値は終わりの値より小さくしてください"},
    {R"(^must lie from (\S+) to (\S+).*$)", "$1 ～ $2 (m) の範囲にしてください"},
    {R"(^must rise from each level to the next$)", "小さい値から順に、同じ値を繰り返さずに並べてください"},
    {R"(^must be a list of isopleth levels, lowest first$)", "等濃度線の値を小さい順に [ ] で並べてください"},
    {R"(^must be a list of .*$)", "[ ] で囲んだ一覧を書いてください"},
    {R"(^("[^"]*") cannot be set here: the met file and the receptors give it$)",
     "$1 はここでは指定できません (気象統計と受容点が決めます)"},
    {R"(^"HrpEdit" cannot be set for one stack.*$)",
     "\"HrpEdit\" (予測点の高さ) は発生源ごとには指定できません: \"common\" か予測地点の \"z\" で指定してください"},
    {R"(^must be "sector" or "smooth", not (.*)$)", "\"sector\" か \"smooth\" を書いてください (書かれた値: $1)"},
    {R"(^must name a coordinate system, such as ("[^"]*")$)", "座標系を書いてください (例 $1)"},
    {R"(^must name a file$)", "ファイル名を書いてください"},
    {R"(^must name the met statistics file$)", "気象統計ファイルの名前を書いてください"},
    {R"(^not a site file: .*$)", "サイトファイルではありません (\"format\" が \"vmk-site/1\" ではありません)"},
    {R"(^a site file holds one object, not .*$)", "サイトファイルは { } で囲んだ一つのオブジェクトです"},
    {R"(^not valid JSON: (.*)$)", "JSON として読めません: $1"},
    {R"(^cannot open: (.*)$)", "開けません: $1"},
    {R"(^cannot read: (.*)$)", "読めません: $1"},
};

std::string FolderProblem(const SiteProblem& p) {
  const std::string dir = Quote(p.Folder);
  switch (p.Issue) {
    case SiteProblem::FolderIssue::NotNamed:
      return "保存先のフォルダが指定されていません。";
    case SiteProblem::FolderIssue::NotAFolder:
      return "保存先 " + dir + " はフォルダではありません。";
    case SiteProblem::FolderIssue::CannotMake:
      return "保存先のフォルダ " + dir + " を作れません: " + p.Detail;
    case SiteProblem::FolderIssue::Busy:
      return "保存先のフォルダ " + dir +
             " には、別の vmk-site (またはサイト濃度分布のウィンドウ) が書き込んでいます。\n終わってからもう一度保存してください。";
    case SiteProblem::FolderIssue::CannotWrite:
      return "保存先のフォルダ " + dir + " に書き込めません: " + p.Detail;
  }
  return p.Detail;
}

}  // namespace

std::string SitePlaceText(std::string_view place) {
  std::string words;
  std::string_view rest = place;
  for (const auto& [head, word] : {std::pair<std::string_view, std::string_view>{"stack ", "発生源 "},
                                   {"point ", "予測地点 "},
                                   {"met file ", "気象統計ファイル "}}) {
    if (!rest.starts_with(head)) continue;
    const std::size_t end = QuotedEnd(rest.substr(head.size()));
    if (end == 0) continue;
    words = std::string(word) + std::string(rest.substr(head.size(), end));
    rest.remove_prefix(head.size() + end);
    if (rest.starts_with('.')) rest.remove_prefix(1);
    break;
  }
  while (!rest.empty()) {
    const std::size_t dot = rest.find('.');
    std::string_view part = rest.substr(0, dot);
    rest = dot == std::string_view::npos ? std::string_view{} : rest.substr(dot + 1);
    std::string row;
    if (const std::size_t open = part.find('['); open != std::string_view::npos && part.ends_with(']')) {
      row = " " + std::string(part.substr(open + 1, part.size() - open - 2)) + " 番目";
      part = part.substr(0, open);
    }
    const std::string word = KeyWord(part);
    // Blanks around の beside a quoted name or a latin word, as Japanese text sets them.
    const bool spaced = !words.empty() && (words.back() == '"' || static_cast<unsigned char>(word[0]) < 0x80);
    words += (words.empty() ? "" : spaced ? " の " : "の") + word + row;
  }
  if (words.empty()) return "サイトファイル";
  return words + " (" + std::string(place) + ")";
}

std::string SiteDetailText(std::string_view detail) {
  const std::string text(detail);
  for (const DetailRule& rule : kDetailRules) {
    const std::regex pattern(rule.Pattern);
    std::smatch m;
    if (!std::regex_match(text, m, pattern)) continue;
    std::string out = m.format(rule.Japanese);
    // A list of known keys that the line did not give.
    if (const std::size_t empty = out.find(" (使えるキー: )"); empty != std::string::npos) out.erase(empty);
    return out;
  }
  return text;
}

std::string SiteProblemText(const SiteError& error) {
  const SiteProblem& p = error.Problem();
  const std::string stack = "発生源 " + Quote(p.Stack);
  switch (p.What) {
    case SiteProblem::Kind::FileValue:
      return "サイトファイルの誤り" + (p.Place.empty() ? std::string() : ": " + SitePlaceText(p.Place)) + ":\n" +
             SiteDetailText(p.Detail);
    case SiteProblem::Kind::StackInput:
      return stack + Direction(p.Direction) + " の" + (p.Rejected.Control == "MetStringGrid" ? " " : "") +
             InputName(p.Rejected) + " " + Quote(p.Text) +
             " は使えません。\n" + p.RangeTip;
    case SiteProblem::Kind::PointHeight:
      return "予測地点 " + Quote(p.Point) + " の高さ z " + Quote(p.Text) + " は使えません (" + stack +
             " の条件で)。\n" + p.RangeTip;
    case SiteProblem::Kind::ModelFailure:
      return stack + Direction(p.Direction) + ": モデルが計算できません: " + p.Detail;
    case SiteProblem::Kind::OutputFolder:
      return FolderProblem(p);
    case SiteProblem::Kind::Message:
      break;
  }
  return error.what();
}

}  // namespace vmk
