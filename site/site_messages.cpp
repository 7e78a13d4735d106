#include "site/site_messages.h"

#include <regex>
#include <utility>
#include <vector>

#include "common/cp932.h"
#include "common/atomic_file.h"
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
    // the pollutants block
    {"pollutants", "汚染物質"},  {"unit", "単位"},           {"stacks", "発生源ごとの排出量"},
    {"background", "バックグラウンド濃度"}, {"value", "値"}, {"conversion", "年平均値からの換算"},
    {"linear", "一次式"},        {"fit", "測定局の回帰"},    {"a", "係数 a"},
    {"b", "定数 b"},            {"standard", "環境基準"},   {"statistic", "比べる値"},
    {"source", "出典"},          {"substance", "物質"},      {"decimals", "小数の桁数"},
    {"QpEdit", "排出量 (QpEdit)"}, {"NOxTrnCheckBox", "NO2 変換 (NOxTrnCheckBox)"},
    // the met statistics
    {"station", "観測所"},       {"from", "期間の始め"},     {"to", "期間の終わり"},
    {"hoursRead", "読んだ時間数"}, {"validHours", "有効時間数"}, {"missingHours", "欠測時間数"},
    {"nightMethod", "夜間の安定度の決め方"}, {"representativeSpeeds", "代表風速"},
    {"stabilityClasses", "安定度の区分"}, {"calmAll", "静穏 (全風向)"}, {"weakAll", "弱風 (全風向)"},
    {"directions", "風向別の頻度"}, {"weak", "弱風"},        {"windy", "有風"},
    {"net radiation", "放射収支量"}, {"cloud amount", "雲量"}, {"wind speed", "風速"},
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
  bool Nested = false;  // the last group is itself a detail to put into Japanese
};
constexpr DetailRule kDetailRules[] = {
    {R"(^unknown key ({NAME})(?: \(known: (.*)\))?$)", "知らないキー $1 があります (使えるキー: $2)"},
    {R"(^unknown key ({NAME}): not a control of the window.*$)",
     "知らないキー $1 があります: ウィンドウの入力の名前ではありません (vmk-calc --template で一覧できます)"},
    {R"(^key ({NAME}) appears twice in one object$)", "キー $1 が一つのオブジェクトに二度あります"},
    {R"(^key ({NAME}) names .*, which is not an input.*$)",
     "$1 は入力ではありません (入力欄、チェックボックスと MetStringGrid だけを指定できます)"},
    {R"(^({NAME}) must be a string \(the field's text\), not .*$)",
     "$1 は入力欄です: 欄の文字を文字列 (\"...\") で書いてください"},
    {R"(^({NAME}) must be true or false \(a check box\), not .*$)",
     "$1 はチェックボックスです: true か false を書いてください"},
    {R"(^"MetStringGrid" must be an object of .*$)",
     "\"MetStringGrid\" は \"行,列\": 文字 の形のオブジェクトで書いてください"},
    {R"(^MetStringGrid key ({NAME}) is not "row,col".*$)",
     "MetStringGrid のキー $1 は \"行,列\" の形 (例 \"4,8\") で書いてください"},
    {R"(^MetStringGrid key ({NAME}) is not an editable cell.*$)",
     "MetStringGrid のキー $1 は入力できるセルではありません (1 ～ 10 行、1 ～ 13 列)"},
    {R"(^MetStringGrid ({NAME}) must be a string \(the cell's text\).*$)",
     "MetStringGrid の $1 はセルの文字を文字列 (\"...\") で書いてください"},
    {R"(^({NAME}) cannot be set for one pollutant.*$)",
     "$1 は汚染物質ごとには指定できません: 汚染物質ごとに違えられるのは \"QpEdit\" と \"NOxTrnCheckBox\" だけです"},
    {R"(^the key ({NAME}) is missing$)", "キー $1 がありません"},
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
    {R"(^holds more than (\d+) (stacks|points|levels|files|pollutants)$)", "$1 個までです"},
    {R"(^must be "FROM:TO:N", such as ({NAME}), not (.*)$)", "\"始め:終わり:個数\" の形 (例 $1) で書いてください (書かれた値: $2)"},
    {R"(^N must be from 1 to (\d+)$)", "個数は 1 ～ $1 です"},
    {R"(^needs at least 2 values$)", "2 個以上の値が必要です"},
    {R"(^FROM must be less than TO.*$)", "始めの値は終わりの値より小さくしてください"},
    {R"(^must lie from (\S+) to (\S+).*$)", "$1 ～ $2 (m) の範囲にしてください"},
    {R"(^must rise from each level to the next$)", "小さい値から順に、同じ値を繰り返さずに並べてください"},
    {R"(^must be a list of isopleth levels, lowest first$)", "等濃度線の値を小さい順に [ ] で並べてください"},
    {R"(^({NAME}) cannot be set here: the met file and the receptors give it$)",
     "$1 はここでは指定できません (気象統計と受容点が決めます)"},
    {R"(^"HrpEdit" cannot be set for one stack.*$)",
     "\"HrpEdit\" (予測点の高さ) は発生源ごとには指定できません: \"common\" か予測地点の \"z\" で指定してください"},
    {R"(^must be "sector" or "smooth", not (.*)$)", "\"sector\" か \"smooth\" を書いてください (書かれた値: $1)"},
    {R"(^must name a coordinate system, such as ({NAME})$)", "座標系を書いてください (例 $1)"},
    {R"(^must name a file$)", "ファイル名を書いてください"},
    {R"(^must name the met statistics file$)", "気象統計ファイルの名前を書いてください"},
    {R"(^not a site file: .*$)", "サイトファイルではありません (\"format\" が \"vmk-site/1\" ではありません)"},
    {R"(^a site file holds one object, not .*$)", "サイトファイルは { } で囲んだ一つのオブジェクトです"},
    {R"(^not valid JSON: (.*)$)", "JSON として読めません: $1"},
    {R"(^cannot open: (.*)$)", "開けません: $1", true},
    {R"(^cannot read: (.*)$)", "読めません: $1", true},
    {R"(^larger than (\d+) bytes$)", "$1 バイトより大きいファイルは読めません"},
    {R"(^not valid JSON at line (\d+), column (\d+) \(byte (\d+)\).*UTF-8.*$)",
     "JSON として読めません ($1 行目、$2 バイト目): UTF-8 の文字ではありません。UTF-8 で保存してください"},
    {R"(^not valid JSON \(byte (\d+)\).*UTF-8.*$)", "JSON として読めません ($1 バイト目): UTF-8 の文字ではありません。UTF-8 で保存してください"},
    {R"(^not valid JSON at line (\d+), column (\d+).*$)", "JSON として読めません ($1 行目、$2 バイト目)"},
    {R"(^not valid JSON \(byte (\d+)\).*$)", "JSON として読めません ($1 バイト目)"},
    {R"(^nested deeper than (\d+) levels at byte (\d+)$)", "入れ子が $1 段より深くなっています ($2 バイト目)"},
    {R"(^must be the path of a met statistics file or the object itself.*$)",
     "気象統計ファイルの名前か、気象統計そのもの ({ }) を書いてください"},
    // the met statistics
    {R"(^a met statistics file holds one object, not .*$)", "気象統計ファイルは { } で囲んだ一つのオブジェクトです"},
    {R"(^not a met statistics file: .*$)", "気象統計ファイルではありません (\"format\" が \"vmk-met/1\" ではありません)"},
    {R"(^(-?\d+) is not from (\d+) to (\d+) hours$)", "$2 ～ $3 時間にしてください (書かれた値: $1)"},
    {R"(^must be a whole number of hours.*$)", "時間数 (0 以上の整数) を書いてください"},
    {R"(^must be a list of 11 hours.*$)", "安定度 11 区分 (A ～ G) の時間数を [ ] で並べてください"},
    {R"(^must be an object with "weak" and "windy"$)", "\"weak\" (弱風) と \"windy\" (有風) のオブジェクトを書いてください"},
    {R"(^must be a list of 6 lists.*$)", "有風 1 ～ 6 の 6 個の一覧を [ ] で並べてください"},
    {R"(^must be an object of cause: hours$)", "欠測の理由: 時間数 のオブジェクトを書いてください"},
    {R"(^must be an object of method: night hours$)", "決め方: 夜間の時間数 のオブジェクトを書いてください"},
    {R"(^(\d+) night hours, more than the (\d+) valid hours$)", "夜間の $1 時間が有効時間数 $2 を超えています"},
    {R"(^must be a list of 8 speeds.*$)", "代表風速 8 個 (静穏、弱風、有風 1 ～ 6) を [ ] で並べてください"},
    {R"(^must be a number \(m/s\)$)", "風速 (m/s) を数値で書いてください"},
    {R"(^must be the 11 classes (.*)$)", "安定度の 11 区分 $1 をこの順に書いてください"},
    {R"(^must be an object keyed N, NNE, \.\.\., NNW$)", "風向 N, NNE, ..., NNW をキーとするオブジェクトを書いてください"},
    {R"(^unknown direction ({NAME}).*$)", "知らない風向 $1 があります (N, NNE, ..., NNW)"},
    // the receptors and the map
    {R"(^must be \[x, y\] \(m\)$)", "[x, y] (m) の形で書いてください"},
    {R"(^(\d+) x (\d+) receptors are more than (\d+).*$)", "受容点 $1 × $2 個は多すぎます ($3 個まで)"},
    {R"(^(\d+) receptors for (\d+) stacks.* need more than (\d+) values.*$)",
     "受容点 $1 個と発生源 $2 本 (と汚染物質) では値が $3 個を超えます: 受容点か発生源を減らしてください"},
    {R"(^(\d+) receptors are more than (\d+).*$)", "受容点 $1 個は多すぎます ($2 個まで)"},
    {R"(^names no receptor.*$)", "受容点がありません: \"grid\"、\"polar\" か \"points\" を書いてください"},
    {R"(^names no file: .*$)", "ファイルがありません: \"raster\" か \"vectors\" を書いてください"},
    {R"(^must be a file's path or \{"path", "crs"\}.*$)", "ファイル名か {\"path\", \"crs\"} を書いてください"},
    {R"(^must be a plain file's path, not (.*)$)", "ファイル名だけを書いてください (書かれた値: $1)"},
    // the pollutants
    {R"(^names no pollutant.*$)", "汚染物質がありません: なければ \"pollutants\" ごと省いてください"},
    {R"(^a second pollutant named (.*)$)", "同じ名前の汚染物質 $1 がもう一つあります"},
    {R"(^(".*") would write the files of an earlier pollutant.*$)",
     "$1 は前の汚染物質と同じファイル名になります: 名前を変えてください"},
    {R"(^({NAME}) is not an emission unit: (.*) or a mass unit with -TEQ \((.*)\)$)",
     "$1 は排出量の単位ではありません (使える単位: $2、-TEQ を付けた質量の単位 (例 $3))"},
    {R"(^({NAME}) is not a concentration unit: (.*) or a mass unit with -TEQ \((.*)\)$)",
     "$1 は濃度の単位ではありません (使える単位: $2、-TEQ を付けた質量の単位 (例 $3))"},
    {R"(^must be 0 or more$)", "0 以上にしてください"},
    {R"(^no stack named ({NAME}) in "sources"$)", "発生源 $1 はありません (\"sources\" にない名前です)"},
    {R"(^stack ({NAME}) is missing.*$)", "発生源 $1 の排出量がありません (排出しないときは \"0\")"},
    {R"(^no stack emits the pollutant.*$)", "どの発生源もこの汚染物質を排出しません (QpEdit がすべて 0 です)"},
    {R"(^must be the stack's QpEdit text or .*$)", "排出量の文字か {\"QpEdit\", \"NOxTrnCheckBox\"} を書いてください"},
    {R"(^must be "none", \{"linear".*$)",
     "\"none\"、{\"linear\": {\"a\": A, \"b\": B}} か {\"fit\": \"測定局.csv\"} を書いてください"},
    {R"(^must name the station-year file$)", "測定局の年間値のファイル名を書いてください"},
    {R"(^must be a positive number with at most (\d+) decimals$)", "正の数値 (小数 $1 桁まで) を書いてください"},
    {R"(^({NAME}) is not (.*)$)", "$1 は使えません ($2 のどれかです)"},
    {R"(^must say where the value comes from$)", "値の出典を書いてください"},
    {R"(^must be a whole number from 0 to (\d+)$)", "0 ～ $1 の整数を書いてください"},
    {R"(^must name a standard of the table$)", "環境基準の表にある名前を書いてください"},
    {R"(^must be the name of a standard of the table or .*$)", "環境基準の表にある名前か、基準そのもの ({\"value\", \"unit\", ...}) を書いてください"},
    {R"(^no standard named ({NAME}) in the standards table \((.*)\)$)", "環境基準の表に $1 はありません (表にある名前: $2)"},
    {R"(^the standard's unit (\S+) cannot be converted from C's unit (\S+) .*which the program does not assume$)",
     "環境基準の単位 $1 に、濃度 C の単位 $2 から換算できません (体積比と質量濃度の換算には温度と分子量が要ります)"},
    {R"(^the standard's unit (\S+) cannot be converted from C's unit (\S+) .*$)",
     "環境基準の単位 $1 に、濃度 C の単位 $2 から換算できません (毒性等量 (TEQ) の単位とそうでない単位は換算できません)"},
    {R"(^the background's unit (\S+) cannot be converted to the standard's unit ([^\s:]+): .*which the program does not assume$)",
     "バックグラウンド濃度の単位 $1 を環境基準の単位 $2 に換算できません (体積比と質量濃度の換算には温度と分子量が要ります)"},
    {R"(^the background's unit (\S+) cannot be converted to the standard's unit ([^\s:]+): .*$)",
     "バックグラウンド濃度の単位 $1 を環境基準の単位 $2 に換算できません (毒性等量 (TEQ) の単位とそうでない単位は換算できません)"},
    {R"(^the standard compares the annual mean.*$)", "環境基準は年平均値と比べます: \"conversion\" は \"none\" にしてください"},
    {R"(^the standard compares (\S+): give a "conversion".*$)",
     "環境基準は $1 と比べます: 年平均値からの換算 \"conversion\" (\"linear\" か \"fit\") を書いてください"},
    // the station-year file of a fit
    {R"(^line (\d+): (.*)$)", "$1 行目: $2", true},
    {R"(^the annual mean ({NAME}) is not a concentration.*$)", "年平均値 $1 は濃度 (0 以上の数値) ではありません"},
    {R"(^the daily value ({NAME}) is not a concentration.*$)", "日平均値 $1 は濃度 (0 以上の数値) ではありません"},
    {R"(^the first row names the columns.*$)",
     "列の名前が読めません: 見出しを 年平均値, 日平均値 (2 列) か 測定局, 年, 年平均値, 日平均値 (4 列) にしてください"},
    {R"(^a row holds (\d+) fields as the header does, not (\d+)$)", "列の名前と同じ $1 列にしてください ($2 列あります)"},
    {R"(^more than (\d+) station-years$)", "測定局・年が $1 より多くあります"},
    {R"(^no table: .*$)", "表がありません (列の名前の行がありません)"},
    {R"(^(\d+) station-years: a fit needs at least 3$)", "測定局・年が $1 個です: 回帰には 3 個以上が要ります"},
    {R"(^every annual mean is (\S+): no slope can be fitted$)", "年平均値がすべて $1 です: 傾きが求まりません"},
    {R"(^every daily value is (\S+): no correlation.*$)", "日平均値がすべて $1 です: 相関係数が求まりません"},
    // the basemap's files and the coordinate system
    {R"(^no such file$)", "ファイルがありません"},
    {R"(^is a folder, not a file$)", "フォルダです (ファイルを選んでください)"},
    {R"(^GDAL does not know the coordinate system ({NAME}).*$)", "座標系 $1 がわかりません (\"EPSG:6677\" か WKT で書いてください)"},
    {R"(^({NAME}) is geographic \(degrees\).*$)", "$1 は経緯度 (度) の座標系です: x と y はメートルです。平面直角座標系 (例 EPSG:6677) にしてください"},
    {R"(^({NAME}) does not count in metres.*$)", "$1 はメートル単位の座標系ではありません"},
    {R"(^has a coordinate system, but the site has no "crs".*$)", "座標系を持っていますが、サイトに座標系 \"crs\" がありません: サイトの座標系を書いてください"},
    {R"(^has no coordinate system: .*$)", "座標系を持っていません: サイトファイルで {\"path\": ..., \"crs\": ...} として書いてください"},
    {R"(^cannot be read as a GeoTIFF, PNG or JPEG picture(?: \((.*)\))?$)", "GeoTIFF、PNG、JPEG の画像として読めません"},
    {R"(^has no place on the ground.*$)", "地上の位置がわかりません: GeoTIFF か、ワールドファイル (.pgw, .jgw) のある PNG、JPEG にしてください"},
    {R"(^has (\d+) bands: .*$)", "$1 バンドの画像は使えません (グレー、パレット、RGB、RGBA の画像にしてください)"},
    {R"(^holds (\S+) values: .*$)", "$1 の値の画像は使えません (8 ビットの色の画像にしてください)"},
    {R"(^cannot read its palette(?: \((.*)\))?$)", "パレットが読めません"},
    {R"(^cannot be placed in the site's coordinate system(?: \((.*)\))?$)", "サイトの座標系に置けません"},
    {R"(^cannot be read(?: \((.*)\))?$)", "読めません"},
    {R"(^cannot be read as a GeoPackage, shapefile or GeoJSON file(?: \((.*)\))?$)", "GeoPackage、シェープファイル、GeoJSON として読めません"},
    {R"(^cannot be reprojected to the site's coordinate system(?: \((.*)\))?$)", "サイトの座標系に変換できません"},
    {R"(^the basemap has more than (\d+) .*$)", "背景地図の頂点が $1 より多くあります"},
    {R"(^must be a list of .*$)", "[ ] で囲んだ一覧を書いてください"},
};

// The system's own words for a file that cannot be opened or read.
constexpr std::pair<std::string_view, std::string_view> kSystemWords[] = {
    {"No such file or directory", "ファイルがありません"},
    {"Is a directory", "フォルダです"},
    {"Permission denied", "読み書きの権限がありません"},
    {"No space left on device", "ディスクがいっぱいです"},
    {"Too many open files", "開いているファイルが多すぎます"},
    {"Read-only file system", "読み込み専用のファイルシステムです"},
    {"File too large", "ファイルが大きすぎます"},
    {"a folder, not a file", "フォルダです"},
    {"a named pipe (FIFO), not a file", "名前付きパイプです"},
    {"a device, not a file", "デバイスです"},
    {"a socket, not a file", "ソケットです"},
    {"not a regular file", "通常のファイルではありません"},
    {"the file is read-only", "読み込み専用のファイルです"},
};

// A quoted name as the lines write it: JSON's escapes, and "..." after a name cut short.
constexpr std::string_view kQuotedName = R"("(?:[^"\\]|\\.)*"(?:\.\.\.)?)";
constexpr std::size_t kLongestTranslated = 2000;

struct CompiledRule {
  std::regex Pattern;
  const DetailRule* Rule;
};

// The rules' patterns compiled once, {NAME} standing for a quoted name.
const std::vector<CompiledRule>& CompiledRules() {
  static const std::vector<CompiledRule> rules = [] {
    std::vector<CompiledRule> out;
    for (const DetailRule& rule : kDetailRules) {
      std::string pattern = rule.Pattern;
      for (std::size_t at = pattern.find("{NAME}"); at != std::string::npos; at = pattern.find("{NAME}", at)) {
        pattern.replace(at, 6, kQuotedName);
        at += kQuotedName.size();
      }
      out.push_back({std::regex(pattern), &rule});
    }
    return out;
  }();
  return rules;
}

// A stack, point, met file or pollutant named at the start of a place.
constexpr std::pair<std::string_view, std::string_view> kNamedPlaces[] = {
    {"stack ", "発生源 "}, {"point ", "予測地点 "}, {"met file ", "気象統計ファイル "}, {"pollutant ", "汚染物質 "}};

// What a line of the site tools is about, before its ": ": a word, or a word and a quoted name
// (the heads that end in a blank).
constexpr std::pair<std::string_view, std::string_view> kLineHeads[] = {
    {"pollutant ", "汚染物質"},   {"basemap ", "背景地図のファイル"}, {"stack ", "発生源"},
    {"point ", "予測地点"},       {"crs", "座標系 (crs)"},           {"isopleths", "等濃度線を作れません"},
    {"GIS files", "GIS ファイルを作れません"}, {"map", "地図の画像を作れません"},
};

// The first '.' of `text` outside a quoted name, or npos.
std::size_t DotOutsideQuotes(std::string_view text) {
  bool quoted = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (quoted && text[i] == '\\') {
      ++i;
    } else if (text[i] == '"') {
      quoted = !quoted;
    } else if (!quoted && text[i] == '.') {
      return i;
    }
  }
  return std::string_view::npos;
}

// The length of a place of the file's keys at the start of a detail ("directions.N.weak[1]: ..."),
// or 0.
std::size_t InnerPlaceLength(const std::string& text) {
  if (text.size() > kLongestTranslated) return 0;
  static const std::regex place(R"(^[A-Za-z][A-Za-z0-9_]*(?:\[\d+\]|\.[A-Za-z0-9_][A-Za-z0-9_ ]*)*: )");
  std::smatch m;
  if (!std::regex_search(text, m, place)) return 0;
  return static_cast<std::size_t>(m.length(0)) - 2;
}

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

std::string SystemErrorText(std::string_view text) {
  for (const auto& [english, japanese] : kSystemWords) {
    if (text == english) return std::string(japanese);
  }
  return std::string(text);
}

std::string SiteExceptionText(const std::exception& e) {
  if (const auto* site = dynamic_cast<const SiteError*>(&e)) return SiteProblemText(*site);
  if (const auto* write = dynamic_cast<const FileWriteError*>(&e)) {
    static constexpr std::pair<std::string_view, std::string_view> kSteps[] = {
        {"cannot examine", "を調べられません"}, {"cannot create", "を作れません"},
        {"cannot write", "に書き込めません"},   {"cannot replace", "を置き換えられません"},
        {"cannot remove", "を消せません"},      {"refused", "には書き込めません"}};
    std::string step = ": " + write->Step;
    for (const auto& [english, japanese] : kSteps) {
      if (write->Step == english) step = " " + std::string(japanese);
    }
    return write->Path + step + ": " + SystemErrorText(write->Cause);
  }
  return SiteLineText(e.what());
}

std::string SitePlaceText(std::string_view place) {
  std::string words;
  std::string_view rest = place;
  for (const auto& [head, word] : kNamedPlaces) {
    if (!rest.starts_with(head)) continue;
    const std::size_t end = QuotedEnd(rest.substr(head.size()));
    if (end == 0) continue;
    words = std::string(word) + std::string(rest.substr(head.size(), end));
    rest.remove_prefix(head.size() + end);
    if (rest.starts_with('.')) rest.remove_prefix(1);
    break;
  }
  while (!rest.empty()) {
    const std::size_t dot = DotOutsideQuotes(rest);
    std::string_view part = rest.substr(0, dot);
    rest = dot == std::string_view::npos ? std::string_view{} : rest.substr(dot + 1);
    // A row by its number ("points[2]") or its name ("stacks["No.2"]"), a file by its name
    // ("fit "stations.csv"").
    std::string row;
    if (const std::size_t open = part.find('['); open != std::string_view::npos && part.ends_with(']')) {
      const std::string_view inside = part.substr(open + 1, part.size() - open - 2);
      row = " " + std::string(inside) + (inside.starts_with('"') ? "" : " 番目");
      part = part.substr(0, open);
    } else if (const std::size_t blank = part.find(" \""); blank != std::string_view::npos) {
      row = " " + std::string(part.substr(blank + 1));
      part = part.substr(0, blank);
    }
    const std::string word = KeyWord(part);
    // Blanks around の beside a quoted name or a latin word, as Japanese text sets them.
    const bool spaced = !words.empty() && (static_cast<unsigned char>(words.back()) < 0x80 ||
                                           static_cast<unsigned char>(word[0]) < 0x80);
    words += (words.empty() ? "" : spaced ? " の " : "の") + word + row;
  }
  if (words.empty()) return "サイトファイル";
  return words + " (" + std::string(place) + ")";
}

std::string SiteDetailText(std::string_view detail) {
  const std::string text(detail);
  // The patterns recurse once per character: a text longer than any the program writes (a
  // name is quoted to 40 bytes) stays as it is rather than risk the stack.
  if (text.size() > kLongestTranslated) return text;
  for (const CompiledRule& rule : CompiledRules()) {
    std::smatch m;
    if (!std::regex_match(text, m, rule.Pattern)) continue;
    std::string out = m.format(rule.Rule->Japanese);
    if (rule.Rule->Nested) {
      const std::string inner = m[m.size() - 1].str();
      out = out.substr(0, out.size() - inner.size()) + SystemErrorText(SiteDetailText(inner));
    }
    // A list of known keys that the line did not give.
    if (const std::size_t empty = out.find(" (使えるキー: )"); empty != std::string::npos) out.erase(empty);
    return out;
  }
  // A place inside the value first ("directions.N.weak[1]: ..."), then what is wrong there.
  if (const std::size_t n = InnerPlaceLength(text); n > 0) {
    return SitePlaceText(text.substr(0, n)) + ": " + SiteDetailText(text.substr(n + 2));
  }
  return text;
}

std::string SiteLineText(std::string_view line) {
  for (const auto& [head, word] : kLineHeads) {
    if (!line.starts_with(head)) continue;
    std::string_view rest = line.substr(head.size());
    std::string named;
    if (head.ends_with(' ')) {  // a name follows: `pollutant "NO2": ...`
      const std::size_t end = QuotedEnd(rest);
      if (end == 0) continue;
      named = " " + std::string(rest.substr(0, end));
      rest.remove_prefix(end);
      // A layer of a file that holds several: `basemap "a.gpkg" layer "roads": ...`.
      constexpr std::string_view kLayer = " layer ";
      if (rest.starts_with(kLayer)) {
        const std::size_t layerEnd = QuotedEnd(rest.substr(kLayer.size()));
        if (layerEnd == 0) continue;
        named += " のレイヤー " + std::string(rest.substr(kLayer.size(), layerEnd));
        rest.remove_prefix(kLayer.size() + layerEnd);
      }
    }
    if (!rest.starts_with(": ")) continue;
    rest.remove_prefix(2);
    return std::string(word) + named + ": " + SiteLineText(rest);
  }
  return SiteDetailText(line);
}

std::string SiteProblemText(const SiteError& error) {
  const SiteProblem& p = error.Problem();
  if (!p.Pollutant.empty() && p.What != SiteProblem::Kind::Message) {
    SiteProblem own = p;
    own.Pollutant.clear();
    return "汚染物質 " + Quote(p.Pollutant) + " の計算で: " + SiteProblemText(SiteError(error.what(), own));
  }
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
  return SiteLineText(error.what());
}

}  // namespace vmk
