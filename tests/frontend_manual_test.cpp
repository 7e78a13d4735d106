// The manual (ヘルプ → 説明書): beside the program where the frontend looks for it, shown through
// the window's hook or named in a message box when it is missing, and true to the program: every
// control of the layout table (its caption, or its name), every option code of the captions and
// the memo, every field's accepted range in its row, and every link leading to a page and place
// that exist.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <regex>
#include <set>
#include <string>

#include "casefile/input_help.h"
#include "common/json_document.h"
#include "frontend_test_support.h"
#include "platform/files.h"
#include "scratch_files.h"

namespace {

using namespace vmk;
using fronttest::FakeWindow;

// Runs of blanks (and of the ideographic space U+3000) as one blank, none at the ends: the
// captions line up with blanks that HTML folds.
std::string Folded(const std::string& text) {
  std::string out;
  bool blank = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool ideographic = text.compare(i, 3, "\xE3\x80\x80") == 0;
    if (ideographic || text[i] == ' ' || text[i] == '\n' || text[i] == '\r' || text[i] == '\t') {
      blank = true;
      if (ideographic) i += 2;
      continue;
    }
    if (blank && !out.empty()) out += ' ';
    blank = false;
    out += text[i];
  }
  return out;
}

// The words of an HTML text: tags as blanks, the entities the pages use decoded, blanks folded.
std::string Words(const std::string& html) {
  std::string text = std::regex_replace(html, std::regex("<[^>]*>"), " ");
  for (const auto& [entity, c] : std::map<std::string, std::string>{
           {"&gt;", ">"}, {"&lt;", "<"}, {"&quot;", "\""}, {"&#39;", "'"}, {"&nbsp;", " "}, {"&amp;", "&"}}) {
    for (std::size_t at = text.find(entity); at != std::string::npos; at = text.find(entity, at + c.size())) {
      text.replace(at, entity.size(), c);
    }
  }
  return Folded(text);
}

struct Manual {
  std::map<std::string, std::string> Pages;  // file name -> HTML
  std::string AllWords;
};

// The manual as installed beside the program (the tests run from the programs' folder).
const Manual& InstalledManual() {
  static const Manual manual = [] {
    Manual m;
    const std::filesystem::path folder = platform::PathFromUtf8(platform::ParentFolder(ManualIndexPath()));
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
      if (entry.path().extension() != ".html") continue;
      const std::string name = platform::PathToUtf8(entry.path().filename());
      m.Pages[name] = ReadFileBytes(platform::PathToUtf8(entry.path()));
      m.AllWords += Words(m.Pages[name]) + "\n";
    }
    return m;
  }();
  return manual;
}

TEST(FrontendManualTest, ManualIsBesideTheProgramAndTheCommandShowsIt) {
  const std::string index = ManualIndexPath();
  EXPECT_EQ(platform::ParentFolder(platform::ParentFolder(index)), platform::ProgramFolder());
  ASSERT_TRUE(FileExists(index)) << index;

  FakeWindow w;
  std::vector<std::string> shown;
  EXPECT_FALSE(CommandAvailable(w.Fe, MenuCommand::ShowManual));  // no window to show it in
  Execute(w.Fe, MenuCommand::ShowManual);
  EXPECT_TRUE(w.Messages.empty());
  w.Fe.Hooks.OpenManual = [&](const std::string& path) { shown.push_back(path); };
  EXPECT_TRUE(CommandAvailable(w.Fe, MenuCommand::ShowManual));
  Execute(w.Fe, MenuCommand::ShowManual);
  EXPECT_EQ(shown, std::vector<std::string>{index});
  EXPECT_FALSE(w.Edited());
  EXPECT_EQ(MenuItemOf(MenuCommand::ShowManual).Shortcut, "F1");

  // A manual that is missing is named in a message box.
  scratch::ScratchDir dir;
  w.Fe.ManualFolder = dir.File("manual");
  Execute(w.Fe, MenuCommand::ShowManual);
  EXPECT_EQ(shown.size(), 1u);
  ASSERT_EQ(w.Messages.size(), 1u);
  EXPECT_EQ(w.Messages[0].Name, "ManualProblemBox");
  EXPECT_NE(w.Messages[0].Text.find(NativePath(platform::JoinPath(dir.File("manual"), "index.html"))),
            std::string::npos)
      << w.Messages[0].Text;
}

TEST(FrontendManualTest, EveryControlOfTheLayoutAppearsByItsCaptionOrName) {
  const std::string& words = InstalledManual().AllWords;
  for (const ControlDef& def : FormLayout()) {
    const std::string caption = Folded(std::string(def.Text));
    // An edit field or the grid by its name (the case files' key), anything else by its caption.
    const bool byName = def.Kind == ControlKind::Edit || def.Kind == ControlKind::Grid || caption.empty();
    const std::string wanted = byName ? std::string(def.Name) : caption;
    EXPECT_NE(words.find(wanted), std::string::npos) << def.Name << ": " << wanted;
  }
}

// The codes the captions explain ("0:ΔH=0  1:Briggs ..."), one for each value the field
// accepts, each in the manual as the caption writes it; the memo's options too.
TEST(FrontendManualTest, EveryOptionCodeAppears) {
  const std::string& words = InstalledManual().AllWords;
  const struct {
    const char* caption;
    std::vector<const char*> fields;
  } codes[] = {{"dHformRemLabel", {"dHformulaCalmEdit", "dHformulaWWEdit", "dHformulaWindyEdit"}},
               {"SigZshifModeAuxLabel", {"SigZshiftModeEdit"}}};
  for (const auto& c : codes) {
    SCOPED_TRACE(c.caption);
    const std::string caption(FindControl(c.caption)->Text);
    const std::regex code("([0-9]):(\\S+)");
    int n = 0;
    for (auto it = std::sregex_iterator(caption.begin(), caption.end(), code); it != std::sregex_iterator(); ++it) {
      EXPECT_EQ(std::stoi((*it)[1]), n);
      EXPECT_NE(words.find(it->str()), std::string::npos) << it->str();
      ++n;
    }
    for (const char* field : c.fields) {
      const InputLimits limits = *FieldLimits(field);
      EXPECT_EQ(limits.Low, 0) << field;
      EXPECT_EQ(limits.High + 1, n) << field;
    }
  }
  for (const char* memo : {"@WA:1@", "@ver@", "@RA:1@"}) EXPECT_NE(words.find(memo), std::string::npos) << memo;
}

// Each edit field's row of the manual gives the range the validation checks, as the window's
// input help writes it.
TEST(FrontendManualTest, EveryFieldsRowStatesTheRangeTheCalculationChecks) {
  std::map<std::string, std::string> rows;  // control name -> the words of its row
  for (const auto& [page, html] : InstalledManual().Pages) {
    const std::regex row("<tr>([\\s\\S]*?)</tr>");
    for (auto it = std::sregex_iterator(html.begin(), html.end(), row); it != std::sregex_iterator(); ++it) {
      const std::string cells = (*it)[1];
      std::smatch name;
      if (std::regex_search(cells, name, std::regex("<code>(\\w+)</code>"))) rows[name[1]] += Words(cells) + "\n";
    }
  }
  int checked = 0;
  for (const ControlDef& def : FormLayout()) {
    const std::optional<InputLimits> limits = FieldLimits(def.Name);
    if (!limits) continue;
    SCOPED_TRACE(def.Name);
    ASSERT_TRUE(rows.contains(std::string(def.Name)));
    const std::string range = LimitText(limits->Low, limits->Kind) + " ～ " + LimitText(limits->High, limits->Kind);
    EXPECT_NE(rows[std::string(def.Name)].find(range), std::string::npos) << range << " in " << rows[std::string(def.Name)];
    ++checked;
  }
  EXPECT_EQ(checked, 31);
  // The grid's cells: representative speeds, hours, the weak-wind hours of this direction.
  const std::string& words = InstalledManual().AllWords;
  for (const auto& [row, col] : {std::pair{1, 1}, std::pair{4, 5}, std::pair{2, 3}}) {
    const InputLimits l = GridCellLimits(row, col);
    const std::string range = LimitText(l.Low, l.Kind) + " ～ " + LimitText(l.High, l.Kind);
    EXPECT_NE(words.find(range), std::string::npos) << range;
  }
}

TEST(FrontendManualTest, LinksLeadToPagesAndPlacesThatExistAndTheIndexReachesEveryPage) {
  const Manual& manual = InstalledManual();
  ASSERT_TRUE(manual.Pages.contains("index.html"));
  EXPECT_GE(manual.Pages.size(), 10u);  // one page per subject
  std::set<std::string> fromIndex;
  const std::regex link("href=\"([^\"]*)\"");
  const std::regex title("<title>[^<]+</title>");
  for (const auto& [page, html] : manual.Pages) {
    SCOPED_TRACE(page);
    EXPECT_TRUE(std::regex_search(html, title));
    EXPECT_NE(html.find("<meta charset=\"utf-8\">"), std::string::npos);
    for (auto it = std::sregex_iterator(html.begin(), html.end(), link); it != std::sregex_iterator(); ++it) {
      const std::string target = (*it)[1];
      if (target.starts_with("http")) continue;
      const std::size_t hash = target.find('#');
      const std::string file = hash == std::string::npos ? target : target.substr(0, hash);
      if (file.ends_with(".css")) {
        EXPECT_TRUE(FileExists(platform::JoinPath(platform::ParentFolder(ManualIndexPath()), file))) << file;
        continue;
      }
      const std::string to = file.empty() ? page : file;
      ASSERT_TRUE(manual.Pages.contains(to)) << target;
      if (hash != std::string::npos) {
        EXPECT_NE(manual.Pages.at(to).find("id=\"" + target.substr(hash + 1) + "\""), std::string::npos) << target;
      }
      if (page == "index.html") fromIndex.insert(to);
    }
  }
  for (const auto& [page, html] : manual.Pages) {
    if (page != "index.html") {
      EXPECT_TRUE(fromIndex.contains(page)) << page;
    }
  }
}

}  // namespace
