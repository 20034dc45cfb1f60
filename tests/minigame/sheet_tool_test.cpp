// The sheet tool that draws the sample's card and tile sheets: cells,
// glyphs, clear corners and frames, and the line of a bad statement.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <unistd.h>

#include "sheet.h"

namespace {

TEST(SheetTool, DrawsCellsGlyphsAndFrames) {
  const std::string text =
      "size 4 3\ngrid 2 1\ncolour paper ffffff\ncolour ink 102030 200\n"
      "glyph dot\n#\nend\n"
      "card 0,0 paper ink\ntext 0-1,0 1 1 1 ink dot\nframe 1,0 ink 1\n";
  dwqtool::Picture p;
  std::string error;
  ASSERT_TRUE(sheettool::DrawSheet(text, &p, &error)) << error;
  ASSERT_EQ(p.width, 8);
  ASSERT_EQ(p.height, 3);
  auto at = [&](int x, int y) { return p.pixels[y * 8 + x]; };
  auto alpha = [&](int x, int y) { return p.alpha[y * 8 + x]; };
  EXPECT_EQ(alpha(0, 0), 0);  // a card's corner is clear
  EXPECT_EQ(at(1, 0), 0x102030u);  // its edge
  EXPECT_EQ(alpha(1, 0), 200);
  EXPECT_EQ(at(2, 1), 0xFFFFFFu);  // its fill
  EXPECT_EQ(at(1, 1), 0x102030u);  // the glyph
  EXPECT_EQ(at(5, 1), 0x102030u);  // the glyph in the second cell
  EXPECT_EQ(alpha(6, 1), 0);       // the frame's inside stays clear
  EXPECT_EQ(alpha(7, 1), 200);
}

TEST(SheetTool, NamesTheLineOfABadStatement) {
  const struct {
    const char* text;
    const char* error;
  } cases[] = {
      {"card 0,0 a b\n", "line 1: size and grid come first"},
      {"size 4 4\ngrid 1 1\ncolour a 000000\ncard 0,0 a b\n", "line 4: card CELLS FILL EDGE (known colours)"},
      {"size 4 4\ngrid 1 1\ncolour a 000000\nbox 2,0 0 0 1 1 a\n", "line 4: a cell outside the grid"},
      {"size 4 4\ngrid 1 1\ncolour a 000000\ntext 0,0 0 0 1 a nope\n", "line 4: no glyph nope"},
      {"# nothing\n", "line 0: no size and grid"},
  };
  for (const auto& c : cases) {
    dwqtool::Picture p;
    std::string error;
    EXPECT_FALSE(sheettool::DrawSheet(c.text, &p, &error)) << c.text;
    EXPECT_EQ(error, c.error) << c.text;
  }
}

// A sheet the game's loader could not hold is refused, not written: here a
// mask of a dot in every corner of 2 x 2 cells, whose coded rows pass the
// loader's decode buffer.
TEST(SheetTool, RefusesASheetTheLoaderCannotHold) {
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("zor_sheet_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  std::ofstream((dir / "wide.txt").string()) << "size 2 2\ngrid 1024 1024\ncolour ink ffffff\nbox 0-1023,0-1023 0 0 1 1 ink\n";
  std::ofstream((dir / "small.txt").string()) << "size 16 16\ngrid 2 2\n";
  auto tool = [&](const std::string& name) {
    const std::string command = std::string(ZOR_BINARY_DIR) + "/bin/zor-sheet " + (dir / (name + ".txt")).string() +
                                " " + (dir / (name + ".dwq")).string() + " 2>" + (dir / "said.txt").string();
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  };
  EXPECT_EQ(tool("small"), 0);
  EXPECT_EQ(tool("wide"), 1);
  EXPECT_FALSE(std::filesystem::exists(dir / "wide.dwq"));
  std::ifstream in((dir / "said.txt").string());
  const std::string said((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_NE(said.find("wide.txt: "), std::string::npos) << said;
  EXPECT_NE(said.find("decode buffer"), std::string::npos) << said;
  std::filesystem::remove_all(dir);
}

}  // namespace
