// A site's problems in Japanese (what the site window shows): the stack or point by its name,
// the field by its window label with the range the window accepts, a place in the file by its
// section, row and key; the English line of the command line stays as it was.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "site/site_messages.h"
#include "site_test_support.h"

namespace vmk {
namespace {

using namespace site_test;

struct Problem {
  std::string English;
  std::string Japanese;
};

Problem ProblemOf(const Json& site) {
  try {
    PlanSite(ParseSiteFile(site.dump(), "."));
  } catch (const SiteError& e) {
    return {e.what(), SiteProblemText(e)};
  }
  return {};
}

TEST(SiteMessages, EachProblemInJapaneseNamesTheRowTheFieldAndTheRange) {
  const struct {
    const char* What;
    std::function<void(Json&)> Change;
    const char* English;  // a part of the command line's line, unchanged
    std::vector<const char*> Japanese;  // parts of the window's text
  } cases[] = {
      {"own field", [](Json& s) { s["sources"][1]["controls"]["HoEdit"] = "400"; }, "stack \"No.2\": Error: Ho",
       {"発生源 \"No.2\" の「実煙突高さ Ho (m)」(HoEdit) \"400\" は使えません", "入力できる範囲: 0.499 ～ 301 の数値"}},
      {"common field", [](Json& s) { s["common"]["dHformulaWindyEdit"] = "7"; }, "stack \"煙突A\"",
       {"発生源 \"煙突A\" の", "(dHformulaWindyEdit) \"7\" は使えません", "入力できる範囲: 0 ～ 4 の整数"}},
      {"T<Ta", [](Json& s) { s["sources"][0]["controls"]["TempGEdit"] = "10"; }, "stack \"煙突A\": T<Ta",
       {"「排ガス温度 T (ﾟC)」(TempGEdit) \"10\"", "排ガス温度 T は気温 Ta 以上にしてください"}},
      {"met speed", [](Json& s) { s["met"]["representativeSpeeds"][2] = 25; }, "Error: 代表風速(有風 1)",
       {"発生源 \"煙突A\" の 気象統計の頻度表 (4 行 1 列)", "入力できる範囲: "}},
      {"point height", [](Json& s) { s["receptors"]["points"][0]["z"] = 5000; }, "point \"p\"",
       {"予測地点 \"p\" の高さ z \"5000\" は使えません (発生源 \"煙突A\" の条件で)", "入力できる範囲: "}},
      {"unknown key of a point", [](Json& s) { s["receptors"]["points"][0]["Z"] = 1; },
       "receptors.points[1]: unknown key \"Z\"",
       {"受容点の予測地点 1 番目 (receptors.points[1])", "知らないキー \"Z\" があります (使えるキー: name, x, y, z)"}},
      {"x of a stack", [](Json& s) { s["sources"][1]["x"] = "300"; }, "stack \"No.2\".x: must be a number",
       {"発生源 \"No.2\" の x 座標 (stack \"No.2\".x)", "数値を書いてください"}},
      {"same name", [](Json& s) { s["sources"][1]["name"] = "煙突A"; }, "sources[2]: a second stack named",
       {"発生源 2 番目 (sources[2])", "同じ名前の発生源 \"煙突A\" がもう一つあります"}},
      {"missing key", [](Json& s) { s["sources"][0].erase("y"); }, "is missing",
       {"発生源 \"煙突A\"", "キー \"y\" がありません"}},
      {"axis", [](Json& s) { s["receptors"]["grid"]["x"] = "1:2"; }, "receptors.grid.x: must be \"FROM:TO:N\"",
       {"受容点の格子 の x 座標 (receptors.grid.x)", "\"始め:終わり:個数\" の形"}},
      {"owned control", [](Json& s) { s["common"]["XrpEdit"] = "100"; }, "common: \"XrpEdit\" cannot be set here",
       {"共通の入力 (common)", "\"XrpEdit\" はここでは指定できません"}},
      {"format", [](Json& s) { s["format"] = "vmk-site/2"; }, "not a site file",
       {"サイトファイルの誤り:\nサイトファイルではありません"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.What);
    Json site = SmallSite();
    c.Change(site);
    const Problem p = ProblemOf(site);
    EXPECT_NE(p.English.find(c.English), std::string::npos) << p.English;
    for (const char* part : c.Japanese) EXPECT_NE(p.Japanese.find(part), std::string::npos) << part << "\n" << p.Japanese;
  }
}

// The folder of the outputs, and a line the table does not know (kept as it is).
TEST(SiteMessages, OutputFolderAndUnknownLines) {
  SiteProblem folder;
  folder.What = SiteProblem::Kind::OutputFolder;
  folder.Folder = "out";
  const struct {
    SiteProblem::FolderIssue Issue;
    const char* Japanese;
  } cases[] = {
      {SiteProblem::FolderIssue::NotNamed, "保存先のフォルダが指定されていません"},
      {SiteProblem::FolderIssue::NotAFolder, "保存先 \"out\" はフォルダではありません"},
      {SiteProblem::FolderIssue::Busy, "別の vmk-site (またはサイト濃度分布のウィンドウ) が書き込んでいます"},
      {SiteProblem::FolderIssue::CannotWrite, "\"out\" に書き込めません"},
  };
  for (const auto& c : cases) {
    folder.Issue = c.Issue;
    EXPECT_NE(SiteProblemText(SiteError("--out out", folder)).find(c.Japanese), std::string::npos) << c.Japanese;
  }
  EXPECT_EQ(SiteProblemText(SiteError("map: no room")), "map: no room");
  EXPECT_EQ(SiteDetailText("something new"), "something new");
  EXPECT_EQ(SitePlaceText(""), "サイトファイル");
  EXPECT_EQ(SitePlaceText("basemap.vectors[2].path"), "背景地図のベクター 2 番目のファイル名 (basemap.vectors[2].path)");
}

}  // namespace
}  // namespace vmk
