// A site's problems in Japanese (what the site window shows): the stack or point by its name,
// the field by its window label with the range the window accepts, a place in the file by its
// section, row and key; the English line of the command line stays as it was.
#include <gtest/gtest.h>

#include <functional>
#include <regex>
#include <string>
#include <vector>

#ifdef VMK_HAVE_GDAL
#include <gdal_priv.h>
#include <ogr_spatialref.h>
#endif

#include "scratch_files.h"
#include "site/export/site_job.h"
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
  EXPECT_EQ(SiteProblemText(SiteError("no room")), "no room");
  EXPECT_EQ(SiteProblemText(SiteError("pollutant \"SO2\": map: no room")), "汚染物質 \"SO2\": 地図の画像を作れません: no room");
  EXPECT_EQ(SiteDetailText("something new"), "something new");
  EXPECT_EQ(SitePlaceText(""), "サイトファイル");
  EXPECT_EQ(SitePlaceText("basemap.vectors[2].path"), "背景地図のベクター 2 番目のファイル名 (basemap.vectors[2].path)");
}

// The first English phrase left in a Japanese text, outside quoted names and the places the
// file itself writes ("met file"), or nothing.
std::string EnglishLeft(const std::string& text) {
  static const std::regex quoted(R"("(?:[^"\\]|\\.)*")");
  static const std::regex kept(R"(met file|vmk-calc --template)");
  static const std::regex phrase(R"([A-Za-z]{2,} [a-z]{2,})");
  const std::string bare = std::regex_replace(std::regex_replace(text, quoted, "\"\""), kept, "");
  std::smatch m;
  return std::regex_search(bare, m, phrase) ? m.str() : std::string();
}

// A site in a folder of its own that reads every kind of file: the met file, a pollutant's
// station-years, and (with GDAL) a basemap layer in the site's coordinate system.
struct SiteFolder {
  scratch::ScratchDir Dir;
  Json Site = SmallSite();
  SiteFolder() {
    Dir.NewFile("met.json", MetStatsJson(VariedMet()));
    Dir.NewFile("stations.csv", "station,year,annual,daily\nA,2020,0.010,0.025\nB,2020,0.014,0.031\nC,2021,0.020,0.040\n");
    Site["met"] = "met.json";
    Site["pollutants"] = Json::array(
        {{{"name", "NO2"}, {"unit", "m3N/s"}, {"stacks", {{"煙突A", "0.5"}, {"No.2", "0.08"}}},
          {"background", {{"value", 0.01}, {"unit", "ppm"}}}, {"conversion", {{"fit", "stations.csv"}}},
          {"standard", "NO2"}}});
#ifdef VMK_HAVE_GDAL
    Dir.NewFile("roads.geojson", R"({"type":"FeatureCollection","features":[]})");
    Site["crs"] = "EPSG:6677";
    Site["basemap"] = {{"vectors", {"roads.geojson"}}};
#endif
  }
  std::string Problem() const {
    try {
      ComputeSiteFile(Dir.NewFile("site.json", Site.dump()), {});
    } catch (const std::exception& e) {
      return SiteExceptionText(e);
    }
    return {};
  }
};

// Whatever the reader, the met file, the pollutants, the station-years or the GIS files find
// wrong, the window's text is Japanese: the place, then what is wrong there.
TEST(SiteMessages, EveryProblemOfTheFilesItReadsIsInJapanese) {
  const auto met = [](std::function<void(Json&)> change) {
    return [change](Json&, const scratch::ScratchDir& dir) {
      Json m = Json::parse(MetStatsJson(VariedMet()));
      change(m);
      dir.NewFile("met.json", m.dump());
    };
  };
  const auto set = [](std::function<void(Json&)> change) {
    return [change](Json& site, const scratch::ScratchDir&) { change(site); };
  };
  const struct {
    const char* What;
    std::function<void(Json&, const scratch::ScratchDir&)> Change;
    const char* Japanese;
  } cases[] = {
      {"met: valid hours", met([](Json& m) { m["validHours"] = 0; }), "有効時間数 (validHours): 1 ～ 8784 時間にしてください (書かれた値: 0)"},
      {"met: hours", met([](Json& m) { m["directions"]["N"]["weak"][0] = -1; }), "弱風 1 番目 (directions.N.weak[1]): 0 ～ 8784 時間"},
      {"met: fraction", met([](Json& m) { m["calmAll"][2] = 1.5; }), "時間数 (0 以上の整数) を書いてください"},
      {"met: speeds", met([](Json& m) { m["representativeSpeeds"].erase(0); }), "代表風速 8 個"},
      {"met: a speed", met([](Json& m) { m["representativeSpeeds"][1] = "a"; }), "風速 (m/s) を数値で"},
      {"met: classes", met([](Json& m) { m["stabilityClasses"] = {"A"}; }), "安定度の 11 区分"},
      {"met: direction", met([](Json& m) { m["directions"]["X"] = m["directions"]["N"]; }), "知らない風向 \"X\""},
      {"met: format", met([](Json& m) { m["format"] = "x"; }), "気象統計ファイルではありません"},
      {"met: night", met([](Json& m) { m["nightMethod"] = {{"cloud amount", 8770}}; }), "夜間の 8770 時間が有効時間数 8760 を超えています"},
      {"met: JSON", [](Json&, const scratch::ScratchDir& dir) { dir.NewFile("met.json", "{\"format\": 1,"); },
       "JSON として読めません"},
      {"met: missing", set([](Json& s) { s["met"] = "none.json"; }), "開けません: ファイルがありません"},
      {"control: text", set([](Json& s) { s["sources"][0]["controls"]["QgEdit"] = 30; }), "\"QgEdit\" は入力欄です"},
      {"control: check", set([](Json& s) { s["common"]["WDdistributeCheckBox"] = "on"; }), "はチェックボックスです"},
      {"control: label", set([](Json& s) { s["sources"][1]["controls"]["Label1"] = "x"; }), "ウィンドウの入力の名前ではありません"},
      {"pollutant: unit", set([](Json& s) { s["pollutants"][0]["unit"] = "kg/h"; }), "は排出量の単位ではありません"},
      {"pollutant: background", set([](Json& s) { s["pollutants"][0]["background"]["unit"] = "ppt"; }), "は濃度の単位ではありません"},
      {"pollutant: stack", set([](Json& s) { s["pollutants"][0]["stacks"]["煙突B"] = "1"; }), "発生源 \"煙突B\" はありません"},
      {"pollutant: emission", set([](Json& s) { s["pollutants"][0]["stacks"]["No.2"] = "-1"; }),
       "汚染物質 \"NO2\" の計算で: 発生源 \"No.2\" の「汚染質排出量"},
      {"pollutant: standard", set([](Json& s) { s["pollutants"][0]["standard"] = "XYZ"; }), "環境基準の表に \"XYZ\" はありません"},
      {"pollutant: annual", set([](Json& s) { s["pollutants"][0]["standard"] = "SO2"; s["pollutants"][0].erase("conversion"); }),
       "年平均値からの換算"},
      {"fit: missing", set([](Json& s) { s["pollutants"][0]["conversion"]["fit"] = "none.csv"; }), "開けません: ファイルがありません"},
      {"fit: header", [](Json&, const scratch::ScratchDir& dir) { dir.NewFile("stations.csv", "a\n1\n"); }, "1 行目: 列の名前が読めません"},
      {"fit: value", [](Json&, const scratch::ScratchDir& dir) { dir.NewFile("stations.csv", "a,d\n0.01,x\n"); }, "2 行目: 日平均値 \"x\" は濃度 (0 以上の数値) ではありません"},
      {"fit: too few", [](Json&, const scratch::ScratchDir& dir) { dir.NewFile("stations.csv", "a,d\n0.01,0.02\n"); }, "回帰には 3 個以上"},
      {"long name", set([](Json& s) { s["pollutants"][0]["stacks"]["第一工場一号ボイラ排出口煙突"] = "1"; }),
       "発生源 \"第一工場一号ボイラ排出口煙\"... はありません"},
      {"TEQ", set([](Json& s) { s["pollutants"][0]["unit"] = "g/s"; s["pollutants"][0]["standard"] = "ダイオキシン類"; s["pollutants"][0].erase("conversion"); }),
       "毒性等量 (TEQ) の単位とそうでない単位は換算できません"},
      {"background TEQ",
       set([](Json& s) {
         s["pollutants"][0]["unit"] = "ng-TEQ/s";
         s["pollutants"][0]["standard"] = "ダイオキシン類";
         s["pollutants"][0]["background"]["unit"] = "pg/m3";
         s["pollutants"][0].erase("conversion");
       }),
       "バックグラウンド濃度の単位 pg/m3 を環境基準の単位 pg-TEQ/m3 に換算できません (毒性等量"},
      {"met: not UTF-8", [](Json&, const scratch::ScratchDir& dir) { dir.NewFile("met.json", "{\"station\": \"\x93\x8c\"}"); },
       "UTF-8 で保存してください"},
#ifdef VMK_HAVE_GDAL
      {"crs", set([](Json& s) { s["crs"] = "EPSG:4326"; }), "経緯度 (度) の座標系"},
      {"crs unknown", set([](Json& s) { s["crs"] = "nonsense"; }), "座標系 (crs): 座標系 \"nonsense\" がわかりません"},
      {"basemap: missing", set([](Json& s) { s["basemap"]["vectors"][0] = "none.gpkg"; }), "背景地図のファイル \"none.gpkg\": ファイルがありません"},
      {"basemap: not GIS", set([](Json& s) { s["basemap"]["vectors"][0] = "met.json"; }), "GeoPackage、シェープファイル、GeoJSON として読めません"},
      {"basemap: picture", set([](Json& s) { s["basemap"]["raster"] = "met.json"; }), "GeoTIFF、PNG、JPEG の画像として読めません"},
      {"basemap: broken picture",
       [](Json& s, const scratch::ScratchDir& dir) {
         dir.NewFile("broken.tif", std::string("II*\0\x08\0\0\0", 8) + std::string(40, '\xff'));
         s["basemap"]["raster"] = "broken.tif";
       },
       "背景地図のファイル \"broken.tif\": GeoTIFF、PNG、JPEG の画像として読めません"},
      {"basemap: a layer",
       [](Json& s, const scratch::ScratchDir& dir) {
         GDALAllRegister();
         GDALDatasetUniquePtr gpkg(GetGDALDriverManager()->GetDriverByName("GPKG")->Create(
             scratch::TextOf(dir / "two.gpkg").c_str(), 0, 0, 0, GDT_Unknown, nullptr));
         OGRSpatialReference srs;
         srs.importFromEPSG(6677);
         for (const char* layer : {"roads", "rivers"}) gpkg->CreateLayer(layer, &srs, wkbLineString, nullptr);
         s.erase("crs");
         s["basemap"]["vectors"] = {"two.gpkg"};
       },
       "背景地図のファイル \"two.gpkg\" のレイヤー \"roads\": 座標系を持っていますが"},
      {"crs: WKT", set([](Json& s) { s["crs"] = R"(GEOGCS["WGS 84",DATUM["WGS_1984",SPHEROID["WGS 84",6378137,298.257223563]],PRIMEM["Greenwich",0],UNIT["degree",0.0174532925199433]])"; }),
       "は経緯度 (度) の座標系です"},
#endif
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.What);
    SiteFolder folder;
    c.Change(folder.Site, folder.Dir);
    const std::string text = folder.Problem();
    EXPECT_NE(text.find(c.Japanese), std::string::npos) << text;
    EXPECT_EQ(EnglishLeft(text), "") << text;
  }
}

}  // namespace
}  // namespace vmk
