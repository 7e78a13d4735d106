// The picture writer: the format chosen by the file's extension, SVG everywhere, PNG from the
// build's back end, the file whole or not at all.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "plot/picture_file.h"
#include "plot/svg_writer.h"
#include "scratch_files.h"

namespace vmk {
namespace {

TEST(PictureFile, KindByTheExtensionInAnyCase) {
  const std::pair<const char*, std::optional<PictureKind>> cases[] = {
      {"a.svg", PictureKind::Svg}, {"dir/A.PNG", PictureKind::Png}, {"a.png.txt", std::nullopt},
      {"svg", std::nullopt},       {"dir.svg/plot", std::nullopt}};
  for (const auto& [name, kind] : cases) EXPECT_EQ(PictureKindOf(name), kind) << name;
}

TEST(PictureFile, WrittenWholeAsTheNameAsksOrNotAtAll) {
  PlotScene scene;
  scene.Width = 40;
  scene.Height = 30;
  scene.Texts.push_back({2, 20, "静穏", 12, TextAnchor::Start, false, {}, {}});
  scratch::ScratchDir dir;
  EXPECT_EQ(WritePictureFile(scene, dir.File("p.SVG")), std::nullopt);
  EXPECT_EQ(scratch::ReadBytes(dir / "p.SVG"), PlotSvg(scene));

  const auto png = WritePictureFile(scene, dir.File("p.png"));
  if (PngPicturesBuiltIn()) {
    EXPECT_EQ(png, std::nullopt);
    const std::string bytes = scratch::ReadBytes(dir / "p.png");
    EXPECT_EQ(bytes.substr(0, 8), "\x89PNG\r\n\x1a\n");
    EXPECT_EQ(bytes.substr(16, 8), std::string("\0\0\0\x28\0\0\0\x1e", 8));  // 40 x 30
  } else {
    EXPECT_EQ(png, "this build cannot write PNG");
    EXPECT_FALSE(std::filesystem::exists(dir / "p.png"));
  }
  EXPECT_EQ(WritePictureFile(scene, dir.File("p.pdf")), "the file name must end in .png or .svg");
  EXPECT_FALSE(std::filesystem::exists(dir / "p.pdf"));
  const auto missing = WritePictureFile(scene, dir.File("no-folder/p.svg"));
  ASSERT_TRUE(missing.has_value());
  EXPECT_EQ(missing->find("no-folder"), std::string::npos) << *missing;  // the cause alone
}

}  // namespace
}  // namespace vmk
